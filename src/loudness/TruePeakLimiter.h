#pragma once

#include "loudness/TruePeakInterpolator.h"

#include <deque>
#include <vector>

namespace loudness {

//! Applies a gain to interleaved float audio and keeps its true peak at or
//! below a ceiling, as two measures find it: the signal oversampled at least
//! eight times (TruePeakInterpolator::fine(), close to what a converter
//! makes of the samples), and the four times of the loudness measure
//! (BS.1770, libebur128's), whose short filter reads up to 0.2 dB higher on
//! dense audio, so the figures shown for the output keep to the ceiling too: a look-ahead limiter whose gain falls
//! smoothly before a peak (about 2 ms) and recovers slowly after it (about 100 ms), the same on every channel. Audio
//! that stays below the ceiling passes with the gain alone. The output lags the input by latency() frames; flush()
//! delivers the rest at the end.
class TruePeakLimiter {
public:
    //! `gain` and `ceiling` are linear (1.0 = 0 dB, full scale).
    TruePeakLimiter(int rate, int channels, double gain, double ceiling);

    int latency() const { return m_latency; }

    //! Takes `frames` frames and appends to `out` the frames that left the
    //! delay (as many as came in, once the delay is full).
    void process(const float* in, int frames, std::vector<float>& out);
    //! Appends the frames still in the delay.
    void flush(std::vector<float>& out);
    //! Forgets everything, as at the start.
    void reset();

private:
    void push(const float* frame, float required, std::vector<float>& out);

    int m_channels;
    float m_gain;
    float m_ceiling;
    int m_attack; // frames over which the gain falls before a peak
    int m_latency;
    double m_release;                    // share of the way back to the required gain made per frame
    TruePeakInterpolator m_interpolator; // fine()
    TruePeakInterpolator m_ituInterpolator;

    std::vector<std::vector<float>> m_history;         // per channel: the last history() gained samples, then a block
    std::vector<float> m_delayed;                      // gained frames waiting for their gain, interleaved
    std::vector<float> m_frame;                        // one frame being taken in
    std::deque<std::pair<long long, float>> m_minimum; // the gains each frame requires, increasing (sliding minimum)
    std::deque<float> m_held;                          // the last m_attack minima, averaged into the gain
    double m_heldSum = 0;
    double m_envelope = 1.0;
    long long m_frames = 0; // frames taken in
};

} // namespace loudness
