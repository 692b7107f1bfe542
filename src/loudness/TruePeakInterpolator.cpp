#include "loudness/TruePeakInterpolator.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace loudness {

namespace {

constexpr int kItuTaps = 49;
constexpr int kFineTapsPerPhase = 24;
// The Kaiser window's shape: side lobes near -45 dB, a narrow transition.
constexpr double kKaiserBeta = 6.0;
// Outputs are made a block at a time, so that the tap loops vectorise.
constexpr int kBlock = 32;
constexpr double kAlmostZero = 1e-9;

} // namespace

TruePeakInterpolator::TruePeakInterpolator(int rate)
    : TruePeakInterpolator(rate < 96000    ? 4
                           : rate < 192000 ? 2
                                           : 1,
                           kItuTaps, Window::Hann)
{
}

TruePeakInterpolator TruePeakInterpolator::fine(int rate)
{
    const int factor = rate < 96000 ? 8 : rate < 192000 ? 4 : 2;
    return TruePeakInterpolator(factor, factor * kFineTapsPerPhase + 1, Window::Kaiser);
}

TruePeakInterpolator::TruePeakInterpolator(int factor, int taps, Window window) : m_factor(factor)
{
    if (m_factor == 1)
        return;
    const double kaiserScale = 1.0 / std::cyl_bessel_i(0.0, kKaiserBeta);
    for (int j = 0; j < taps; ++j) {
        const double m = j - (taps - 1) / 2.0;
        double c = 1.0;
        if (std::fabs(m) > kAlmostZero) {
            const double x = m * std::numbers::pi / m_factor;
            c = std::sin(x) / x;
        }
        if (window == Window::Hann) {
            c *= 0.5 * (1.0 - std::cos(2.0 * std::numbers::pi * j / (taps - 1)));
        } else {
            const double r = 2.0 * j / (taps - 1) - 1.0;
            c *= std::cyl_bessel_i(0.0, kKaiserBeta * std::sqrt(std::max(0.0, 1.0 - r * r))) * kaiserScale;
        }
        // The taps of phase 0 are zero but the centre one: that phase is the
        // sample itself.
        const int phase = j % m_factor;
        if (std::fabs(c) <= kAlmostZero || phase == 0)
            continue;
        m_coefficients[phase - 1][j / m_factor] = static_cast<float>(c);
        m_history = std::max(m_history, j / m_factor);
    }
    double bound = 1.0;
    for (const auto& phase : m_coefficients) {
        double sum = 0;
        for (const float c : phase)
            sum += std::fabs(double(c));
        bound = std::max(bound, sum);
    }
    // A little above the sum, for the rounding of the float sums.
    m_bound = static_cast<float>(bound * 1.0001);
}

namespace {

} // namespace

namespace {

// Eight floats handled as one: AVX2 where the processor has it (the clones
// below), two SSE registers elsewhere, plain code on other machines.
using Floats8 = float __attribute__((vector_size(32)));

// Through a reference: a function returning such a vector would change the
// calling convention between the clones.
[[gnu::always_inline]] inline void load8(Floats8& value, const float* from)
{
    std::memcpy(&value, from, sizeof value);
}

//! framePeaks() for `Phases` phases of `Taps` taps each, the tap of delay d
//! at [phase][d]: fixed counts let the compiler unroll the tap loop. Sixteen
//! outputs at a time, their sums kept in registers across the taps.
template <int Phases, int Taps>
[[gnu::always_inline]] inline void peaksOf(const float (*coefficients)[24], const float* newest, int count,
                                           float* peaks)
{
    int at = 0;
    for (; at + 16 <= count; at += 16) {
        Floats8 x0, x1;
        load8(x0, newest + at);
        load8(x1, newest + at + 8);
        Floats8 best0 = x0 < 0 ? -x0 : x0;
        Floats8 best1 = x1 < 0 ? -x1 : x1;
        for (int p = 0; p < Phases; ++p) {
            Floats8 sum0 = {}, sum1 = {};
            for (int d = 0; d < Taps; ++d) {
                const float c = coefficients[p][d];
                Floats8 in0, in1;
                load8(in0, newest + at - d);
                load8(in1, newest + at + 8 - d);
                sum0 += c * in0;
                sum1 += c * in1;
            }
            sum0 = sum0 < 0 ? -sum0 : sum0;
            sum1 = sum1 < 0 ? -sum1 : sum1;
            best0 = best0 > sum0 ? best0 : sum0;
            best1 = best1 > sum1 ? best1 : sum1;
        }
        std::memcpy(peaks + at, &best0, sizeof best0);
        std::memcpy(peaks + at + 8, &best1, sizeof best1);
    }
    for (; at < count; ++at) {
        float best = std::fabs(newest[at]);
        for (int p = 0; p < Phases; ++p) {
            float sum = 0;
            for (int d = 0; d < Taps; ++d)
                sum += coefficients[p][d] * newest[at - d];
            best = std::max(best, std::fabs(sum));
        }
        peaks[at] = best;
    }
}

// Run as often as the oversampling is: built for AVX2 as well, chosen when
// the program starts. Not under ThreadSanitizer: the choice is made by a
// resolver the loader runs before the checker's runtime is up, and an
// instrumented resolver crashes there.
#if defined(__SANITIZE_THREAD__)
#define TONEMILL_AVX2_CLONES
#else
#define TONEMILL_AVX2_CLONES [[gnu::target_clones("avx2", "default")]]
#endif
TONEMILL_AVX2_CLONES void peaks4(const float (*c)[24], const float* newest, int count, float* peaks)
{
    peaksOf<3, 12>(c, newest, count, peaks);
}
TONEMILL_AVX2_CLONES void peaks2(const float (*c)[24], const float* newest, int count, float* peaks)
{
    peaksOf<1, 24>(c, newest, count, peaks);
}
TONEMILL_AVX2_CLONES void finePeaks8(const float (*c)[24], const float* newest, int count, float* peaks)
{
    peaksOf<7, 24>(c, newest, count, peaks);
}
TONEMILL_AVX2_CLONES void finePeaks4(const float (*c)[24], const float* newest, int count, float* peaks)
{
    peaksOf<3, 24>(c, newest, count, peaks);
}

} // namespace

void TruePeakInterpolator::framePeaks(const float* samples, int count, float* peaks) const
{
    const float* newest = samples + m_history;
    if (m_factor == 8)
        finePeaks8(m_coefficients, newest, count, peaks);
    else if (m_factor == 4 && m_history + 1 == kFineTapsPerPhase) // fine(), not the ITU filter
        finePeaks4(m_coefficients, newest, count, peaks);
    else if (m_factor == 4)
        peaks4(m_coefficients, newest, count, peaks);
    else if (m_factor == 2)
        peaks2(m_coefficients, newest, count, peaks);
    else
        for (int i = 0; i < count; ++i)
            peaks[i] = std::fabs(newest[i]);
}

float TruePeakInterpolator::maxPeak(const float* samples, int count) const
{
    float peaks[kBlock];
    float best = 0;
    for (int at = 0; at < count; at += kBlock) {
        const int n = std::min(kBlock, count - at);
        framePeaks(samples + at, n, peaks);
        for (int i = 0; i < n; ++i)
            best = std::max(best, peaks[i]);
    }
    return best;
}

} // namespace loudness
