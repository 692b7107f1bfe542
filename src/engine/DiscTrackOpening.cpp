#include "engine/DiscTrackOpening.h"

#include "engine/Bass.h"
#include "engine/CdTrackChannel.h"
#include "engine/DiscLayout.h"
#include "engine/JoinedChannel.h"
#include "engine/SegmentChannel.h"

namespace engine {

namespace {

std::shared_ptr<Channel> openSpan(const DiscTrackSpan& span, bool floatSamples, int& error)
{
    if (span.sectors())
        return CdTrackChannel::open(span, error);
    return SegmentChannel::open(span, floatSamples, error);
}

} // namespace

std::shared_ptr<Channel> OpenDiscTrack(const TrackPath& track, bool floatSamples, int& error)
{
    DiscLayout layout;
    const DiscProblem problem = DiscLayout::read(track.source, layout);
    const DiscTrackSpan* span = problem ? nullptr : layout.track(track.track);
    if (!span) {
        error = problem.kind == DiscProblem::Kind::Undecodable ? BASS_ERROR_FORMAT : BASS_ERROR_FILEOPEN;
        return nullptr;
    }
    if (span->tailFile.isEmpty())
        return openSpan(*span, floatSamples, error);

    // The gap at the head of the next file follows the track's own audio.
    DiscTrackSpan own = *span;
    own.tailFile.clear();
    DiscTrackSpan gap = own;
    gap.file = span->tailFile;
    gap.first = span->tailFirst;
    gap.end = span->tailEnd;
    std::shared_ptr<Channel> head = openSpan(own, floatSamples, error);
    if (!head)
        return nullptr;
    std::shared_ptr<Channel> tail = openSpan(gap, floatSamples, error);
    if (!tail)
        return nullptr;
    std::shared_ptr<Channel> joined = JoinedChannel::join(std::move(head), std::move(tail));
    error = joined ? BASS_OK : BASS_ERROR_FORMAT;
    return joined;
}

} // namespace engine
