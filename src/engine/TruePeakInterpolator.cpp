#include "engine/TruePeakInterpolator.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

namespace engine {

namespace {

constexpr int kTaps = 49;
// Outputs are made a block at a time, so that the tap loops vectorise.
constexpr int kBlock = 32;
constexpr double kAlmostZero = 1e-9;

} // namespace

TruePeakInterpolator::TruePeakInterpolator(int rate) : m_factor(rate < 96000 ? 4 : rate < 192000 ? 2 : 1)
{
    if (m_factor == 1)
        return;
    for (int j = 0; j < kTaps; ++j) {
        const double m = j - (kTaps - 1) / 2.0;
        double c = 1.0;
        if (std::fabs(m) > kAlmostZero) {
            const double x = m * std::numbers::pi / m_factor;
            c = std::sin(x) / x;
        }
        c *= 0.5 * (1.0 - std::cos(2.0 * std::numbers::pi * j / (kTaps - 1))); // Hann window
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

// Four floats handled as one (SSE on x86, NEON on ARM; plain code elsewhere).
using Floats4 = float __attribute__((vector_size(16)));

Floats4 load4(const float* from)
{
    Floats4 value;
    std::memcpy(&value, from, sizeof value);
    return value;
}

Floats4 abs4(Floats4 value)
{
    return value < 0 ? -value : value;
}

Floats4 max4(Floats4 a, Floats4 b)
{
    return a > b ? a : b;
}

} // namespace

namespace {

//! framePeaks() for `Phases` phases of `Taps` taps each, the tap of delay d
//! at [phase][d]: fixed counts let the compiler unroll the tap loop.
template <int Phases, int Taps>
void peaksOf(const float (*coefficients)[24], const float* newest, int count, float* peaks)
{
    int at = 0;
    // Eight outputs at a time, their sums kept in registers across the taps.
    for (; at + 8 <= count; at += 8) {
        Floats4 best0 = abs4(load4(newest + at));
        Floats4 best1 = abs4(load4(newest + at + 4));
        for (int p = 0; p < Phases; ++p) {
            Floats4 sum0 = {0, 0, 0, 0};
            Floats4 sum1 = {0, 0, 0, 0};
            for (int d = 0; d < Taps; ++d) {
                const float c = coefficients[p][d];
                sum0 += c * load4(newest + at - d);
                sum1 += c * load4(newest + at + 4 - d);
            }
            best0 = max4(best0, abs4(sum0));
            best1 = max4(best1, abs4(sum1));
        }
        std::memcpy(peaks + at, &best0, sizeof best0);
        std::memcpy(peaks + at + 4, &best1, sizeof best1);
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

} // namespace

void TruePeakInterpolator::framePeaks(const float* samples, int count, float* peaks) const
{
    const float* newest = samples + m_history;
    if (m_factor == 4)
        peaksOf<3, 12>(m_coefficients, newest, count, peaks);
    else if (m_factor == 2)
        peaksOf<1, 24>(m_coefficients, newest, count, peaks);
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

} // namespace engine
