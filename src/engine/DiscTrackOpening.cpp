#include "engine/DiscTrackOpening.h"

#include "engine/Bass.h"
#include "engine/CdTrackChannel.h"
#include "engine/DiscLayout.h"
#include "engine/SegmentChannel.h"

namespace engine {

std::shared_ptr<Channel> OpenDiscTrack(const TrackPath& track, bool floatSamples, int& error)
{
    DiscLayout layout;
    const DiscProblem problem = DiscLayout::read(track.source, layout);
    const DiscTrackSpan* span = problem ? nullptr : layout.track(track.track);
    if (!span) {
        error = problem.kind == DiscProblem::Kind::Undecodable ? BASS_ERROR_FORMAT : BASS_ERROR_FILEOPEN;
        return nullptr;
    }
    if (span->sectors())
        return CdTrackChannel::open(*span, error);
    return SegmentChannel::open(*span, floatSamples, error);
}

} // namespace engine
