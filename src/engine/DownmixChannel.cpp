#include "engine/DownmixChannel.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include <cstring>

namespace engine {

std::shared_ptr<Channel> DownmixChannel::wrap(std::shared_ptr<Channel> inner)
{
    if (!inner)
        return nullptr;
    const BASS_CHANNELINFO info = inner->info();
    if (info.chans <= 2 && !(info.flags & BASS_SAMPLE_8BITS))
        return inner;
    std::shared_ptr<DownmixChannel> channel(new DownmixChannel(std::move(inner)));
    if (!channel->setUp())
        return nullptr;
    return channel;
}

DownmixChannel::DownmixChannel(std::shared_ptr<Channel> inner) : m_inner(std::move(inner)) {}

DownmixChannel::~DownmixChannel()
{
    swr_free(&m_swr);
}

bool DownmixChannel::setUp()
{
    const BASS_CHANNELINFO source = m_inner->info();
    if (source.chans == 0 || source.freq == 0)
        return false;
    const bool eightBit = source.flags & BASS_SAMPLE_8BITS;
    const int outChannels = source.chans > 2 ? 2 : static_cast<int>(source.chans);
    m_innerBlock = static_cast<int>(source.chans) * (eightBit ? 1 : 2);
    m_block = outChannels * 2;
    m_info = source;
    m_info.chans = static_cast<DWORD>(outChannels);
    m_info.flags &= ~BASS_SAMPLE_8BITS;

    // Decoded data is interleaved in the order of the default layout for its
    // channel count (5.1 is FL FR FC LFE SL SR), which is what the matrix is
    // worked out for.
    AVChannelLayout inLayout{};
    AVChannelLayout outLayout{};
    av_channel_layout_default(&inLayout, static_cast<int>(source.chans));
    av_channel_layout_default(&outLayout, outChannels);
    const int rate = static_cast<int>(source.freq);
    const int rc = swr_alloc_set_opts2(&m_swr, &outLayout, AV_SAMPLE_FMT_S16, rate, &inLayout,
                                       eightBit ? AV_SAMPLE_FMT_U8 : AV_SAMPLE_FMT_S16, rate, 0, nullptr);
    av_channel_layout_uninit(&inLayout);
    av_channel_layout_uninit(&outLayout);
    if (rc < 0 || swr_init(m_swr) < 0) {
        swr_free(&m_swr);
        return false;
    }
    return true;
}

BASS_CHANNELINFO DownmixChannel::info() const
{
    return m_info;
}

std::int64_t DownmixChannel::delivered(std::int64_t innerBytes) const
{
    return innerBytes < 0 ? innerBytes : innerBytes / m_innerBlock * m_block;
}

std::int64_t DownmixChannel::read(char* out, std::int64_t bytes)
{
    const std::int64_t frames = bytes / m_block;
    if (frames <= 0)
        return 0;
    m_input.resize(static_cast<std::size_t>(frames * m_innerBlock));
    std::size_t have = m_carry.size();
    if (have > 0)
        std::memcpy(m_input.data(), m_carry.data(), have);
    m_carry.clear();
    while (have < m_input.size()) {
        const std::int64_t got = m_inner->read(m_input.data() + have, static_cast<std::int64_t>(m_input.size() - have));
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        have += static_cast<std::size_t>(got);
    }
    const std::size_t whole = have - have % static_cast<std::size_t>(m_innerBlock);
    m_carry.assign(m_input.begin() + static_cast<std::ptrdiff_t>(whole),
                   m_input.begin() + static_cast<std::ptrdiff_t>(have));
    const int inFrames = static_cast<int>(whole / static_cast<std::size_t>(m_innerBlock));
    if (inFrames == 0)
        return 0;
    const auto* in = reinterpret_cast<const std::uint8_t*>(m_input.data());
    auto* target = reinterpret_cast<std::uint8_t*>(out);
    // Same rate in and out: every input frame gives one output frame at once.
    const int done = swr_convert(m_swr, &target, static_cast<int>(frames), &in, inFrames);
    if (done < 0)
        return -1;
    return static_cast<std::int64_t>(done) * m_block;
}

std::int64_t DownmixChannel::length() const
{
    return delivered(m_inner->length());
}

std::int64_t DownmixChannel::position() const
{
    // Bytes held back as part of a frame have not been delivered yet.
    return delivered(m_inner->position() - static_cast<std::int64_t>(m_carry.size()));
}

bool DownmixChannel::rewind()
{
    m_carry.clear();
    return m_inner->rewind();
}

} // namespace engine
