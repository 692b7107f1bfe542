#include "loudness/LoudnessMeter.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>

namespace loudness {

namespace {

// Frames converted and measured at a time.
constexpr int kPiece = 4096;
// Frames whose oversampling is skipped together when their samples cannot
// raise the true peak.
constexpr int kPeakSpan = 256;
// Filter states below this are set to 0 at the end of each 100 ms, so that
// silence never makes the filters run on denormal numbers (which are slow).
constexpr double kTiny = 1e-25;
constexpr double kSurround = 1.41;

//! The channel weights of the usual layout of `channels`.
std::vector<double> weights(int channels)
{
    if (channels == 1)
        return {2.0}; // dual mono
    std::vector<double> result(static_cast<std::size_t>(channels), 1.0);
    const auto set = [&result](std::initializer_list<double> values) {
        std::copy(values.begin(), values.end(), result.begin());
    };
    switch (channels) {
    case 4: // quadraphonic: front, then back
        set({1.0, 1.0, kSurround, kSurround});
        break;
    case 5: // 5.0: front, centre, surrounds
        set({1.0, 1.0, 1.0, kSurround, kSurround});
        break;
    case 6: // 5.1
        set({1.0, 1.0, 1.0, 0.0, kSurround, kSurround});
        break;
    case 7: // 6.1
        set({1.0, 1.0, 1.0, 0.0, kSurround, kSurround, kSurround});
        break;
    default:
        if (channels >= 8) // 7.1, and whatever follows it at full weight
            set({1.0, 1.0, 1.0, 0.0, kSurround, kSurround, kSurround, kSurround});
        break;
    }
    return result;
}

} // namespace

LoudnessMeter::LoudnessMeter(const BASS_CHANNELINFO& format)
    : m_channels(static_cast<int>(format.chans)), m_flags(format.flags),
      m_interpolator(static_cast<int>(std::min<DWORD>(format.freq, 1u << 30)))
{
    m_sampleBytes = (m_flags & BASS_SAMPLE_8BITS) ? 1 : (m_flags & BASS_SAMPLE_FLOAT) ? 4 : 2;
    const double rate = double(format.freq);
    if (m_channels <= 0 || format.freq == 0) {
        m_channels = 0;
        return;
    }
    m_subBlockFrames = static_cast<int>((format.freq + 5) / 10);

    // The K-weighting of BS.1770 for any sample rate, from the analogue
    // prototypes' parameters (the same derivation as libebur128's): a high
    // shelf of about +4 dB, then a high-pass at 38 Hz.
    double f0 = 1681.974450955533;
    const double gain = 3.999843853973347;
    double q = 0.7071752369554196;
    double k = std::tan(std::numbers::pi * f0 / rate);
    const double vh = std::pow(10.0, gain / 20.0);
    const double vb = std::pow(vh, 0.4996667741545416);
    const double a0 = 1.0 + k / q + k * k;
    const double sb0 = (vh + vb * k / q + k * k) / a0;
    const double sb1 = 2.0 * (k * k - vh) / a0;
    const double sb2 = (vh - vb * k / q + k * k) / a0;
    const double sa1 = 2.0 * (k * k - 1.0) / a0;
    const double sa2 = (1.0 - k / q + k * k) / a0;
    m_shelf = {sb0, sb1 - sa1 * sb0, sb2 - sa2 * sb0, sa1, sa2};

    f0 = 38.13547087602444;
    q = 0.5003270373238773;
    k = std::tan(std::numbers::pi * f0 / rate);
    const double ha1 = 2.0 * (k * k - 1.0) / (1.0 + k / q + k * k);
    const double ha2 = (1.0 - k / q + k * k) / (1.0 + k / q + k * k);
    m_highPass = {1.0, -2.0 - ha1, 1.0 - ha2, ha1, ha2};

    const std::vector<double> channelWeights = weights(m_channels);
    m_state.resize(static_cast<std::size_t>(m_channels));
    for (std::size_t c = 0; c < m_state.size(); ++c) {
        m_state[c].weight = channelWeights[c];
        m_state[c].samples.assign(static_cast<std::size_t>(m_interpolator.history()) + std::size_t(kPiece), 0.0f);
    }
}

void LoudnessMeter::add(const char* data, std::size_t bytes)
{
    if (!usable() || bytes == 0)
        return;
    const std::size_t frameBytes = static_cast<std::size_t>(m_channels) * static_cast<std::size_t>(m_sampleBytes);
    if (!m_carry.empty()) {
        const std::size_t take = std::min(bytes, frameBytes - m_carry.size());
        m_carry.insert(m_carry.end(), data, data + take);
        data += take;
        bytes -= take;
        if (m_carry.size() < frameBytes)
            return;
        measure(m_carry.data(), 1);
        m_carry.clear();
    }
    while (bytes >= frameBytes) {
        const int frames = static_cast<int>(std::min<std::size_t>(bytes / frameBytes, kPiece));
        measure(data, frames);
        data += std::size_t(frames) * frameBytes;
        bytes -= std::size_t(frames) * frameBytes;
    }
    m_carry.assign(data, data + bytes);
}

void LoudnessMeter::measure(const char* data, int frames)
{
    toFloat(data, frames);
    peaks(frames);
    int done = 0;
    while (done < frames) {
        const int count = std::min(frames - done, m_subBlockFrames - m_framesInSubBlock);
        filter(done, count);
        done += count;
        m_framesInSubBlock += count;
        if (m_framesInSubBlock == m_subBlockFrames)
            endSubBlock();
    }
    // The newest samples become the history of the next piece.
    const int history = m_interpolator.history();
    for (ChannelState& channel : m_state)
        std::copy(channel.samples.begin() + frames, channel.samples.begin() + frames + history,
                  channel.samples.begin());
}

void LoudnessMeter::toFloat(const char* data, int frames)
{
    const std::size_t history = static_cast<std::size_t>(m_interpolator.history());
    for (int c = 0; c < m_channels; ++c) {
        float* out = m_state[std::size_t(c)].samples.data() + history;
        if (m_flags & BASS_SAMPLE_8BITS) {
            const auto* in = reinterpret_cast<const unsigned char*>(data) + c;
            for (int i = 0; i < frames; ++i)
                out[i] = (float(in[i * m_channels]) - 128.0f) / 128.0f;
        } else if (m_flags & BASS_SAMPLE_FLOAT) {
            for (int i = 0; i < frames; ++i) {
                float value;
                std::memcpy(&value, data + (std::size_t(i) * std::size_t(m_channels) + std::size_t(c)) * 4, 4);
                out[i] = std::isfinite(value) ? value : 0.0f; // a broken decoder must not poison the filters
            }
        } else {
            for (int i = 0; i < frames; ++i) {
                std::int16_t value;
                std::memcpy(&value, data + (std::size_t(i) * std::size_t(m_channels) + std::size_t(c)) * 2, 2);
                out[i] = float(value) / 32768.0f;
            }
        }
    }
}

void LoudnessMeter::peaks(int frames)
{
    const int history = m_interpolator.history();
    const float bound = m_interpolator.bound();
    for (ChannelState& channel : m_state) {
        const float* samples = channel.samples.data();
        for (int at = 0; at < frames; at += kPeakSpan) {
            const int count = std::min(kPeakSpan, frames - at);
            float loudest = 0;
            for (int i = 0; i < count; ++i)
                loudest = std::max(loudest, std::fabs(samples[history + at + i]));
            channel.peak = std::max(channel.peak, loudest);
            // The points between these samples are made of the history too.
            for (int i = 0; i < history; ++i)
                loudest = std::max(loudest, std::fabs(samples[at + i]));
            if (double(loudest * bound) > m_analysis.truePeak)
                m_analysis.truePeak =
                    std::max(m_analysis.truePeak, double(m_interpolator.maxPeak(samples + at, count)));
        }
        m_analysis.samplePeak = std::max(m_analysis.samplePeak, double(channel.peak));
    }
    m_analysis.truePeak = std::max(m_analysis.truePeak, m_analysis.samplePeak);
}

namespace {

//! One channel's K-weighting: the states of its two biquads and the sum of
//! its squared output.
struct KState {
    double* s;
    double* sum;
};

using Doubles2 = double __attribute__((vector_size(16)));

//! Runs `count` samples of each channel through the shelf and the high-pass
//! (transposed direct form, with the feedback of each stage taken from its
//! state, which keeps the chain from sample to sample short) and adds the
//! squares of the result to its sum. Two channels run side by side in one
//! pair of lanes.
template <int Channels>
void kWeight(const float* const* x, int count, const KState* state, const double* shelf, const double* highPass)
{
    Doubles2 s0, s1, s2, s3;
    for (int c = 0; c < 2; ++c) {
        const KState& from = state[c < Channels ? c : 0];
        s0[c] = from.s[0];
        s1[c] = from.s[1];
        s2[c] = from.s[2];
        s3[c] = from.s[3];
    }
    const float* second = x[Channels - 1];
    Doubles2 total = {0, 0};
    for (int i = 0; i < count; ++i) {
        const Doubles2 in = {x[0][i], second[i]};
        const Doubles2 y = shelf[0] * in + s0;
        const Doubles2 n0 = shelf[1] * in + s1 - shelf[3] * s0;
        s1 = shelf[2] * in - shelf[4] * s0;
        s0 = n0;
        const Doubles2 z = y + s2;
        const Doubles2 n2 = highPass[1] * y + s3 - highPass[3] * s2;
        s3 = highPass[2] * y - highPass[4] * s2;
        s2 = n2;
        total += z * z;
    }
    for (int c = 0; c < Channels; ++c) {
        state[c].s[0] = s0[c];
        state[c].s[1] = s1[c];
        state[c].s[2] = s2[c];
        state[c].s[3] = s3[c];
        *state[c].sum += total[c];
    }
}

} // namespace

void LoudnessMeter::filter(int from, int count)
{
    const double shelf[5] = {m_shelf.b0, m_shelf.c1, m_shelf.c2, m_shelf.a1, m_shelf.a2};
    const double highPass[5] = {m_highPass.b0, m_highPass.c1, m_highPass.c2, m_highPass.a1, m_highPass.a2};
    const std::size_t offset = static_cast<std::size_t>(m_interpolator.history()) + static_cast<std::size_t>(from);
    // The weighted channels, two at a time.
    const float* x[2];
    KState state[2];
    int pending = 0;
    for (ChannelState& channel : m_state) {
        if (channel.weight <= 0)
            continue;
        x[pending] = channel.samples.data() + offset;
        state[pending] = {channel.s, &channel.sum};
        if (++pending == 2) {
            kWeight<2>(x, count, state, shelf, highPass);
            pending = 0;
        }
    }
    if (pending == 1)
        kWeight<1>(x, count, state, shelf, highPass);
}

void LoudnessMeter::endSubBlock()
{
    double energy = 0;
    for (ChannelState& channel : m_state) {
        energy += channel.weight * channel.sum;
        channel.sum = 0;
        for (double& s : channel.s)
            if (std::fabs(s) < kTiny)
                s = 0;
    }
    if (m_subBlockCount >= 3) {
        const double block =
            (energy + m_subBlocks[0] + m_subBlocks[1] + m_subBlocks[2]) / (4.0 * double(m_subBlockFrames));
        if (block >= LoudnessAnalysis::energy(LoudnessAnalysis::kAbsoluteGate))
            m_analysis.blocks.push_back(static_cast<float>(block));
    }
    m_subBlocks[0] = m_subBlocks[1];
    m_subBlocks[1] = m_subBlocks[2];
    m_subBlocks[2] = energy;
    ++m_subBlockCount;
    m_framesInSubBlock = 0;
}

} // namespace loudness
