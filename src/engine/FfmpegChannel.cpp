#include "engine/FfmpegChannel.h"

#include "engine/StreamLength.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

#include <algorithm>
#include <cstring>

namespace engine {

std::shared_ptr<FfmpegChannel> FfmpegChannel::open(const MediaRequest& request, bool floatSamples, int& error)
{
    std::shared_ptr<FfmpegChannel> channel(new FfmpegChannel);
    channel->m_request = request;
    channel->m_float = floatSamples;
    if (!channel->start(error))
        return nullptr;
    return channel;
}

bool FfmpegChannel::start(int& error)
{
    auto media = MediaFile::open(m_request, error);
    if (!media)
        return false;
    const HPLUGIN module = media->module();
    m_decoder = FrameDecoder::open(std::move(media), error);
    if (!m_decoder)
        return false;

    m_pending = nullptr;
    m_pendingBytes = 0;
    m_ended = false;
    m_position = 0;
    m_damagedAt = -1;

    // The first frame fixes the delivered format; a stream with no frame at
    // all is accepted only when it is plainly empty rather than undecodable.
    AVCodecContext* codec = m_decoder->codec();
    AVFrame* first = m_decoder->next();
    if (first) {
        m_converter.setOutput(first->sample_rate, first->ch_layout, static_cast<AVSampleFormat>(first->format),
                              m_float);
    } else if (!m_decoder->sawErrors() && codec->sample_rate > 0 && codec->ch_layout.nb_channels > 0) {
        m_converter.setOutput(codec->sample_rate, codec->ch_layout, codec->sample_fmt, m_float);
        m_ended = true;
        m_measured = 0;
    } else {
        error = BASS_ERROR_FORMAT;
        return false;
    }
    if (m_converter.rate() <= 0 || m_converter.channels() <= 0) {
        error = BASS_ERROR_FORMAT;
        return false;
    }
    m_frameSize = codec->frame_size;
    // Bits per sample of the source, known for PCM and lossless codecs.
    int origres = codec->bits_per_raw_sample;
    if (origres <= 0 && codec->codec_id >= AV_CODEC_ID_FIRST_AUDIO && codec->codec_id < AV_CODEC_ID_ADPCM_IMA_QT)
        origres = av_get_bits_per_sample(codec->codec_id);
    if (m_decoder->sawErrors())
        m_damagedAt = 0;
    if (first && !m_converter.convert(first, m_pending, m_pendingBytes)) {
        error = BASS_ERROR_FORMAT;
        return false;
    }

    m_info = BASS_CHANNELINFO{};
    m_info.freq = static_cast<DWORD>(m_converter.rate());
    m_info.chans = static_cast<DWORD>(m_converter.channels());
    m_info.flags = m_converter.eightBit() ? BASS_SAMPLE_8BITS : m_converter.floatSamples() ? BASS_SAMPLE_FLOAT : 0;
    m_info.ctype = BASS_CTYPE_STREAM;
    m_info.origres = static_cast<DWORD>(std::max(origres, 0));
    m_info.plugin = module;
    m_info.filename = m_request.fromMemory ? nullptr : m_request.path.c_str();
    error = BASS_OK;
    return true;
}

BASS_CHANNELINFO FfmpegChannel::info() const
{
    return m_info;
}

bool FfmpegChannel::fillPending()
{
    while (!m_ended) {
        AVFrame* frame = m_decoder->next();
        if (m_damagedAt < 0 && m_decoder->sawErrors())
            m_damagedAt = m_position + m_pendingBytes; // the data after what is delivered or pending
        if (frame) {
            if (m_converter.convert(frame, m_pending, m_pendingBytes) && m_pendingBytes > 0)
                return true;
            continue; // a frame that could not be converted is skipped
        }
        if (m_converter.flush(m_pending, m_pendingBytes) && m_pendingBytes > 0)
            return true;
        m_ended = true;
        m_pending = nullptr;
        m_pendingBytes = 0;
    }
    return false;
}

std::int64_t FfmpegChannel::read(char* out, std::int64_t bytes)
{
    const int block = m_converter.blockAlign();
    bytes -= bytes % block; // whole sample frames only
    std::int64_t delivered = 0;
    while (delivered < bytes && (m_pendingBytes > 0 || fillPending())) {
        const std::int64_t n = std::min(m_pendingBytes, bytes - delivered);
        std::memcpy(out + delivered, m_pending, static_cast<std::size_t>(n));
        delivered += n;
        m_position += n; // as it goes: a damage mark found while refilling refers to it
        m_pending += n;
        m_pendingBytes -= n;
    }
    if (m_pendingBytes == 0)
        fillPending();
    if (m_ended)
        m_measured = m_position;
    return delivered;
}

std::int64_t FfmpegChannel::length() const
{
    if (m_ended)
        return m_position;
    if (m_measured < 0 && !m_measuring) {
        m_measuring = true;
        const std::int64_t frames = StreamLength::frames(m_request, m_converter.rate(), m_frameSize);
        m_measured = frames >= 0 ? frames * m_converter.blockAlign() : 0;
        m_measuring = false;
    }
    // Data beyond what was measured is still delivered; the length follows it.
    return std::max(m_measured, m_position + m_pendingBytes);
}

namespace {

//! Codecs whose frames carry exact timestamps after a seek and decode the
//! same whatever came before them.
bool seeksExactly(AVCodecID codec)
{
    if (codec >= AV_CODEC_ID_FIRST_AUDIO && codec < AV_CODEC_ID_ADPCM_IMA_QT)
        return true; // PCM
    switch (codec) {
    case AV_CODEC_ID_FLAC:
    case AV_CODEC_ID_WAVPACK:
    case AV_CODEC_ID_TTA:
    case AV_CODEC_ID_ALAC:
        return true;
    default:
        return false;
    }
}

} // namespace

bool FfmpegChannel::seekFrame(std::int64_t frame)
{
    const std::int64_t target = frame * m_converter.blockAlign();
    if (frame < 0)
        return false;
    if (target == m_position)
        return true;
    if (m_decoder && seeksExactly(m_decoder->codec()->codec_id) && seekExactly(frame))
        return true;
    if (target < m_position && !rewind())
        return false;
    return discardTo(target);
}

bool FfmpegChannel::seekExactly(std::int64_t frame)
{
    const int rate = m_converter.rate();
    const int block = m_converter.blockAlign();
    if (!m_decoder->seek(frame, rate))
        return false;
    m_pending = nullptr;
    m_pendingBytes = 0;
    m_ended = false;
    m_damagedAt = -1;
    for (;;) {
        AVFrame* decoded = m_decoder->next();
        const std::int64_t at = decoded ? m_decoder->frameStart(decoded, rate) : -1;
        // Past the target, or no timestamp to tell: start again from the top.
        if (!decoded || at < 0 || at > frame)
            return rewind() && discardTo(frame * block);
        if (at + decoded->nb_samples <= frame)
            continue;
        if (!m_converter.convert(decoded, m_pending, m_pendingBytes))
            continue;
        const std::int64_t skip = std::min(m_pendingBytes, (frame - at) * block);
        m_pending += skip;
        m_pendingBytes -= skip;
        m_position = frame * block;
        if (m_pendingBytes == 0)
            fillPending();
        if (m_ended)
            m_measured = m_position;
        return true;
    }
}

bool FfmpegChannel::discardTo(std::int64_t bytePosition)
{
    char scratch[16384];
    while (m_position < bytePosition) {
        const std::int64_t got = read(scratch, std::min<std::int64_t>(sizeof scratch, bytePosition - m_position));
        if (got <= 0)
            return false;
    }
    // Damage before the new position belongs to audio not delivered.
    m_damagedAt = -1;
    m_decoder->forgetErrors();
    return true;
}

bool FfmpegChannel::rewind()
{
    const std::int64_t known = m_ended ? m_position : m_measured;
    int error = 0;
    m_decoder.reset();
    if (!start(error)) {
        m_ended = true;
        return false;
    }
    if (known >= 0)
        m_measured = known;
    return true;
}

} // namespace engine
