#include "disc/CueSheet.h"

#include "platform/FileSystem.h"
#include "platform/Path.h"
#include "platform/TextEncoding.h"

#include <QDir>
#include <QStringList>
#include <optional>

namespace disc {

namespace {

using Kind = DiscProblem::Kind;

constexpr int kFramesPerSecond = 75;
constexpr int kMaxTrack = 99;
// A sheet is text of a few kilobytes; anything far larger is no sheet.
constexpr qint64 kMaxSheetBytes = 1 << 20;

//! One line split into its keyword and its fields (quoted or bare words,
//! separated by any blanks); `rest` is everything after the keyword, for
//! the values read by textValue().
struct Line {
    QString keyword;
    QStringList fields;
    QString rest;
};

qsizetype skipBlanks(const QString& text, qsizetype at)
{
    while (at < text.size() && text.at(at).isSpace())
        ++at;
    return at;
}

qsizetype skipWord(const QString& text, qsizetype at)
{
    while (at < text.size() && !text.at(at).isSpace())
        ++at;
    return at;
}

Line splitLine(const QString& text)
{
    Line line;
    qsizetype at = skipBlanks(text, 0);
    const qsizetype keywordEnd = skipWord(text, at);
    line.keyword = text.mid(at, keywordEnd - at).toUpper();
    line.rest = text.mid(keywordEnd).trimmed();
    at = keywordEnd;
    while ((at = skipBlanks(text, at)) < text.size()) {
        if (text.at(at) == u'"') {
            const qsizetype close = text.indexOf(u'"', at + 1);
            const qsizetype end = close < 0 ? text.size() : close;
            line.fields << text.mid(at + 1, end - at - 1);
            at = end + 1;
        } else {
            const qsizetype end = skipWord(text, at);
            line.fields << text.mid(at, end - at);
            at = end;
        }
    }
    return line;
}

//! A quoted value runs to the last double quote of the line (rippers write
//! `TITLE "So What (12" Version)"` unescaped); an unquoted one is the rest
//! of the line. `after` (when given) receives what follows the value.
QString quotedOrRest(const QString& rest, QString* after = nullptr)
{
    if (!rest.startsWith(u'"'))
        return rest;
    const qsizetype close = rest.lastIndexOf(u'"');
    if (after)
        *after = close > 0 ? rest.mid(close + 1).trimmed() : QString();
    return close > 0 ? rest.mid(1, close - 1) : rest.mid(1);
}

QString lastWord(const QString& text)
{
    const QString trimmed = text.trimmed();
    qsizetype from = trimmed.size();
    while (from > 0 && !trimmed.at(from - 1).isSpace())
        --from;
    return trimmed.mid(from);
}

//! A text field: the value after `skip` words of the rest of the line.
QString textValue(const Line& line, int skip = 0)
{
    qsizetype at = 0;
    for (int i = 0; i < skip; ++i)
        at = skipWord(line.rest, skipBlanks(line.rest, at));
    return quotedOrRest(line.rest.mid(at).trimmed()).trimmed();
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
        if (platform::isRegularFile(direct))
            return QDir::cleanPath(direct);
    }
    const QString base = platform::Path(name).fileName();
    if (base.isEmpty())
        return {};
    if (platform::isRegularFile(folder + u'/' + base))
        return folder + u'/' + base;
    const QStringList entries = platform::fileNamesIn(folder);
    QStringList sameName;
    for (const QString& entry : entries)
        if (entry.compare(base, Qt::CaseInsensitive) == 0)
            sameName << entry;
    if (sameName.size() == 1)
        return folder + u'/' + sameName.first();
    if (type != CueSheet::FileType::Audio)
        return {};
    const QString stem = platform::Path(base).stem();
    QStringList sameStem;
    for (const QString& entry : entries) {
        const platform::Path candidate(entry);
        if (candidate.stem().compare(stem, Qt::CaseInsensitive) == 0 &&
            audioSuffixes().contains(candidate.extension().toLower()))
            sameStem << entry;
    }
    return sameStem.size() == 1 ? folder + u'/' + sameStem.first() : QString();
}

//! Whether the track's index points and number follow those of `previous`,
//! the last track before it that has an index point.
bool goesForwards(const CueSheet::Track& previous, const CueSheet::Track& track)
{
    if (track.number <= previous.number)
        return false;
    const CueSheet::Index& before = previous.start.present() ? previous.start : previous.gap;
    const CueSheet::Index& start = track.start;
    if (start.present() && start.file == before.file && start.frame <= before.frame)
        return false;
    if (track.gap.present()) {
        if (start.present() && track.gap.file == start.file && track.gap.frame > start.frame)
            return false;
        if (track.gap.file == before.file && track.gap.frame < before.frame)
            return false;
    }
    return true;
}

//! The sheet's lines, whichever line ends it uses: CR LF (Windows), LF, or
//! CR alone (old Mac files).
QStringList splitLines(QString text)
{
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(u'\r', u'\n');
    return text.split(u'\n');
}

} // namespace

DiscProblem CueSheet::read(const QString& path, CueSheet& sheet)
{
    QByteArray bytes;
    if (QString why = platform::readRegularFile(path, kMaxSheetBytes, bytes); !why.isEmpty())
        return {Kind::Unreadable, path, 0, why};
    return parse(bytes, platform::Path(platform::absolutePath(path)).parent().toString(), sheet);
}

DiscProblem CueSheet::parse(const QByteArray& bytes, const QString& folder, CueSheet& sheet)
{
    sheet = CueSheet{};
    const QStringList lines = splitLines(decode(bytes));
    Track* track = nullptr;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const Line line = splitLine(lines.at(n));
        const int lineNumber = int(n + 1);
        const QString& key = line.keyword;
        if (key == QLatin1String("FILE")) {
            if (line.fields.isEmpty())
                return {Kind::Syntax, {}, lineNumber};
            // The name, quoted (to the line's last quote) or a bare word; the type last.
            File entry;
            QString after;
            if (line.rest.startsWith(u'"')) {
                entry.named = quotedOrRest(line.rest, &after);
            } else {
                entry.named = line.fields.first();
                after = line.fields.size() > 1 ? line.fields.last() : QString();
            }
            const QString type = lastWord(after).toUpper();
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

    // An audio track needs its INDEX 01; a data track is skipped, so one
    // that has only an INDEX 00 (or none) costs the audio tracks nothing.
    bool anyAudio = false;
    const Track* previous = nullptr;
    for (const Track& current : sheet.tracks) {
        if (current.audio && !current.start.present())
            return {Kind::Syntax, {}, current.line};
        if (!current.start.present() && !current.gap.present())
            continue;
        if (previous && !goesForwards(*previous, current))
            return {Kind::OutOfOrder, {}, current.number};
        previous = &current;
        anyAudio = anyAudio || current.audio;
    }
    if (!anyAudio)
        return {Kind::NoAudioTracks, {}, 0};
    // Only the files that hold audio must be there: a data track's own file
    // is often left out of a rip.
    for (const Track& current : sheet.tracks) {
        if (!current.audio)
            continue;
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

} // namespace disc
