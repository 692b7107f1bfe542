#pragma once

#include <span>
#include <vector>

namespace loudness {

//! What the loudness measure (ITU-R BS.1770-4, EBU R 128) found in a piece of
//! audio: enough to give its integrated loudness alone or together with other
//! pieces (an album), and its peaks.
struct LoudnessAnalysis {
    //! The mean-square energies (channel weights applied) of the 400 ms
    //! gating blocks, 100 ms apart, that pass the absolute gate of -70 LUFS,
    //! in order.
    std::vector<float> blocks;
    double samplePeak = 0; //!< the largest |sample|, 1.0 = full scale
    double truePeak = 0;   //!< the largest |value| of the oversampled signal, at least samplePeak

    //! Blocks quieter than this (LUFS) are silence: the meter keeps none.
    static constexpr double kAbsoluteGate = -70.0;

    //! Integrated loudness in LUFS; -infinity when no block passes the gates
    //! (silence, or audio shorter than 400 ms).
    double integrated() const;
    //! Integrated loudness of several pieces measured as one programme: the
    //! gates apply to all their blocks together.
    static double integrated(std::span<const LoudnessAnalysis* const> parts);

    //! LUFS of a block energy, and back.
    static double lufs(double energy);
    static double energy(double lufs);
    //! dB of a linear peak (1.0 = 0 dBFS); -infinity for 0.
    static double decibels(double peak);
};

} // namespace loudness
