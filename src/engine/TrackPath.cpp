#include "engine/TrackPath.h"

#include "platform/Path.h"

#include <QFile>
#include <sys/stat.h>

namespace engine {

namespace {
constexpr int kMaxTrack = 99;
}

QString TrackPath::make(const QString& source, int track)
{
    return source + QStringLiteral("#%1").arg(track, 2, 10, QLatin1Char('0'));
}

std::optional<TrackPath> TrackPath::parse(const QString& path)
{
    const qsizetype hash = path.lastIndexOf(u'#');
    if (hash <= 0 || path.size() - hash != 3)
        return std::nullopt;
    const QChar tens = path.at(hash + 1);
    const QChar ones = path.at(hash + 2);
    if (tens < u'0' || tens > u'9' || ones < u'0' || ones > u'9')
        return std::nullopt;
    const int track = (tens.unicode() - u'0') * 10 + (ones.unicode() - u'0');
    const QString source = path.left(hash);
    if (track < 1 || track > kMaxTrack || !isDiscSource(source))
        return std::nullopt;
    return TrackPath{source, track};
}

bool isCueSheetPath(const QString& path)
{
    // A name, not just the extension.
    return path.endsWith(QLatin1String(".cue"), Qt::CaseInsensitive) && platform::Path(path).fileName().size() > 4;
}

bool isDevicePath(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && S_ISBLK(info.st_mode);
}

bool isDiscSource(const QString& path)
{
    return isCueSheetPath(path) || isDevicePath(path);
}

} // namespace engine
