#pragma once

#include "engine/Channel.h"
#include "loudness/TruePeakLimiter.h"

#include <memory>
#include <vector>

namespace loudness {

//! Delivers another channel's data with a gain applied in floating point and
//! its true peak held at or below a ceiling (see TruePeakLimiter), in the
//! wrapped channel's own format, rate and channels: loudness normalisation
//! before an encoder. Length, position and the damage mark follow the wrapped
//! channel; the limiter's delay is taken back at the end, so every frame comes
//! out and none is added.
class GainChannel : public engine::Channel {
public:
    //! `gainDb` and `ceilingDb` in dB (the ceiling in dB of true peak). Null
    //! when the wrapped channel's format cannot be handled.
    static std::shared_ptr<GainChannel> wrap(std::shared_ptr<engine::Channel> inner, double gainDb, double ceilingDb);

    BASS_CHANNELINFO info() const override { return m_info; }
    std::int64_t read(char* out, std::int64_t bytes) override;
    std::int64_t length() const override { return m_inner->length(); }
    std::int64_t position() const override { return m_position; }
    bool rewind() override;
    std::int64_t damagedAt() const override { return m_inner->damagedAt(); }
    bool metInvalidSamples() const override { return m_inner->metInvalidSamples(); }

private:
    GainChannel(std::shared_ptr<engine::Channel> inner, double gain, double ceiling);
    //! Reads and limits more of the wrapped channel; false on a read error.
    bool fill();
    void toFloat(const char* data, std::size_t samples, std::vector<float>& out) const;
    void fromFloat(const float* data, std::size_t samples, char* out) const;

    std::shared_ptr<engine::Channel> m_inner;
    BASS_CHANNELINFO m_info{};
    int m_sampleBytes = 2;
    TruePeakLimiter m_limiter;
    std::vector<char> m_input;    // wrapped data being read, with a partial sample frame left from the last read
    std::vector<float> m_samples; // the same as floats
    std::vector<float> m_ready;   // limited samples not delivered yet
    std::size_t m_readyAt = 0;
    std::int64_t m_position = 0;
    bool m_flushed = false;
};

//! Makes the decoding stream `handle` deliver its data with `gainDb` applied
//! and its true peak held at or below `ceilingDb` from now on (call it before
//! the first read). False when the handle is unknown or its format cannot be
//! handled.
bool applyGainToDecodingStream(DWORD handle, double gainDb, double ceilingDb);

} // namespace loudness
