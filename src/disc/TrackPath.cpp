#include "disc/TrackPath.h"

#include "platform/FileName.h"
#include "platform/Path.h"

#include <sys/stat.h>

namespace disc {

namespace {
constexpr int kMaxTrack = 99;
}

QString TrackPath::make(const QString& source, int track)
{
    return source + QStringLiteral("#%1").arg(track, 2, 10, QLatin1Char('0'));
}

std::optional<TrackPath> TrackPath::parse(const QString& path)
{
    std::optional<TrackPath> track = split(path);
    if (track && !isDiscSource(track->source))
        return std::nullopt;
    return track;
}

std::optional<TrackPath> TrackPath::split(const QString& path)
{
    // One or two digits: "#3" names the same track as "#03".
    const qsizetype hash = path.lastIndexOf(u'#');
    const qsizetype digits = path.size() - hash - 1;
    if (hash <= 0 || digits < 1 || digits > 2)
        return std::nullopt;
    int track = 0;
    for (qsizetype i = hash + 1; i < path.size(); ++i) {
        const char16_t c = path.at(i).unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        track = track * 10 + (c - u'0');
    }
    if (track < 1 || track > kMaxTrack)
        return std::nullopt;
    return TrackPath{path.left(hash), track};
}

bool isCueSheetPath(const QString& path)
{
    // A name, not just the extension.
    return path.endsWith(QLatin1String(".cue"), Qt::CaseInsensitive) && platform::Path(path).fileName().size() > 4;
}

bool isDevicePath(const QString& path)
{
    struct stat info {};
    return ::stat(platform::nativeName(path).constData(), &info) == 0 && S_ISBLK(info.st_mode);
}

bool isDiscSource(const QString& path)
{
    return isCueSheetPath(path) || isDevicePath(path);
}

} // namespace disc
