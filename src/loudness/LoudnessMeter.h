#pragma once

#include "engine/Bass.h"
#include "loudness/LoudnessAnalysis.h"
#include "loudness/TruePeakInterpolator.h"

#include <cstddef>
#include <vector>

namespace loudness {

//! Measures loudness (ITU-R BS.1770-4: K-weighting, 400 ms gating blocks every
//! 100 ms), sample peak and true peak of decoded audio as it passes, in the
//! format a channel delivers (interleaved unsigned 8-bit, signed 16-bit or
//! float). Gives the same integrated loudness and true peak as libebur128 at a
//! fraction of its cost, and keeps the block energies, so that pieces
//! measured apart can be gated together (an album).
//!
//! Channel weights follow the usual layout of the channel count: left, right
//! and centre 1.0, surrounds 1.41, the low-frequency channel of 5.1 and 7.1
//! left out; a mono signal counts as played on two loudspeakers (dual mono).
class LoudnessMeter {
public:
    explicit LoudnessMeter(const BASS_CHANNELINFO& format);

    //! False for a format that cannot be measured (no channels or rate).
    bool usable() const { return m_channels > 0 && m_subBlockFrames > 0; }

    //! Adds `bytes` bytes of interleaved data; a frame split between two
    //! calls is joined.
    void add(const char* data, std::size_t bytes);

    //! What was measured so far.
    const LoudnessAnalysis& analysis() const { return m_analysis; }

private:
    //! One K-weighting biquad in transposed direct form.
    struct Biquad {
        double b0 = 0, c1 = 0, c2 = 0, a1 = 0, a2 = 0; // c1 = b1 - a1 b0, c2 = b2 - a2 b0
    };
    struct ChannelState {
        double weight = 1.0;
        double s[4] = {};           // the two biquads' states
        double sum = 0;             // squared filtered samples of the current 100 ms
        float peak = 0;             // largest |sample|
        std::vector<float> samples; // history for the oversampling, then the piece being measured
    };

    void measure(const char* data, int frames);
    void toFloat(const char* data, int frames);
    void peaks(int frames);
    void filter(int from, int count);
    void endSubBlock();

    int m_channels = 0;
    int m_sampleBytes = 2;
    DWORD m_flags = 0;
    int m_subBlockFrames = 0; // frames of 100 ms, rounded as libebur128 does
    int m_framesInSubBlock = 0;
    Biquad m_shelf;
    Biquad m_highPass;
    TruePeakInterpolator m_interpolator;
    std::vector<ChannelState> m_state;
    double m_subBlocks[3] = {}; // the three 100 ms energies before the current one
    long long m_subBlockCount = 0;
    std::vector<char> m_carry; // a frame begun by the last call
    LoudnessAnalysis m_analysis;
};

} // namespace loudness
