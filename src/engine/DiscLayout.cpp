#include "engine/DiscLayout.h"

#include "engine/CdDisc.h"
#include "engine/FfmpegChannel.h"
#include "engine/TrackPath.h"

#include <QFile>
#include <QFileInfo>
#include <cdio/cdio.h>
#include <cdio/cdtext.h>
#include <map>

namespace engine {

namespace {

using Kind = DiscProblem::Kind;

constexpr int kCdFramesPerSecond = 75;
// The lead-out and lead-in between the audio session of a CD-Extra disc and
// its data session: sectors that belong to no track.
constexpr std::int64_t kSessionGapSectors = 11400;

//! What the engine knows of one audio file a sheet names.
struct AudioFileInfo {
    int rate = 0;
    std::int64_t frames = 0;
    std::int64_t size = 0;
};

bool measureAudioFile(const QString& path, AudioFileInfo& info)
{
    MediaRequest request;
    request.path = QFile::encodeName(path).toStdString();
    int error = 0;
    const auto channel = FfmpegChannel::open(request, false, error);
    if (!channel)
        return false;
    const BASS_CHANNELINFO format = channel->info();
    const int sampleBytes = (format.flags & BASS_SAMPLE_8BITS) ? 1 : 2;
    const std::int64_t block = std::int64_t(format.chans) * sampleBytes;
    if (format.freq == 0 || block == 0)
        return false;
    info.rate = int(format.freq);
    info.frames = channel->length() / block;
    info.size = QFileInfo(path).size();
    return true;
}

//! A time of the sheet (CD frames) as sample frames at `rate`.
std::int64_t samplesAt(std::int64_t cdFrames, int rate)
{
    return (cdFrames * rate + kCdFramesPerSecond / 2) / kCdFramesPerSecond;
}

QString firstOf(const QString& a, const QString& b)
{
    return a.isEmpty() ? b : a;
}

MediaTags sheetTags(const CueSheet& sheet, const CueSheet::Track& track)
{
    MediaTags tags;
    tags.title = track.title;
    tags.artist = firstOf(track.performer, sheet.performer);
    tags.album = sheet.title;
    tags.albumArtist = sheet.performer;
    tags.composer = firstOf(track.songwriter, sheet.songwriter);
    tags.date = firstOf(track.date, sheet.date);
    tags.genre = firstOf(track.genre, sheet.genre);
    tags.comment = sheet.comment;
    tags.track = QString::number(track.number) + u'/' + QString::number(sheet.tracks.back().number);
    if (!sheet.discNumber.isEmpty())
        tags.disc = sheet.totalDiscs.isEmpty() ? sheet.discNumber : sheet.discNumber + u'/' + sheet.totalDiscs;
    return tags;
}

DiscProblem readSheet(const QString& source, DiscLayout& layout)
{
    CueSheet sheet;
    if (DiscProblem problem = CueSheet::read(source, sheet))
        return problem;

    // What every file used by an audio track holds: sectors, or decoded frames.
    std::map<int, AudioFileInfo> files;
    for (const CueSheet::Track& track : sheet.tracks) {
        const int index = track.start.file;
        if (!track.audio || files.count(index))
            continue;
        const CueSheet::File& file = sheet.files[std::size_t(index)];
        AudioFileInfo info;
        if (file.type == CueSheet::FileType::Audio) {
            if (!measureAudioFile(file.path, info))
                return {Kind::Undecodable, file.named, track.number};
        } else {
            // MOTOROLA images hold big-endian samples: not read here.
            if (file.type == CueSheet::FileType::Motorola)
                return {Kind::Unsupported, file.named, track.number};
            for (const CueSheet::Track& other : sheet.tracks)
                if (other.start.file == index && !other.rawSectors)
                    return {Kind::Unsupported, file.named, other.number};
            info.rate = 44100;
            info.size = QFileInfo(file.path).size();
            info.frames = info.size / DiscTrackSpan::kSectorBytes; // in sectors
        }
        files.emplace(index, info);
    }

    for (std::size_t i = 0; i < sheet.tracks.size(); ++i) {
        const CueSheet::Track& track = sheet.tracks[i];
        if (!track.audio)
            continue;
        const CueSheet::File& file = sheet.files[std::size_t(track.start.file)];
        const AudioFileInfo& info = files.at(track.start.file);
        const bool raw = file.type != CueSheet::FileType::Audio;

        std::int64_t begin = track.start.frame;
        const bool previousInOtherFile = i > 0 && sheet.tracks[i - 1].start.file != track.start.file;
        if (previousInOtherFile && track.gap.present() && track.gap.file == track.start.file)
            begin = track.gap.frame;
        std::int64_t end = -1;
        if (i + 1 < sheet.tracks.size() && sheet.tracks[i + 1].start.file == track.start.file)
            end = sheet.tracks[i + 1].start.frame;

        DiscTrackSpan span;
        span.number = track.number;
        span.source = raw ? DiscTrackSpan::Source::ImageSectors : DiscTrackSpan::Source::FileSamples;
        span.file = file.path;
        span.rate = info.rate;
        span.first = raw ? begin : samplesAt(begin, info.rate);
        span.end = end < 0 ? info.frames : std::min(info.frames, raw ? end : samplesAt(end, info.rate));
        span.fileSize = info.size;
        span.fileFrames = info.frames;
        span.tags = sheetTags(sheet, track);
        if (span.first >= info.frames)
            return {Kind::PastEnd, file.named, track.number};
        layout.tracks.push_back(span);
    }
    return {};
}

QString cdText(const cdtext_t* text, cdtext_field_t field, track_t track)
{
    const char* value = text ? cdtext_get_const(text, field, track) : nullptr;
    return value ? QString::fromUtf8(value).trimmed() : QString();
}

DiscProblem readDrive(const QString& source, DiscLayout& layout)
{
    const auto disc = CdDisc::openDrive(source);
    if (!disc)
        return {Kind::Unreadable, source, 0};
    CdIo_t* cdio = disc->cdio();
    const track_t first = cdio_get_first_track_num(cdio);
    const track_t count = cdio_get_num_tracks(cdio);
    if (first == CDIO_INVALID_TRACK || count == CDIO_INVALID_TRACK || count == 0)
        return {Kind::Unreadable, source, 0};
    const track_t last = track_t(first + count - 1);
    cdtext_t* text = cdio_get_cdtext(cdio);
    for (track_t t = first; t <= last; ++t) {
        if (cdio_get_track_format(cdio, t) != TRACK_FORMAT_AUDIO)
            continue;
        const lsn_t start = cdio_get_track_lsn(cdio, t);
        lsn_t next =
            t < last ? cdio_get_track_lsn(cdio, track_t(t + 1)) : cdio_get_track_lsn(cdio, CDIO_CDROM_LEADOUT_TRACK);
        // The last audio track of a CD-Extra disc ends before the gap that
        // leads into the data session.
        if (t < last && cdio_get_track_format(cdio, track_t(t + 1)) != TRACK_FORMAT_AUDIO &&
            next - kSessionGapSectors > start)
            next = lsn_t(next - kSessionGapSectors);
        if (start == CDIO_INVALID_LSN || next == CDIO_INVALID_LSN || next <= start)
            continue;
        DiscTrackSpan span;
        span.number = t;
        span.source = DiscTrackSpan::Source::DriveSectors;
        span.file = source;
        span.first = start;
        span.end = next;
        span.tags.title = cdText(text, CDTEXT_FIELD_TITLE, t);
        span.tags.artist = firstOf(cdText(text, CDTEXT_FIELD_PERFORMER, t), cdText(text, CDTEXT_FIELD_PERFORMER, 0));
        span.tags.album = cdText(text, CDTEXT_FIELD_TITLE, 0);
        span.tags.albumArtist = cdText(text, CDTEXT_FIELD_PERFORMER, 0);
        span.tags.composer =
            firstOf(firstOf(cdText(text, CDTEXT_FIELD_COMPOSER, t), cdText(text, CDTEXT_FIELD_SONGWRITER, t)),
                    firstOf(cdText(text, CDTEXT_FIELD_COMPOSER, 0), cdText(text, CDTEXT_FIELD_SONGWRITER, 0)));
        span.tags.genre = firstOf(cdText(text, CDTEXT_FIELD_GENRE, t), cdText(text, CDTEXT_FIELD_GENRE, 0));
        span.tags.track = QString::number(t) + u'/' + QString::number(last);
        layout.tracks.push_back(span);
    }
    if (layout.tracks.empty())
        return {Kind::NoAudioTracks, source, 0};
    return {};
}

} // namespace

const DiscTrackSpan* DiscLayout::track(int number) const
{
    for (const DiscTrackSpan& span : tracks)
        if (span.number == number)
            return &span;
    return nullptr;
}

DiscProblem DiscLayout::read(const QString& source, DiscLayout& layout)
{
    layout = DiscLayout{};
    layout.source = source;
    if (isCueSheetPath(source))
        return readSheet(source, layout);
    if (isDevicePath(source))
        return readDrive(source, layout);
    return {Kind::Unreadable, source, 0};
}

} // namespace engine
