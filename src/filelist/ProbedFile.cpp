#include "filelist/ProbedFile.h"

#include "disc/DiscTracks.h"
#include "disc/TrackPath.h"
#include "engine/AudioEngine.h"
#include "engine/ChannelHandle.h"
#include "filelist/DiscProblemText.h"
#include "filelist/FileAdmissionRules.h"
#include "filelist/FileList.h"
#include "platform/FileName.h"
#include "platform/FileSystem.h"
#include "platform/SystemError.h"

#include <cerrno>
#include <sys/stat.h>

namespace filelist {

namespace {

AdmissionFailure systemFailure(int number)
{
    return {number, platform::systemErrorText(number)};
}

// The file's size, or why it cannot be admitted. A CD track needs no size, and
// one that is missing is left to the engine (which marks it unopenable).
AdmissionFailure inspectFile(const QString& path, bool cdTrack, qint64& size)
{
    const QByteArray native = platform::nativeName(path);
    if (native.size() > FileList::kMaxPathBytes)
        return systemFailure(ENAMETOOLONG);
    struct stat info {};
    if (::stat(native.constData(), &info) != 0) {
        if (cdTrack)
            return {};
        return systemFailure(errno);
    }
    if (S_ISDIR(info.st_mode))
        return systemFailure(EISDIR);
    // Pipes, sockets and devices would block or never end when decoded.
    if (!S_ISREG(info.st_mode))
        return AdmissionFailure{EINVAL, QStringLiteral("Not a regular file")};
    size = qint64(info.st_size);
    return {};
}

double channelLengthSeconds(DWORD handle)
{
    const QWORD length = BASS_ChannelGetLength(handle, BASS_POS_BYTE);
    if (length == QWORD(-1))
        return 0;
    // Lengths past 4 GiB of decoded data (hours of audio) do not fit the
    // 32-bit position of ChannelSeconds.
    if (length > 0xFFFFFFFFu)
        return BASS_ChannelBytes2Seconds(handle, length);
    return engine::ChannelSeconds(handle, DWORD(length));
}

} // namespace

std::optional<double> PlayingTime(const QString& path)
{
    const engine::ChannelHandle handle =
        engine::ChannelHandle::open(path, BASS_SAMPLE_FX | BASS_SAMPLE_LOOP, BASS_MUSIC_RAMP | BASS_MUSIC_LOOP);
    if (!handle)
        return std::nullopt;
    return channelLengthSeconds(handle.get());
}

namespace {

//! The tracks of a disc source, or (`onlyTrack` not 0) the one track `path` names.
ProbedFile probeDisc(const QString& path, const QString& source, int onlyTrack = 0)
{
    ProbedFile probed;
    probed.path = path;
    probed.admittedExtension = true;
    probed.discSource = true;
    std::vector<disc::DiscTrackEntry> entries;
    if (const disc::DiscProblem problem = disc::ListDiscTracks(source, entries)) {
        probed.failure = DiscProblemFailure(problem, source);
        return probed;
    }
    for (const disc::DiscTrackEntry& entry : entries) {
        if (onlyTrack != 0 && entry.number != onlyTrack)
            continue;
        ProbedFile track;
        track.path = entry.path;
        track.admittedExtension = true;
        track.cdTrack = entry.cdTrack;
        track.size = entry.shareBytes;
        track.opened = true;
        track.seconds = entry.seconds;
        probed.tracks.push_back(track);
    }
    if (probed.tracks.empty())
        probed.failure = DiscProblemFailure({disc::DiscProblem::Kind::NoSuchTrack, {}, onlyTrack}, source);
    return probed;
}

} // namespace

ProbedFile ProbeFile(const QString& path)
{
    const QString normalised = NormaliseAdmissionPath(path);
    if (disc::isDiscSource(normalised))
        return probeDisc(normalised, normalised);
    if (const std::optional<disc::TrackPath> track = disc::TrackPath::parse(normalised))
        return probeDisc(normalised, track->source, track->track);

    ProbedFile probed;
    probed.path = normalised;
    probed.admittedExtension = HasAdmittedExtension(probed.path);
    if (!probed.admittedExtension) {
        // A path that is not there is missing, whatever its name says.
        if (!platform::pathTaken(probed.path))
            probed.failure = inspectFile(probed.path, false, probed.size);
        return probed;
    }
    probed.cdTrack = IsCdTrackPath(probed.path);
    probed.failure = inspectFile(probed.path, probed.cdTrack, probed.size);
    if (probed.failure.number != 0)
        return probed;
    const std::optional<double> seconds = PlayingTime(probed.path);
    probed.opened = seconds.has_value();
    probed.seconds = seconds.value_or(0);
    if (!probed.opened)
        probed.openFailure = engine::BassErrorText(BASS_ErrorGetCode()); // this thread's last error
    return probed;
}

} // namespace filelist
