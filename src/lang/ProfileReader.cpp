#include "lang/ProfileReader.h"

#include "platform/FileSystem.h"
#include "platform/TextEncoding.h"

#include <QHash>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lang {

namespace {

// Language files are a few kilobytes; anything far larger is not one, and is
// not read into memory.
constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

char asciiLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool equalsIgnoringCase(QByteArrayView a, QByteArrayView b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    return true;
}

//! Calls `entry(key, value)` for each entry of the first section named
//! `section`, in order, until it returns false. Key and value come trimmed,
//! the value without its enclosing quotes; both point into `text`.
template <typename Entry> void walkSection(QByteArrayView text, QByteArrayView section, Entry entry)
{
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);

    const char* data = text.data();
    const qsizetype size = text.size();
    bool inSection = false;
    qsizetype pos = 0;
    // Positions of the next LF and the next CR at or after `pos`, found with
    // memchr and kept until passed, so the scan stays linear.
    qsizetype nextLf = -1;
    qsizetype nextCr = -1;
    const auto find = [&](char c) {
        const void* found = std::memchr(data + pos, c, size_t(size - pos));
        return found ? static_cast<const char*>(found) - data : size;
    };
    while (pos < size) {
        if (nextLf < pos)
            nextLf = find('\n');
        if (nextCr < pos)
            nextCr = find('\r');
        const qsizetype lineEnd = std::min(nextLf, nextCr);
        const QByteArrayView line = trimmed(text.sliced(pos, lineEnd - pos));
        pos = lineEnd + 1;
        if (line.isEmpty() || line.front() == ';')
            continue;

        if (line.front() == '[') {
            const qsizetype close = line.indexOf(']');
            if (close < 0)
                continue;
            if (inSection) // a later section of the same name is never read
                return;
            inSection = equalsIgnoringCase(trimmed(line.sliced(1, close - 1)), section);
            continue;
        }
        if (!inSection)
            continue;

        const qsizetype equals = line.indexOf('=');
        if (equals < 0)
            continue;
        QByteArrayView value = trimmed(line.sliced(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.sliced(1, value.size() - 2);
        if (!entry(trimmed(line.first(equals)), value))
            return;
    }
}

QByteArray foldedKey(QByteArrayView key)
{
    QByteArray folded = key.toByteArray();
    for (char& c : folded)
        c = asciiLower(c);
    return folded;
}

} // namespace

std::optional<QByteArrayView> ProfileReader::findValue(QByteArrayView text, QByteArrayView section, QByteArrayView key)
{
    std::optional<QByteArrayView> found;
    walkSection(text, section, [&](QByteArrayView entryKey, QByteArrayView value) {
        if (!equalsIgnoringCase(entryKey, key))
            return true;
        found = value;
        return false;
    });
    return found;
}

QHash<QByteArray, QByteArrayView> ProfileReader::sectionValues(QByteArrayView text, QByteArrayView section)
{
    QHash<QByteArray, QByteArrayView> values;
    walkSection(text, section, [&](QByteArrayView key, QByteArrayView value) {
        QByteArray folded = foldedKey(key);
        if (!values.contains(folded)) // the first entry of a key wins
            values.emplace(std::move(folded), value);
        return true;
    });
    return values;
}

QByteArray ProfileReader::foldKey(QByteArrayView key)
{
    return foldedKey(trimmed(key));
}

// Only a regular file is opened: a pipe or a device under the name can
// neither hang the lookup nor be acted on.
bool ProfileReader::readFile(const QString& path, QByteArray& content)
{
    return platform::readRegularFile(path, kMaxFileBytes, content).isEmpty();
}

QByteArrayView ProfileReader::cutUtf8(QByteArrayView text, qsizetype maxBytes)
{
    if (maxBytes <= 0)
        return {};
    if (text.size() <= maxBytes)
        return text;
    // Find the start of the character at the limit (continuation bytes are
    // 10xxxxxx, a character has at most four bytes) and leave that character
    // out when it does not end before the limit.
    qsizetype start = maxBytes;
    for (int back = 0; back < 3 && start > 0 && (uchar(text[start]) & 0xC0) == 0x80; ++back)
        --start;
    const uchar lead = uchar(text[start]);
    const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    const qsizetype cut = start + length > maxBytes ? start : maxBytes;
    return text.first(cut);
}

QString ProfileReader::valueText(QByteArrayView value, bool utf8File, qsizetype bufferSize)
{
    const qsizetype maxBytes = bufferSize - 1; // one byte is kept for the terminator
    const qsizetype nul = value.indexOf('\0'); // the text ends at a NUL byte
    const QByteArrayView text = nul < 0 ? value : value.first(nul);
    // Files written by others are often in the old Western code page: a file
    // that is not UTF-8 as a whole is read as Windows-1252.
    if (!utf8File)
        return platform::fromWindows1252(text.first(std::min(text.size(), std::max(maxBytes, qsizetype(0)))));
    return QString::fromUtf8(cutUtf8(text, maxBytes));
}

QString ProfileReader::defaultText(const QString& text, qsizetype bufferSize)
{
    const QByteArray fallback = text.toUtf8();
    QByteArrayView cut = cutUtf8(fallback, bufferSize - 1);
    while (!cut.isEmpty() && cut.back() == ' ')
        cut.chop(1);
    return QString::fromUtf8(cut);
}

QString ProfileReader::readString(const QString& path, const QString& section, const QString& key,
                                  const QString& fallback, qsizetype bufferSize)
{
    QByteArray content;
    if (readFile(path, content)) {
        const std::optional<QByteArrayView> value = findValue(content, section.toUtf8(), key.toUtf8());
        if (value)
            return valueText(*value, platform::isValidUtf8(content), bufferSize);
    }
    return defaultText(fallback, bufferSize);
}

} // namespace lang
