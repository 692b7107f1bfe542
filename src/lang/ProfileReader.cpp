#include "lang/ProfileReader.h"

#include <QFile>

namespace lang {

namespace {

// Language files are a few kilobytes; anything far larger is not one, and is
// not read into memory on every lookup.
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

std::optional<QByteArray> readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // A pipe or a device under the file's name could block or never end.
    if (file.isSequential() || file.size() > kMaxFileBytes)
        return std::nullopt;
    QByteArray content = file.read(kMaxFileBytes);
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return content;
}

} // namespace

std::optional<QByteArrayView> ProfileReader::findValue(QByteArrayView text, QByteArrayView section, QByteArrayView key)
{
    if (text.startsWith("\xEF\xBB\xBF"))
        text = text.sliced(3);

    const char* data = text.data();
    const qsizetype size = text.size();
    bool inSection = false;
    qsizetype pos = 0;
    while (pos < size) {
        qsizetype lineEnd = pos;
        while (lineEnd < size && data[lineEnd] != '\n' && data[lineEnd] != '\r')
            ++lineEnd;
        const QByteArrayView line = trimmed(text.sliced(pos, lineEnd - pos));
        pos = lineEnd + 1;
        if (line.isEmpty() || line.front() == ';')
            continue;

        if (line.front() == '[') {
            const qsizetype close = line.indexOf(']');
            if (close < 0)
                continue;
            if (inSection) // a later section of the same name is never read
                return std::nullopt;
            inSection = equalsIgnoringCase(trimmed(line.sliced(1, close - 1)), section);
            continue;
        }
        if (!inSection)
            continue;

        const qsizetype equals = line.indexOf('=');
        if (equals < 0 || !equalsIgnoringCase(trimmed(line.first(equals)), key))
            continue;
        QByteArrayView value = trimmed(line.sliced(equals + 1));
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.sliced(1, value.size() - 2);
        return value;
    }
    return std::nullopt;
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

QString ProfileReader::readString(const QString& path, const QString& section, const QString& key,
                                  const QString& defaultText, qsizetype bufferSize)
{
    const qsizetype maxBytes = bufferSize - 1; // one byte is kept for the terminator
    if (const std::optional<QByteArray> content = readFile(path)) {
        const std::optional<QByteArrayView> value = findValue(*content, section.toUtf8(), key.toUtf8());
        if (value) {
            const qsizetype nul = value->indexOf('\0'); // the text ends at a NUL byte
            return QString::fromUtf8(cutUtf8(nul < 0 ? *value : value->first(nul), maxBytes));
        }
    }
    const QByteArray fallback = defaultText.toUtf8();
    QByteArrayView text = cutUtf8(fallback, maxBytes);
    while (!text.isEmpty() && text.back() == ' ')
        text.chop(1);
    return QString::fromUtf8(text);
}

} // namespace lang
