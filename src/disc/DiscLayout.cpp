#include "disc/DiscLayout.h"

#include "disc/CdDisc.h"
#include "disc/TrackPath.h"
#include "engine/FfmpegChannel.h"
#include "platform/FileName.h"
#include "platform/FileSystem.h"

#include <cdio/cdio.h>
#include <cdio/cdtext.h>
#include <map>

namespace disc {

namespace {

using Kind = DiscProblem::Kind;

constexpr int kCdFramesPerSecond = 75;
// The lead-out and lead-in between the audio session of a CD-Extra disc and
// its data session: sectors that belong to no track.
constexpr std::int64_t kSessionGapSectors = 11400;

//! What the engine knows of one file a sheet's audio tracks use: its rate,
//! its channels and the bytes of a sample, its length in sample frames (in
//! sectors for an image) and its size.
struct AudioFileInfo {
    int rate = 0;
    int channels = 0;
    int sampleBytes = 0;
    std::int64_t frames = 0;
    std::int64_t size = 0;

    bool sameFormat(const AudioFileInfo& other) const
    {
        return rate == other.rate && channels == other.channels && sampleBytes == other.sampleBytes;
    }
};

bool measureAudioFile(const QString& path, AudioFileInfo& info)
{
    engine::MediaRequest request;
    request.path = platform::nativeName(path).toStdString();
    int error = 0;
    const auto channel = engine::FfmpegChannel::open(request, false, error);
    if (!channel)
        return false;
    const BASS_CHANNELINFO format = channel->info();
    const int sampleBytes = (format.flags & BASS_SAMPLE_8BITS) ? 1 : 2;
    const std::int64_t block = std::int64_t(format.chans) * sampleBytes;
    if (format.freq == 0 || block == 0)
        return false;
    info.rate = int(format.freq);
    info.channels = int(format.chans);
    info.sampleBytes = sampleBytes;
    info.frames = channel->length() / block;
    info.size = platform::fileSize(path);
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

engine::MediaTags sheetTags(const CueSheet& sheet, const CueSheet::Track& track, int lastAudio)
{
    engine::MediaTags tags;
    tags.title = track.title;
    tags.artist = firstOf(track.performer, sheet.performer);
    tags.album = sheet.title;
    tags.albumArtist = sheet.performer;
    tags.composer = firstOf(track.songwriter, sheet.songwriter);
    tags.date = firstOf(track.date, sheet.date);
    tags.genre = firstOf(track.genre, sheet.genre);
    tags.comment = sheet.comment;
    tags.track = QString::number(track.number) + u'/' + QString::number(lastAudio);
    if (!sheet.discNumber.isEmpty())
        tags.disc = sheet.totalDiscs.isEmpty() ? sheet.discNumber : sheet.discNumber + u'/' + sheet.totalDiscs;
    return tags;
}

//! Measures every file the audio tracks use: decoded frames of an audio
//! file, 2352-byte sectors of an image.
DiscProblem measureFiles(const CueSheet& sheet, std::map<int, AudioFileInfo>& files)
{
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
            info.rate = 44100;
            info.channels = 2;
            info.sampleBytes = 2;
            info.size = platform::fileSize(file.path);
            info.frames = info.size / DiscTrackSpan::kSectorBytes; // in sectors
        }
        files.emplace(index, info);
    }
    // Sectors are counted as 2352 bytes each: a data track of other sectors
    // before an audio track of the same image would move its audio.
    for (std::size_t a = 0; a < sheet.tracks.size(); ++a) {
        const CueSheet::Track& audio = sheet.tracks[a];
        if (!audio.audio || sheet.files[std::size_t(audio.start.file)].type == CueSheet::FileType::Audio)
            continue;
        for (std::size_t d = 0; d < a; ++d) {
            const CueSheet::Track& data = sheet.tracks[d];
            if (!data.rawSectors && data.first().present() && data.first().file == audio.start.file)
                return {Kind::Unsupported, sheet.files[std::size_t(audio.start.file)].named, data.number};
        }
    }
    return {};
}

//! The track after `i` that has an index point; null when none.
const CueSheet::Track* nextWithIndex(const CueSheet& sheet, std::size_t i)
{
    for (std::size_t j = i + 1; j < sheet.tracks.size(); ++j)
        if (sheet.tracks[j].first().present())
            return &sheet.tracks[j];
    return nullptr;
}

DiscProblem readSheet(const QString& source, DiscLayout& layout)
{
    CueSheet sheet;
    if (DiscProblem problem = CueSheet::read(source, sheet))
        return problem;
    std::map<int, AudioFileInfo> files;
    if (DiscProblem problem = measureFiles(sheet, files))
        return problem;
    int lastAudio = 0;
    for (const CueSheet::Track& track : sheet.tracks)
        lastAudio = track.audio ? track.number : lastAudio;

    // A gap at the head of a file ends the audio track before it, as a gap
    // inside a file does. Where that track's audio differs in format, the
    // gap begins its own track instead, so nothing is lost either way.
    std::vector<bool> beginsAtGap(sheet.tracks.size(), false);
    for (std::size_t i = 0; i < sheet.tracks.size(); ++i) {
        const CueSheet::Track& track = sheet.tracks[i];
        if (!track.audio)
            continue;
        const CueSheet::File& file = sheet.files[std::size_t(track.start.file)];
        const AudioFileInfo& info = files.at(track.start.file);
        const bool raw = file.type != CueSheet::FileType::Audio;
        const auto toFrames = [raw](std::int64_t cdFrames, int rate) {
            return raw ? cdFrames : samplesAt(cdFrames, rate);
        };

        // The next track's first index ends this one; for an audio track
        // its INDEX 01, the gap before it belonging to this one.
        const CueSheet::Track* next = nextWithIndex(sheet, i);
        const CueSheet::Index* ending = next ? (next->audio ? &next->start : &next->first()) : nullptr;
        std::int64_t end = info.frames;
        if (ending && ending->file == track.start.file)
            end = std::min(info.frames, toFrames(ending->frame, info.rate));

        DiscTrackSpan span;
        span.number = track.number;
        span.source = raw ? DiscTrackSpan::Source::ImageSectors : DiscTrackSpan::Source::FileSamples;
        span.file = file.path;
        span.rate = info.rate;
        span.first = toFrames(beginsAtGap[i] ? track.gap.frame : track.start.frame, info.rate);
        span.end = end;
        span.fileSize = info.size;
        span.fileFrames = info.frames;
        span.tags = sheetTags(sheet, track, lastAudio);
        if (span.first >= info.frames)
            return {Kind::PastEnd, file.named, track.number};

        const bool gapAtHeadOfNextFile = next && next->audio && next->gap.present() &&
                                         next->gap.file == next->start.file && next->start.file != track.start.file;
        if (gapAtHeadOfNextFile) {
            const AudioFileInfo& nextInfo = files.at(next->start.file);
            const bool nextRaw = sheet.files[std::size_t(next->start.file)].type != CueSheet::FileType::Audio;
            const std::int64_t gapFirst = std::min(nextInfo.frames, toFrames(next->gap.frame, nextInfo.rate));
            const std::int64_t gapEnd = std::min(nextInfo.frames, toFrames(next->start.frame, nextInfo.rate));
            if (gapEnd <= gapFirst) {
                // No gap at all: nothing to hand on.
            } else if (nextRaw == raw && nextInfo.sameFormat(info)) {
                span.tailFile = sheet.files[std::size_t(next->start.file)].path;
                span.tailFirst = gapFirst;
                span.tailEnd = gapEnd;
            } else {
                beginsAtGap[std::size_t(next - sheet.tracks.data())] = true;
            }
        }
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

} // namespace disc
