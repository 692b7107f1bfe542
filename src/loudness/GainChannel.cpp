#include "loudness/GainChannel.h"

#include "engine/ChannelRegistry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace loudness {

namespace {

// Wrapped data read at a time.
constexpr std::int64_t kReadBytes = 1 << 16;

double linear(double decibels)
{
    return std::pow(10.0, decibels / 20.0);
}

} // namespace

std::shared_ptr<GainChannel> GainChannel::wrap(std::shared_ptr<engine::Channel> inner, double gainDb, double ceilingDb)
{
    if (!inner || !std::isfinite(gainDb) || !std::isfinite(ceilingDb))
        return nullptr;
    const BASS_CHANNELINFO info = inner->info();
    if (info.chans == 0 || info.freq == 0)
        return nullptr;
    return std::shared_ptr<GainChannel>(new GainChannel(std::move(inner), linear(gainDb), linear(ceilingDb)));
}

GainChannel::GainChannel(std::shared_ptr<engine::Channel> inner, double gain, double ceiling)
    : m_inner(std::move(inner)), m_info(m_inner->info()), m_sampleBytes((m_info.flags & BASS_SAMPLE_8BITS)   ? 1
                                                                        : (m_info.flags & BASS_SAMPLE_FLOAT) ? 4
                                                                                                             : 2),
      m_limiter(static_cast<int>(std::min<DWORD>(m_info.freq, 1u << 30)), static_cast<int>(m_info.chans), gain, ceiling)
{
}

void GainChannel::toFloat(const char* data, std::size_t samples, std::vector<float>& out) const
{
    out.resize(samples);
    if (m_info.flags & BASS_SAMPLE_8BITS) {
        for (std::size_t i = 0; i < samples; ++i)
            out[i] = (float(static_cast<unsigned char>(data[i])) - 128.0f) / 128.0f;
    } else if (m_info.flags & BASS_SAMPLE_FLOAT) {
        std::memcpy(out.data(), data, samples * 4);
    } else {
        for (std::size_t i = 0; i < samples; ++i) {
            std::int16_t value;
            std::memcpy(&value, data + i * 2, 2);
            out[i] = float(value) / 32768.0f;
        }
    }
}

void GainChannel::fromFloat(const float* data, std::size_t samples, char* out) const
{
    if (m_info.flags & BASS_SAMPLE_8BITS) {
        for (std::size_t i = 0; i < samples; ++i)
            out[i] = static_cast<char>(
                static_cast<unsigned char>(std::clamp(std::lround(data[i] * 128.0f) + 128L, 0L, 255L)));
    } else if (m_info.flags & BASS_SAMPLE_FLOAT) {
        std::memcpy(out, data, samples * 4);
    } else {
        for (std::size_t i = 0; i < samples; ++i) {
            const auto value = static_cast<std::int16_t>(std::clamp(std::lround(data[i] * 32768.0f), -32768L, 32767L));
            std::memcpy(out + i * 2, &value, 2);
        }
    }
}

bool GainChannel::fill()
{
    const std::size_t frameBytes = std::size_t(m_info.chans) * std::size_t(m_sampleBytes);
    const std::size_t kept = m_input.size();
    m_input.resize(kept + std::size_t(kReadBytes));
    const std::int64_t got = m_inner->read(m_input.data() + kept, kReadBytes);
    if (got < 0) {
        m_input.resize(kept);
        return false;
    }
    m_input.resize(kept + std::size_t(got));
    const std::size_t whole = m_input.size() / frameBytes;
    toFloat(m_input.data(), whole * m_info.chans, m_samples);
    m_input.erase(m_input.begin(), m_input.begin() + std::ptrdiff_t(whole * frameBytes));

    if (m_readyAt > 0) {
        m_ready.erase(m_ready.begin(), m_ready.begin() + std::ptrdiff_t(m_readyAt));
        m_readyAt = 0;
    }
    m_limiter.process(m_samples.data(), static_cast<int>(whole), m_ready);
    if (got == 0) {
        // The end: the limiter's delay gives back its last frames.
        m_limiter.flush(m_ready);
        m_flushed = true;
    }
    return true;
}

std::int64_t GainChannel::read(char* out, std::int64_t bytes)
{
    const std::int64_t wanted = bytes / m_sampleBytes;
    while (std::int64_t(m_ready.size() - m_readyAt) < wanted && !m_flushed)
        if (!fill())
            return -1;
    const std::size_t samples = std::min<std::size_t>(std::size_t(wanted), m_ready.size() - m_readyAt);
    fromFloat(m_ready.data() + m_readyAt, samples, out);
    m_readyAt += samples;
    const std::int64_t delivered = std::int64_t(samples) * m_sampleBytes;
    m_position += delivered;
    return delivered;
}

bool GainChannel::rewind()
{
    if (!m_inner->rewind())
        return false;
    m_limiter.reset();
    m_input.clear();
    m_ready.clear();
    m_readyAt = 0;
    m_position = 0;
    m_flushed = false;
    return true;
}

bool applyGainToDecodingStream(DWORD handle, double gainDb, double ceilingDb)
{
    const auto slot = engine::ChannelRegistry::global().find(handle);
    if (!slot)
        return false;
    std::lock_guard lock(slot->mutex);
    auto channel = GainChannel::wrap(slot->channel, gainDb, ceilingDb);
    if (!channel)
        return false;
    slot->channel = std::move(channel);
    return true;
}

} // namespace loudness
