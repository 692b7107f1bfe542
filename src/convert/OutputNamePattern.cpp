#include "convert/OutputNamePattern.h"

#include "lang/StringLookup.h"

#include <algorithm>

namespace convert {

namespace {

enum Field { Artist, Album, AlbumArtist, Title, Track, Disc, Year, Date, Genre, Composer };

constexpr int kMaxWidth = 9;
constexpr char16_t kReplacement = u'_';

QString tagText(const engine::MediaTags& tags, int field)
{
    switch (field) {
    case Artist:
        return tags.artist;
    case Album:
        return tags.album;
    case AlbumArtist:
        return tags.albumArtist;
    case Title:
        return tags.title;
    case Track:
    case Disc: {
        // "3/12" is track 3 of 12: the name wants the 3.
        const QString& text = field == Track ? tags.track : tags.disc;
        const qsizetype slash = text.indexOf(u'/');
        return (slash < 0 ? text : text.left(slash)).trimmed();
    }
    case Year: {
        const QString date = tags.date.trimmed();
        bool digits = date.size() >= 4;
        for (qsizetype i = 0; i < 4 && digits; ++i)
            digits = date.at(i).isDigit();
        return digits ? date.left(4) : date;
    }
    case Date:
        return tags.date;
    case Genre:
        return tags.genre;
    case Composer:
        return tags.composer;
    default:
        return {};
    }
}

bool isNumber(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

bool unfit(char32_t c)
{
    return c < 0x20 || c == 0x7F || (c >= 0x80 && c < 0xA0) || c == u'/' || c == u'\\';
}

// A tag's text inside a part: what cannot be in a name replaced; its
// leading dots matter only at the start of the part.
QString withoutUnfit(const QString& text)
{
    QString clean = text;
    for (QChar& c : clean)
        if (!c.isSurrogate() && unfit(c.unicode()))
            c = QChar(kReplacement);
    return clean;
}

} // namespace

QString SanitizedNamePart(const QString& text, int maxBytes)
{
    QString clean;
    clean.reserve(text.size());
    bool leading = true;
    int bytes = 0;
    for (qsizetype i = 0; i < text.size();) {
        const char32_t c = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()
                               ? QChar::surrogateToUcs4(text.at(i), text.at(i + 1))
                               : char32_t(text.at(i).unicode());
        const qsizetype units = c > 0xFFFF ? 2 : 1;
        // Leading dots would hide the file or name "." and "..".
        const bool replace = unfit(c) || (leading && c == u'.');
        leading = leading && c == u'.';
        const int size = replace ? 1 : c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
        if (bytes + size > maxBytes)
            break;
        bytes += size;
        if (replace)
            clean += QChar(kReplacement);
        else
            clean += text.mid(i, units);
        i += units;
    }
    return clean;
}

const QStringList& OutputNamePattern::fieldNames()
{
    // By the Field enum.
    static const QStringList names = {
        QStringLiteral("artist"), QStringLiteral("album"),    QStringLiteral("albumartist"), QStringLiteral("title"),
        QStringLiteral("track"),  QStringLiteral("disc"),     QStringLiteral("year"),        QStringLiteral("date"),
        QStringLiteral("genre"),  QStringLiteral("composer"),
    };
    return names;
}

OutputNamePattern::OutputNamePattern(const QString& pattern)
{
    // Every problem is noted, so a user can mend them all at once.
    if (pattern.trimmed().isEmpty()) {
        note(Problem::Empty);
        return;
    }
    if (pattern.endsWith(u'/'))
        note(Problem::Empty);
    if (pattern.startsWith(u'/'))
        note(Problem::Escapes);
    for (const QString& text : pattern.split(u'/', Qt::SkipEmptyParts)) {
        if (text.trimmed() == QLatin1String("..")) {
            note(Problem::Escapes);
            continue;
        }
        if (text == QLatin1String("."))
            continue; // "./x" names "x"
        Part part;
        parsePart(text, part);
        m_parts.push_back(std::move(part));
    }
    if (!usable())
        m_parts.clear();
}

void OutputNamePattern::note(Problem problem, const QString& field)
{
    const Found found{problem, field};
    if (std::find(m_problems.begin(), m_problems.end(), found) == m_problems.end())
        m_problems.push_back(found);
}

void OutputNamePattern::parsePart(const QString& text, Part& part)
{
    qsizetype at = 0;
    while (at < text.size()) {
        const qsizetype open = text.indexOf(u'{', at);
        const qsizetype stray = text.indexOf(u'}', at);
        if (stray >= 0 && (open < 0 || stray < open)) {
            note(Problem::Braces);
            at = stray + 1;
            continue;
        }
        if (open < 0) {
            part.push_back({text.mid(at), -1, 0});
            return;
        }
        if (open > at)
            part.push_back({text.mid(at, open - at), -1, 0});
        const qsizetype close = text.indexOf(u'}', open + 1);
        const qsizetype nextOpen = text.indexOf(u'{', open + 1);
        if (close < 0 || (nextOpen >= 0 && nextOpen < close)) {
            note(Problem::Braces);
            if (close < 0)
                return;
            at = nextOpen;
            continue;
        }
        const QString braced = text.mid(open + 1, close - open - 1);
        const qsizetype colon = braced.indexOf(u':');
        const QString name = (colon < 0 ? braced : braced.left(colon)).trimmed().toLower();
        Piece piece{{}, int(fieldNames().indexOf(name)), 0};
        if (colon >= 0) {
            const QString width = braced.mid(colon + 1).trimmed();
            bool ok = isNumber(width);
            piece.width = ok ? width.toInt(&ok) : 0;
            if (!ok || piece.width > kMaxWidth)
                piece.field = -1;
        }
        if (piece.field < 0)
            note(Problem::UnknownField, QLatin1Char('{') + braced + QLatin1Char('}'));
        else
            part.push_back(piece);
        at = close + 1;
    }
}

OutputNamePattern::Problem OutputNamePattern::problem() const
{
    return m_problems.empty() ? Problem::None : m_problems.front().problem;
}

QString OutputNamePattern::problemText(const Found& found)
{
    switch (found.problem) {
    case Problem::None:
        return {};
    case Problem::Empty:
        return lang::caption(lang::StringId::NamePatternEmpty);
    case Problem::Escapes:
        return lang::caption(lang::StringId::NamePatternEscapes);
    case Problem::UnknownField:
        return lang::caption(lang::StringId::NamePatternUnknownField).arg(found.field);
    case Problem::Braces:
        return lang::caption(lang::StringId::NamePatternBraces);
    }
    return {};
}

QString OutputNamePattern::problemText() const
{
    return m_problems.empty() ? QString() : problemText(m_problems.front());
}

QStringList OutputNamePattern::problemTexts() const
{
    QStringList texts;
    for (const Found& found : m_problems)
        texts << problemText(found);
    return texts;
}

QString OutputNamePattern::expand(const engine::MediaTags& tags, const QString& baseName) const
{
    if (!usable() || m_parts.empty())
        return baseName;
    QStringList parts;
    for (std::size_t p = 0; p < m_parts.size(); ++p) {
        QString text;
        for (const Piece& piece : m_parts[p]) {
            if (piece.field < 0) {
                text += piece.literal;
                continue;
            }
            QString value = tagText(tags, piece.field).trimmed();
            if (value.isEmpty())
                return baseName;
            if (piece.width > 0 && isNumber(value) && value.size() < piece.width)
                value = value.rightJustified(piece.width, u'0');
            // A "/" inside a tag is text, never a folder.
            text += withoutUnfit(value);
        }
        const bool last = p + 1 == m_parts.size();
        QString part = SanitizedNamePart(text.trimmed(), last ? kPartBytes - kNameReserve : kPartBytes).trimmed();
        if (part.isEmpty())
            part = QString(kReplacement);
        parts << part;
    }
    return parts.join(u'/');
}

} // namespace convert
