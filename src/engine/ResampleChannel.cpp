#include "engine/ResampleChannel.h"

#include "engine/ChannelRegistry.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/mathematics.h>
#include <libswresample/swresample.h>
}

#include <algorithm>

namespace engine {

std::shared_ptr<ResampleChannel> ResampleChannel::wrap(std::shared_ptr<Channel> inner, int rate)
{
    if (!inner || rate <= 0)
        return nullptr;
    std::shared_ptr<ResampleChannel> channel(new ResampleChannel(std::move(inner), rate));
    if (!channel->setUp() || !channel->fillPending())
        return nullptr;
    return channel;
}

ResampleChannel::ResampleChannel(std::shared_ptr<Channel> inner, int rate) : m_inner(std::move(inner)), m_outRate(rate)
{
}

ResampleChannel::~ResampleChannel()
{
    swr_free(&m_swr);
}

bool ResampleChannel::setUp()
{
    const BASS_CHANNELINFO source = m_inner->info();
    if (source.chans == 0 || source.freq == 0 || (source.flags & BASS_SAMPLE_8BITS))
        return false;
    m_inRate = static_cast<int>(source.freq);
    m_block = static_cast<int>(source.chans) * 2;
    m_info = source;
    m_info.freq = static_cast<DWORD>(m_outRate);
    AVChannelLayout layout{};
    av_channel_layout_default(&layout, static_cast<int>(source.chans));
    const int rc = swr_alloc_set_opts2(&m_swr, &layout, AV_SAMPLE_FMT_S16, m_outRate, &layout, AV_SAMPLE_FMT_S16,
                                       m_inRate, 0, nullptr);
    av_channel_layout_uninit(&layout);
    if (rc < 0 || swr_init(m_swr) < 0) {
        swr_free(&m_swr);
        return false;
    }
    return true;
}

std::int64_t ResampleChannel::scaled(std::int64_t innerBytes) const
{
    if (innerBytes < 0)
        return innerBytes;
    return av_rescale(innerBytes / m_block, m_outRate, m_inRate) * m_block;
}

bool ResampleChannel::fillPending()
{
    constexpr int kInFrames = 4096;
    m_pending.clear();
    m_pendingAt = 0;
    while (m_pending.empty() && !m_ended) {
        const int room = swr_get_out_samples(m_swr, m_innerEnded ? 0 : kInFrames);
        if (room < 0)
            return false;
        m_pending.resize(static_cast<std::size_t>(std::max(room, 1)) * static_cast<std::size_t>(m_block));
        auto* out = reinterpret_cast<std::uint8_t*>(m_pending.data());
        int produced = 0;
        if (m_innerEnded) {
            produced = swr_convert(m_swr, &out, std::max(room, 1), nullptr, 0); // what the filter still holds
            if (produced == 0)
                m_ended = true;
        } else {
            m_input.resize(static_cast<std::size_t>(kInFrames) * static_cast<std::size_t>(m_block));
            const std::int64_t got = m_inner->read(m_input.data(), static_cast<std::int64_t>(m_input.size()));
            if (got < 0)
                return false;
            if (got == 0)
                m_innerEnded = true;
            const auto* in = reinterpret_cast<const std::uint8_t*>(m_input.data());
            produced = got == 0 ? 0 : swr_convert(m_swr, &out, room, &in, static_cast<int>(got / m_block));
        }
        if (produced < 0)
            return false;
        m_pending.resize(static_cast<std::size_t>(produced) * static_cast<std::size_t>(m_block));
    }
    return true;
}

std::int64_t ResampleChannel::read(char* out, std::int64_t bytes)
{
    bytes -= bytes % m_block;
    std::int64_t delivered = 0;
    while (delivered < bytes) {
        if (m_pendingAt >= m_pending.size() && !fillPending())
            return -1;
        const auto left = static_cast<std::int64_t>(m_pending.size() - m_pendingAt);
        if (left == 0)
            break; // the end
        const std::int64_t n = std::min(left, bytes - delivered);
        std::copy_n(m_pending.data() + m_pendingAt, n, out + delivered);
        m_pendingAt += static_cast<std::size_t>(n);
        delivered += n;
    }
    m_position += delivered;
    if (m_pendingAt >= m_pending.size() && !m_ended && !fillPending())
        return delivered > 0 ? delivered : -1;
    return delivered;
}

std::int64_t ResampleChannel::length() const
{
    const auto pending = static_cast<std::int64_t>(m_pending.size() - m_pendingAt);
    if (m_ended && pending == 0)
        return m_position;
    return std::max(scaled(m_inner->length()), m_position + std::max<std::int64_t>(pending, m_block));
}

bool ResampleChannel::rewind()
{
    swr_close(m_swr);
    if (swr_init(m_swr) < 0)
        return false;
    m_pending.clear();
    m_pendingAt = 0;
    m_position = 0;
    m_innerEnded = false;
    m_ended = false;
    return m_inner->rewind();
}

std::int64_t ResampleChannel::damagedAt() const
{
    return scaled(m_inner->damagedAt());
}

bool resampleDecodingStream(DWORD handle, DWORD rate)
{
    const auto slot = ChannelRegistry::global().find(handle);
    if (!slot || rate == 0)
        return false;
    std::lock_guard lock(slot->mutex);
    auto channel = ResampleChannel::wrap(slot->channel, static_cast<int>(rate));
    if (!channel)
        return false;
    slot->channel = std::move(channel);
    return true;
}

} // namespace engine
