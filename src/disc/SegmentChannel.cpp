#include "disc/SegmentChannel.h"

#include "platform/FileName.h"

#include <algorithm>

namespace disc {

std::shared_ptr<SegmentChannel> SegmentChannel::open(const DiscTrackSpan& span, bool floatSamples, int& error)
{
    engine::MediaRequest request;
    request.path = platform::nativeName(span.file).toStdString();
    std::shared_ptr<SegmentChannel> channel(new SegmentChannel);
    channel->m_inner = engine::FfmpegChannel::open(request, floatSamples, error);
    if (!channel->m_inner)
        return nullptr;
    const BASS_CHANNELINFO info = channel->m_inner->info();
    const int sampleBytes = (info.flags & BASS_SAMPLE_8BITS) ? 1 : (info.flags & BASS_SAMPLE_FLOAT) ? 4 : 2;
    const std::int64_t block = std::int64_t(info.chans) * sampleBytes;
    // The layout was measured on the same file: a file changed since gives
    // no span at all rather than a wrong one.
    if (int(info.freq) != span.rate || span.end <= span.first) {
        error = BASS_ERROR_FORMAT;
        return nullptr;
    }
    channel->m_first = span.first;
    channel->m_start = span.first * block;
    channel->m_end = span.end * block;
    if (!channel->m_inner->seekFrame(span.first)) {
        error = BASS_ERROR_POSITION;
        return nullptr;
    }
    error = BASS_OK;
    return channel;
}

std::int64_t SegmentChannel::read(char* out, std::int64_t bytes)
{
    const std::int64_t left = m_end - m_inner->position();
    if (left <= 0)
        return 0;
    const std::int64_t got = m_inner->read(out, std::min(bytes, left));
    if (got == 0 && bytes > 0)
        m_cutShort = true;
    return got;
}

std::int64_t SegmentChannel::length() const
{
    // Like any stream, one whose data ended early is as long as what it delivered.
    return m_cutShort ? position() : m_end - m_start;
}

bool SegmentChannel::rewind()
{
    m_cutShort = false;
    return m_inner->seekFrame(m_first);
}

std::int64_t SegmentChannel::damagedAt() const
{
    const std::int64_t at = m_inner->damagedAt();
    if (at < 0 || at >= m_end)
        return -1;
    return std::max<std::int64_t>(0, at - m_start);
}

} // namespace disc
