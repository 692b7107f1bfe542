#include "loudness/LoudnessAnalysis.h"

#include <cmath>
#include <limits>

namespace loudness {

namespace {

constexpr double kOffset = -0.691;      // LUFS of a block energy of 1, from the K-filter's gain at 1 kHz
constexpr double kRelativeGate = -10.0; // LU below the loudness of the blocks above the absolute gate

} // namespace

double LoudnessAnalysis::lufs(double energy)
{
    return energy > 0 ? 10.0 * std::log10(energy) + kOffset : -std::numeric_limits<double>::infinity();
}

double LoudnessAnalysis::energy(double lufs)
{
    return std::pow(10.0, (lufs - kOffset) / 10.0);
}

double LoudnessAnalysis::decibels(double peak)
{
    return peak > 0 ? 20.0 * std::log10(peak) : -std::numeric_limits<double>::infinity();
}

double LoudnessAnalysis::integrated() const
{
    const LoudnessAnalysis* self = this;
    return integrated(std::span<const LoudnessAnalysis* const>(&self, 1));
}

double LoudnessAnalysis::integrated(std::span<const LoudnessAnalysis* const> parts)
{
    // Blocks are stored only when they pass the absolute gate; the test is
    // repeated here for analyses that come from elsewhere (a stored one).
    const double absolute = energy(kAbsoluteGate);
    double sum = 0;
    std::size_t count = 0;
    for (const LoudnessAnalysis* part : parts)
        for (const float block : part->blocks)
            if (block >= absolute) {
                sum += block;
                ++count;
            }
    if (count == 0)
        return -std::numeric_limits<double>::infinity();
    const double relative = sum / double(count) * std::pow(10.0, kRelativeGate / 10.0);
    double gated = 0;
    std::size_t gatedCount = 0;
    for (const LoudnessAnalysis* part : parts)
        for (const float block : part->blocks)
            if (block >= absolute && block >= relative) {
                gated += block;
                ++gatedCount;
            }
    return gatedCount == 0 ? -std::numeric_limits<double>::infinity() : lufs(gated / double(gatedCount));
}

} // namespace loudness
