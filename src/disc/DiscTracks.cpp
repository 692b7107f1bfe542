#include "disc/DiscTracks.h"

#include "disc/CdDisc.h"
#include "disc/DiscLayout.h"
#include "disc/TrackPath.h"
#include "platform/FileName.h"

#include <cdio/cdio.h>
#include <cdio/cdtext.h>
#include <cmath>

namespace disc {

DiscProblem ListDiscTracks(const QString& source, std::vector<DiscTrackEntry>& tracks)
{
    tracks.clear();
    DiscLayout layout;
    if (DiscProblem problem = DiscLayout::read(source, layout))
        return problem;
    for (const DiscTrackSpan& span : layout.tracks) {
        DiscTrackEntry entry;
        entry.path = TrackPath::make(source, span.number);
        entry.number = span.number;
        entry.seconds = span.seconds();
        entry.cdTrack = span.sectors();
        if (!entry.cdTrack && span.fileFrames > 0)
            entry.shareBytes = std::llround(double(span.fileSize) * double(span.frames()) / double(span.fileFrames));
        tracks.push_back(entry);
    }
    return {};
}

engine::MediaTags DiscTrackTags(const QString& path)
{
    const std::optional<TrackPath> track = TrackPath::parse(path);
    if (!track)
        return {};
    DiscLayout layout;
    if (DiscLayout::read(track->source, layout))
        return {};
    const DiscTrackSpan* span = layout.track(track->track);
    return span ? span->tags : engine::MediaTags{};
}

std::vector<AudioDiscDrive> AudioDiscDrives()
{
    CdDisc::quietLibrary();
    std::vector<AudioDiscDrive> drives;
    char** devices = cdio_get_devices(DRIVER_DEVICE);
    if (!devices)
        return drives;
    for (char** device = devices; *device; ++device) {
        const QString name = platform::fromNativeName(QByteArray(*device));
        const auto disc = CdDisc::openDrive(name);
        if (!disc)
            continue;
        CdIo_t* cdio = disc->cdio();
        const track_t first = cdio_get_first_track_num(cdio);
        const track_t count = cdio_get_num_tracks(cdio);
        if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK)
            continue;
        int audio = 0;
        for (track_t t = first; t < first + count; ++t)
            audio += cdio_get_track_format(cdio, t) == TRACK_FORMAT_AUDIO ? 1 : 0;
        if (audio == 0)
            continue;
        const cdtext_t* text = cdio_get_cdtext(cdio);
        const char* title = text ? cdtext_get_const(text, CDTEXT_FIELD_TITLE, 0) : nullptr;
        drives.push_back({name, audio, title ? QString::fromUtf8(title).trimmed() : QString()});
    }
    cdio_free_device_list(devices);
    return drives;
}

} // namespace disc
