#include "loudness/LoudnessFigures.h"

#include <algorithm>
#include <cmath>

namespace loudness {

bool LoudnessFigures::measurable() const
{
    return std::isfinite(integrated);
}

double LoudnessFigures::truePeakDb() const
{
    return LoudnessAnalysis::decibels(truePeak);
}

LoudnessFigures LoudnessFigures::of(const LoudnessAnalysis& analysis)
{
    const LoudnessAnalysis* one = &analysis;
    return of(std::span<const LoudnessAnalysis* const>(&one, 1));
}

LoudnessFigures LoudnessFigures::of(std::span<const LoudnessAnalysis* const> tracks)
{
    LoudnessFigures figures;
    figures.integrated = LoudnessAnalysis::integrated(tracks);
    for (const LoudnessAnalysis* track : tracks) {
        figures.truePeak = std::max(figures.truePeak, track->truePeak);
        figures.samplePeak = std::max(figures.samplePeak, track->samplePeak);
    }
    return figures;
}

} // namespace loudness
