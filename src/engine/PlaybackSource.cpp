#include "engine/PlaybackSource.h"

#include <cstring>

namespace engine {

PlaybackSource::PlaybackSource(std::shared_ptr<ChannelSlot> slot, bool loop, bool mixToStereo)
    : m_slot(std::move(slot)), m_loop(loop), m_mixToStereo(mixToStereo)
{
    const BASS_CHANNELINFO info = m_slot->channel->info();
    m_channels = std::max<int>(1, int(info.chans));
    m_sampleBytes = (info.flags & BASS_SAMPLE_8BITS) ? 1 : 2;
}

qint64 PlaybackSource::bytesAvailable() const
{
    return (m_ended ? 0 : 65536) + QIODevice::bytesAvailable();
}

qint64 PlaybackSource::readData(char* data, qint64 maxSize)
{
    if (m_ended || maxSize <= 0)
        return 0;
    std::lock_guard lock(m_slot->mutex);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const std::int64_t got = readOnce(data, maxSize);
        if (got > 0)
            return got;
        // At the end (or a read error): a looping channel starts again once;
        // a channel that gives nothing even from its start has ended for good.
        if (got < 0 || !m_loop || attempt == 1 || !m_slot->channel->rewind())
            break;
    }
    m_ended = true;
    return 0;
}

std::int64_t PlaybackSource::readOnce(char* data, std::int64_t maxSize)
{
    Channel& channel = *m_slot->channel;
    if (!m_mixToStereo)
        return channel.read(data, maxSize);

    const std::int64_t inFrame = std::int64_t(m_channels) * m_sampleBytes;
    const std::int64_t frames = maxSize / 4;
    if (frames == 0)
        return 0;
    m_scratch.resize(static_cast<std::size_t>(frames * inFrame));
    const std::int64_t got = channel.read(m_scratch.data(), frames * inFrame);
    if (got <= 0)
        return got;
    const std::int64_t gotFrames = got / inFrame;
    auto sample = [this](const char* at) -> int {
        if (m_sampleBytes == 1)
            return (int(static_cast<unsigned char>(*at)) - 128) << 8;
        std::int16_t s;
        std::memcpy(&s, at, 2);
        return s;
    };
    for (std::int64_t f = 0; f < gotFrames; ++f) {
        const char* in = m_scratch.data() + f * inFrame;
        int sums[2] = {0, 0};
        int counts[2] = {0, 0};
        for (int c = 0; c < m_channels; ++c) {
            sums[c % 2] += sample(in + c * m_sampleBytes);
            ++counts[c % 2];
        }
        const auto left = static_cast<std::int16_t>(sums[0] / counts[0]);
        const auto right = counts[1] ? static_cast<std::int16_t>(sums[1] / counts[1]) : left;
        std::memcpy(data + f * 4, &left, 2);
        std::memcpy(data + f * 4 + 2, &right, 2);
    }
    // A partial frame at the very end cannot be mixed; it is dropped.
    return gotFrames > 0 ? gotFrames * 4 : readOnce(data, maxSize);
}

} // namespace engine
