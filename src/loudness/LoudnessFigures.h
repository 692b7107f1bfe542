#pragma once

#include "loudness/LoudnessAnalysis.h"

#include <span>

namespace loudness {

//! The loudness of a track or an album, in the units shown and tagged.
struct LoudnessFigures {
    double integrated = 0; //!< LUFS; -infinity when nothing passed the gates (silence)
    double truePeak = 0;   //!< linear, 1.0 = full scale
    double samplePeak = 0; //!< linear

    //! Whether there is a loudness to speak of.
    bool measurable() const;
    //! dB of true peak (dBTP).
    double truePeakDb() const;

    static LoudnessFigures of(const LoudnessAnalysis& analysis);
    //! Of several tracks as one programme (an album): gated together, the
    //! highest peaks.
    static LoudnessFigures of(std::span<const LoudnessAnalysis* const> tracks);
};

} // namespace loudness
