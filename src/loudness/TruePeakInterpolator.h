#pragma once

namespace loudness {

//! The oversampling of a true-peak measure. The one of ITU-R BS.1770-4
//! (annex 2), which the loudness figures use: four times below 96 kHz, twice
//! below 192 kHz, none above, with the windowed sinc of 49 taps that
//! libebur128 uses, so both find the same peaks. That measure reads up to
//! 0.25 dB below the peaks of the signal a converter makes of the samples:
//! fine() samples at least 352.8 kHz with a longer filter, for what must not
//! pass a ceiling. Works on one channel's samples as floats (1.0 = full scale).
class TruePeakInterpolator {
public:
    explicit TruePeakInterpolator(int rate);
    //! Eight times below 96 kHz, four below 192 kHz, twice above: a sinc of
    //! 24 taps a phase in a Kaiser window.
    static TruePeakInterpolator fine(int rate);

    int factor() const { return m_factor; }
    //! How many earlier samples the values between the samples of one new
    //! sample are made of.
    int history() const { return m_history; }
    //! No value between the samples exceeds the largest |sample| it is made
    //! of times this: where that product stays below a peak already found,
    //! the oversampling can be skipped without changing any result.
    float bound() const { return m_bound; }

    //! `samples` holds history() earlier samples followed by `count` new ones.
    //! Writes, for each new sample, the largest |value| among the points the
    //! oversampling puts with it (the sample itself included; the new points
    //! lie up to history() / 2 samples back).
    void framePeaks(const float* samples, int count, float* peaks) const;
    //! The largest of framePeaks().
    float maxPeak(const float* samples, int count) const;

private:
    enum class Window { Hann, Kaiser };
    TruePeakInterpolator(int factor, int taps, Window window);

    int m_factor = 1;
    int m_history = 0;
    float m_bound = 1.0f;
    //! The phases between the samples (factor - 1 of them), each by delay:
    //! the tap applied to the sample that many samples back from the newest.
    float m_coefficients[7][24] = {};
};

} // namespace loudness
