#include "engine/CueSheet.h"

#include "platform/Path.h"
#include "platform/RegularFile.h"
#include "platform/TextEncoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

namespace engine {

namespace {

using Kind = DiscProblem::Kind;

constexpr int kFramesPerSecond = 75;
constexpr int kMaxTrack = 99;
// A sheet is text of a few kilobytes; anything far larger is no sheet.
constexpr qint64 kMaxSheetBytes = 1 << 20;

//! One line split into its keyword and its fields (quoted or bare words);
//! `rest` is everything after the keyword, for text left unquoted.
struct Line {
    QString keyword;
    QStringList fields;
    QString rest;
};

Line splitLine(const QString& text)
{
    Line line;
    qsizetype at = 0;
    const qsizetype size = text.size();
    bool first = true;
    while (at < size) {
        while (at < size && text.at(at).isSpace())
            ++at;
        if (at >= size)
            break;
        QString field;
        if (text.at(at) == u'"') {
            const qsizetype close = text.indexOf(u'"', at + 1);
            const qsizetype end = close < 0 ? size : close;
            field = text.mid(at + 1, end - at - 1);
            at = end + 1;
        } else {
            const qsizetype start = at;
            while (at < size && !text.at(at).isSpace())
                ++at;
            field = text.mid(start, at - start);
        }
        if (first) {
            line.keyword = field.toUpper();
            line.rest = text.mid(at).trimmed();
            first = false;
        } else {
            line.fields << field;
        }
    }
    return line;
}

//! A text field: the quoted value, or the whole unquoted rest of the line.
QString textValue(const Line& line, qsizetype skip = 0)
{
    QString rest = line.rest;
    for (qsizetype i = 0; i < skip; ++i) {
        rest = rest.trimmed();
        const qsizetype space = rest.indexOf(u' ');
        rest = space < 0 ? QString() : rest.mid(space + 1);
    }
    rest = rest.trimmed();
    if (rest.startsWith(u'"')) {
        const qsizetype close = rest.indexOf(u'"', 1);
        return (close < 0 ? rest.mid(1) : rest.mid(1, close - 1)).trimmed();
    }
    return rest;
}

//! "MM:SS:FF" as CD frames; -1 when malformed.
std::int64_t frames(const QString& time)
{
    const QStringList parts = time.split(u':');
    if (parts.size() != 3)
        return -1;
    bool ok[3] = {};
    const qint64 minutes = parts.at(0).toLongLong(&ok[0]);
    const int seconds = parts.at(1).toInt(&ok[1]);
    const int frame = parts.at(2).toInt(&ok[2]);
    if (!ok[0] || !ok[1] || !ok[2] || minutes < 0 || minutes > 100000 || seconds < 0 || seconds >= 60 || frame < 0 ||
        frame >= kFramesPerSecond)
        return -1;
    return (minutes * 60 + seconds) * kFramesPerSecond + frame;
}

QString decode(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    if (platform::isValidUtf8(bytes))
        return QString::fromUtf8(bytes);
    return platform::fromWindows1252(bytes);
}

bool isRegularFile(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

const QStringList& audioSuffixes()
{
    static const QStringList suffixes = {
        QStringLiteral("flac"), QStringLiteral("wav"),  QStringLiteral("ape"), QStringLiteral("wv"),
        QStringLiteral("tta"),  QStringLiteral("m4a"),  QStringLiteral("mp3"), QStringLiteral("ogg"),
        QStringLiteral("opus"), QStringLiteral("aiff"), QStringLiteral("aif"), QStringLiteral("wma"),
        QStringLiteral("mpc"),
    };
    return suffixes;
}

//! The file the sheet names, looked for as the sheet's documentation says.
QString findFile(const QString& folder, const QString& named, CueSheet::FileType type)
{
    QString name = named;
    name.replace(u'\\', u'/');
    const bool windowsAbsolute = name.size() > 2 && name.at(1) == u':' && name.at(2) == u'/';
    if (!windowsAbsolute && !name.isEmpty()) {
        const QString direct = name.startsWith(u'/') ? name : folder + u'/' + name;
        if (isRegularFile(direct))
            return QDir::cleanPath(direct);
    }
    const QString base = platform::Path(name).fileName();
    if (base.isEmpty())
        return {};
    if (isRegularFile(folder + u'/' + base))
        return folder + u'/' + base;
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden);
    QStringList sameName;
    for (const QString& entry : entries)
        if (entry.compare(base, Qt::CaseInsensitive) == 0)
            sameName << entry;
    if (sameName.size() == 1)
        return folder + u'/' + sameName.first();
    if (type != CueSheet::FileType::Audio)
        return {};
    const QString stem = QFileInfo(base).completeBaseName();
    QStringList sameStem;
    for (const QString& entry : entries) {
        const QFileInfo info(entry);
        if (info.completeBaseName().compare(stem, Qt::CaseInsensitive) == 0 &&
            audioSuffixes().contains(info.suffix().toLower()))
            sameStem << entry;
    }
    return sameStem.size() == 1 ? folder + u'/' + sameStem.first() : QString();
}

//! Whether the track's index points and number follow the previous track's.
bool goesForwards(const CueSheet::Track& previous, const CueSheet::Track& track)
{
    if (track.number <= previous.number)
        return false;
    const CueSheet::Index& start = track.start;
    if (start.file == previous.start.file && start.frame <= previous.start.frame)
        return false;
    if (track.gap.present()) {
        if (track.gap.file == start.file && track.gap.frame > start.frame)
            return false;
        if (track.gap.file == previous.start.file && track.gap.frame < previous.start.frame)
            return false;
    }
    return true;
}

} // namespace

DiscProblem CueSheet::read(const QString& path, CueSheet& sheet)
{
    QByteArray bytes;
    if (QString why = platform::readRegularFile(path, kMaxSheetBytes, bytes); !why.isEmpty())
        return {Kind::Unreadable, path, 0, why};
    return parse(bytes, QFileInfo(path).absolutePath(), sheet);
}

DiscProblem CueSheet::parse(const QByteArray& bytes, const QString& folder, CueSheet& sheet)
{
    sheet = CueSheet{};
    const QStringList lines = decode(bytes).split(u'\n');
    Track* track = nullptr;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const Line line = splitLine(lines.at(n));
        const int lineNumber = int(n + 1);
        const QString& key = line.keyword;
        if (key == QLatin1String("FILE")) {
            if (line.fields.isEmpty())
                return {Kind::Syntax, {}, lineNumber};
            File entry;
            entry.named = line.fields.first();
            const QString type = line.fields.size() > 1 ? line.fields.last().toUpper() : QString();
            entry.type = type == QLatin1String("BINARY")     ? FileType::Binary
                         : type == QLatin1String("MOTOROLA") ? FileType::Motorola
                                                             : FileType::Audio;
            sheet.files.push_back(entry);
        } else if (key == QLatin1String("TRACK")) {
            bool ok = false;
            const int number = line.fields.isEmpty() ? 0 : line.fields.first().toInt(&ok);
            if (sheet.files.empty() || !ok || number < 1 || number > kMaxTrack)
                return {Kind::Syntax, {}, lineNumber};
            const QString mode = line.fields.size() > 1 ? line.fields.at(1).toUpper() : QString();
            Track next;
            next.number = number;
            next.line = lineNumber;
            next.audio = mode == QLatin1String("AUDIO");
            next.rawSectors = next.audio || mode.endsWith(QLatin1String("/2352"));
            sheet.tracks.push_back(next);
            track = &sheet.tracks.back();
        } else if (key == QLatin1String("INDEX")) {
            bool ok = false;
            const int number = line.fields.isEmpty() ? -1 : line.fields.first().toInt(&ok);
            const std::int64_t at = line.fields.size() > 1 ? frames(line.fields.at(1)) : -1;
            if (!track || !ok || number < 0 || at < 0)
                return {Kind::Syntax, {}, lineNumber};
            const Index index{int(sheet.files.size()) - 1, at};
            if (number == 0)
                track->gap = index;
            else if (number == 1)
                track->start = index;
        } else if (key == QLatin1String("TITLE")) {
            (track ? track->title : sheet.title) = textValue(line);
        } else if (key == QLatin1String("PERFORMER")) {
            (track ? track->performer : sheet.performer) = textValue(line);
        } else if (key == QLatin1String("SONGWRITER")) {
            (track ? track->songwriter : sheet.songwriter) = textValue(line);
        } else if (key == QLatin1String("REM") && !line.fields.isEmpty()) {
            const QString what = line.fields.first().toUpper();
            const QString value = textValue(line, 1);
            if (what == QLatin1String("DATE"))
                (track ? track->date : sheet.date) = value;
            else if (what == QLatin1String("GENRE"))
                (track ? track->genre : sheet.genre) = value;
            else if (what == QLatin1String("COMMENT") && !track)
                sheet.comment = value;
            else if (what == QLatin1String("DISCNUMBER") && !track)
                sheet.discNumber = value;
            else if (what == QLatin1String("TOTALDISCS") && !track)
                sheet.totalDiscs = value;
        }
        // PREGAP and POSTGAP stand for silence that is not in the file;
        // ISRC, CATALOG, FLAGS and anything unknown say nothing about the audio.
    }

    bool anyAudio = false;
    for (std::size_t i = 0; i < sheet.tracks.size(); ++i) {
        const Track& current = sheet.tracks[i];
        if (!current.start.present())
            return {Kind::Syntax, {}, current.line};
        if (i > 0 && !goesForwards(sheet.tracks[i - 1], current))
            return {Kind::OutOfOrder, {}, current.number};
        anyAudio = anyAudio || current.audio;
    }
    if (!anyAudio)
        return {Kind::NoAudioTracks, {}, 0};
    for (const Track& current : sheet.tracks) {
        for (const Index* index : {&current.start, &current.gap}) {
            if (!index->present())
                continue;
            File& used = sheet.files[std::size_t(index->file)];
            if (used.path.isEmpty())
                used.path = findFile(folder, used.named, used.type);
            if (used.path.isEmpty())
                return {Kind::MissingFile, used.named, current.number};
        }
    }
    return {};
}

} // namespace engine
