#include "loudness/TruePeakLimiter.h"

#include <algorithm>
#include <cmath>

namespace loudness {

namespace {

constexpr double kAttackSeconds = 0.002;
constexpr double kReleaseSeconds = 0.1;
// Frames whose peaks are found at a time.
constexpr int kBlock = 256;
// The held minima are summed afresh this often, so that rounding never
// creeps into the average.
constexpr long long kResum = 1 << 16;
// The gain is computed against a ceiling this much lower, for the rounding of
// the oversampling and for gains that change within the filter's reach.
constexpr double kMargin = 0.995;

} // namespace

TruePeakLimiter::TruePeakLimiter(int rate, int channels, double gain, double ceiling)
    : m_channels(std::max(1, channels)), m_gain(static_cast<float>(gain)),
      m_ceiling(static_cast<float>(ceiling * kMargin)),
      m_attack(std::max(1, static_cast<int>(std::lround(std::max(rate, 1) * kAttackSeconds)))),
      m_latency(m_attack + TruePeakInterpolator::fine(rate).history() - 1),
      m_release(1.0 - std::exp(-1.0 / (kReleaseSeconds * std::max(rate, 1)))),
      m_interpolator(TruePeakInterpolator::fine(rate)), m_ituInterpolator(rate)
{
    reset();
}

void TruePeakLimiter::reset()
{
    const std::size_t history = static_cast<std::size_t>(m_interpolator.history());
    m_history.assign(static_cast<std::size_t>(m_channels), std::vector<float>(history + kBlock, 0.0f));
    m_delayed.assign((static_cast<std::size_t>(m_latency) + 1) * static_cast<std::size_t>(m_channels), 0.0f);
    m_frame.assign(static_cast<std::size_t>(m_channels), 0.0f);
    m_minimum.clear();
    m_held.clear();
    m_heldSum = 0;
    m_envelope = 1.0;
    m_frames = 0;
}

void TruePeakLimiter::process(const float* in, int frames, std::vector<float>& out)
{
    const int history = m_interpolator.history();
    // The ITU filter reaches less far back: its samples start later.
    const int ituStart = history - m_ituInterpolator.history();
    const float bound = std::max(m_interpolator.bound(), m_ituInterpolator.bound());
    float peaks[kBlock];
    float channelPeaks[kBlock];
    float ituPeaks[kBlock];
    for (int at = 0; at < frames; at += kBlock) {
        const int count = std::min(kBlock, frames - at);
        std::fill(peaks, peaks + count, 0.0f);
        for (int c = 0; c < m_channels; ++c) {
            std::vector<float>& samples = m_history[static_cast<std::size_t>(c)];
            float loudest = 0;
            for (int i = 0; i < history; ++i)
                loudest = std::max(loudest, std::fabs(samples[std::size_t(i)]));
            for (int i = 0; i < count; ++i) {
                const float value = in[(at + i) * m_channels + c] * m_gain;
                samples[std::size_t(history) + std::size_t(i)] = std::isfinite(value) ? value : 0.0f;
                loudest = std::max(loudest, std::fabs(value));
            }
            // Where even the oversampling cannot reach the ceiling, the
            // peaks need not be found.
            if (loudest * bound > m_ceiling) {
                m_interpolator.framePeaks(samples.data(), count, channelPeaks);
                m_ituInterpolator.framePeaks(samples.data() + ituStart, count, ituPeaks);
                for (int i = 0; i < count; ++i)
                    peaks[i] = std::max({peaks[i], channelPeaks[i], ituPeaks[i]});
            }
        }
        for (int i = 0; i < count; ++i) {
            const float required = peaks[i] > m_ceiling ? m_ceiling / peaks[i] : 1.0f;
            for (int c = 0; c < m_channels; ++c)
                m_frame[std::size_t(c)] = m_history[static_cast<std::size_t>(c)][std::size_t(history) + std::size_t(i)];
            push(m_frame.data(), required, out);
        }
        for (std::vector<float>& samples : m_history)
            std::copy(samples.begin() + count, samples.begin() + count + history, samples.begin());
    }
}

void TruePeakLimiter::push(const float* frame, float required, std::vector<float>& out)
{
    const long long n = m_frames++;
    const std::size_t slots = static_cast<std::size_t>(m_latency) + 1;
    float* slot =
        m_delayed.data() + static_cast<std::size_t>(n % static_cast<long long>(slots)) * std::size_t(m_channels);
    std::copy(frame, frame + m_channels, slot);

    // The lowest gain any frame within the attack and the oversampling's
    // reach after frame n - latency requires.
    while (!m_minimum.empty() && m_minimum.back().second >= required)
        m_minimum.pop_back();
    m_minimum.emplace_back(n, required);
    const long long window = m_latency + 1;
    while (m_minimum.front().first <= n - window)
        m_minimum.pop_front();
    // From here on the window reaches back to the first frame of the attack
    // before frame 0.
    if (n < m_latency - m_attack + 1)
        return;
    // Averaging the minima over the attack makes the gain fall as a ramp
    // that reaches each peak's gain before the peak.
    const float held = m_minimum.front().second;
    m_held.push_back(held);
    m_heldSum += held;
    if (static_cast<int>(m_held.size()) > m_attack) {
        m_heldSum -= m_held.front();
        m_held.pop_front();
    }
    if (n < m_latency)
        return;
    if (n % kResum == 0) {
        m_heldSum = 0;
        for (const float value : m_held)
            m_heldSum += value;
    }
    const double gain = m_heldSum / m_attack;
    m_envelope = gain < m_envelope ? gain : m_envelope + (gain - m_envelope) * m_release;

    const float* delayed =
        m_delayed.data() +
        static_cast<std::size_t>((n - m_latency) % static_cast<long long>(slots)) * std::size_t(m_channels);
    const float envelope = static_cast<float>(m_envelope);
    for (int c = 0; c < m_channels; ++c)
        out.push_back(std::clamp(delayed[c] * envelope, -1.0f, 1.0f));
}

void TruePeakLimiter::flush(std::vector<float>& out)
{
    const std::vector<float> silence(static_cast<std::size_t>(m_latency * m_channels), 0.0f);
    process(silence.data(), m_latency, out);
}

} // namespace loudness
