#pragma once

// A stand-in PCM source for the playback and encoder-hook tests: a sine tone
// of a fixed length, in 16-bit or 8-bit samples, with any channel count.

#include "engine/Channel.h"

#include <atomic>
#include <cmath>
#include <cstring>

namespace testsupport {

class SineChannel : public engine::Channel {
public:
    SineChannel(int rate, int channels, double seconds, double frequency = 440.0, bool eightBit = false,
                double amplitude = 0.5)
        : m_rate(rate), m_channels(channels), m_frequency(frequency), m_eightBit(eightBit), m_amplitude(amplitude),
          m_frames(static_cast<std::int64_t>(seconds * rate))
    {
    }

    BASS_CHANNELINFO info() const override
    {
        BASS_CHANNELINFO i;
        i.freq = static_cast<DWORD>(m_rate);
        i.chans = static_cast<DWORD>(m_channels);
        i.flags = m_eightBit ? BASS_SAMPLE_8BITS : 0;
        i.origres = m_eightBit ? 8 : 16;
        return i;
    }

    std::int64_t read(char* out, std::int64_t bytes) override
    {
        const std::int64_t frameBytes = bytesPerSample() * m_channels;
        std::int64_t frames = std::min(bytes / frameBytes, m_frames - m_frame);
        for (std::int64_t f = 0; f < frames; ++f, ++m_frame) {
            const double v = m_amplitude * std::sin(2 * M_PI * m_frequency * double(m_frame) / m_rate);
            for (int c = 0; c < m_channels; ++c) {
                if (m_eightBit) {
                    *out++ = static_cast<char>(static_cast<unsigned char>(std::lround(128 + 127 * v)));
                } else {
                    const auto s = static_cast<std::int16_t>(std::lround(32767 * v));
                    std::memcpy(out, &s, 2);
                    out += 2;
                }
            }
        }
        reads.fetch_add(1);
        return frames * frameBytes;
    }

    std::int64_t length() const override { return m_frames * bytesPerSample() * m_channels; }
    std::int64_t position() const override { return m_frame * bytesPerSample() * m_channels; }
    bool rewind() override
    {
        m_frame = 0;
        rewinds.fetch_add(1);
        return true;
    }

    std::atomic<int> reads{0};
    std::atomic<int> rewinds{0};

private:
    int bytesPerSample() const { return m_eightBit ? 1 : 2; }

    int m_rate;
    int m_channels;
    double m_frequency;
    bool m_eightBit;
    double m_amplitude;
    std::int64_t m_frames;
    std::int64_t m_frame = 0;
};

} // namespace testsupport
