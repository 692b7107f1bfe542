#include "disc/DiscTrackOpening.h"

#include "disc/CdTrackChannel.h"
#include "disc/DiscLayout.h"
#include "disc/JoinedChannel.h"
#include "disc/SegmentChannel.h"
#include "engine/Bass.h"
#include "engine/PathOpener.h"

namespace disc {

namespace {

std::shared_ptr<engine::Channel> openSpan(const DiscTrackSpan& span, bool floatSamples, int& error)
{
    if (span.sectors())
        return CdTrackChannel::open(span, error);
    return SegmentChannel::open(span, floatSamples, error);
}

std::optional<std::shared_ptr<engine::Channel>> openTrackPath(const QString& path, bool floatSamples, int& error)
{
    const std::optional<TrackPath> track = TrackPath::parse(path);
    if (!track)
        return std::nullopt;
    return OpenDiscTrack(*track, floatSamples, error);
}

} // namespace

void InstallTrackOpener()
{
    engine::setPathOpener(&openTrackPath);
}

std::shared_ptr<engine::Channel> OpenDiscTrack(const TrackPath& track, bool floatSamples, int& error)
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
    std::shared_ptr<engine::Channel> head = openSpan(own, floatSamples, error);
    if (!head)
        return nullptr;
    std::shared_ptr<engine::Channel> tail = openSpan(gap, floatSamples, error);
    if (!tail)
        return nullptr;
    std::shared_ptr<engine::Channel> joined = JoinedChannel::join(std::move(head), std::move(tail));
    error = joined ? BASS_OK : BASS_ERROR_FORMAT;
    return joined;
}

} // namespace disc
