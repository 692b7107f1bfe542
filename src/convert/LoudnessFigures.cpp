#include "convert/LoudnessFigures.h"

#include <algorithm>
#include <cmath>

namespace convert {

bool LoudnessFigures::measurable() const
{
    return std::isfinite(integrated);
}

double LoudnessFigures::truePeakDb() const
{
    return engine::LoudnessAnalysis::decibels(truePeak);
}

LoudnessFigures LoudnessFigures::of(const engine::LoudnessAnalysis& analysis)
{
    const engine::LoudnessAnalysis* one = &analysis;
    return of(std::span<const engine::LoudnessAnalysis* const>(&one, 1));
}

LoudnessFigures LoudnessFigures::of(std::span<const engine::LoudnessAnalysis* const> tracks)
{
    LoudnessFigures figures;
    figures.integrated = engine::LoudnessAnalysis::integrated(tracks);
    for (const engine::LoudnessAnalysis* track : tracks) {
        figures.truePeak = std::max(figures.truePeak, track->truePeak);
        figures.samplePeak = std::max(figures.samplePeak, track->samplePeak);
    }
    return figures;
}

} // namespace convert
