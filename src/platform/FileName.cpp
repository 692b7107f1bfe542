#include "platform/FileName.h"

#include <QUrl>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr char16_t kRawFirst = 0xDC80;
constexpr char16_t kRawLast = 0xDCFF;
constexpr char16_t kReplacement = 0xFFFD;

bool isRaw(char16_t c)
{
    return c >= kRawFirst && c <= kRawLast;
}

//! The length of the valid UTF-8 sequence at `p` (1 to 4), 0 when invalid.
int validSequence(const unsigned char* p, qsizetype left)
{
    const unsigned char c = p[0];
    if (c < 0x80)
        return 1;
    int length = 0;
    char32_t minimum = 0;
    char32_t code = 0;
    if ((c & 0xE0) == 0xC0) {
        length = 2;
        minimum = 0x80;
        code = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        length = 3;
        minimum = 0x800;
        code = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        length = 4;
        minimum = 0x10000;
        code = c & 0x07;
    } else {
        return 0;
    }
    if (left < length)
        return 0;
    for (int i = 1; i < length; ++i) {
        if ((p[i] & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (p[i] & 0x3F);
    }
    // Overlong forms, surrogates and code points past U+10FFFF are not valid.
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

QString fromNativeName(const QByteArray& bytes)
{
    QString name;
    name.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype size = bytes.size();
    qsizetype i = 0;
    while (i < size) {
        const int length = validSequence(p + i, size - i);
        if (length == 0) {
            name += QChar(char16_t(0xDC00 + p[i]));
            ++i;
            continue;
        }
        name += QString::fromUtf8(bytes.constData() + i, length);
        i += length;
    }
    return name;
}

QByteArray nativeName(const QString& name)
{
    if (!hasRawBytes(name))
        return name.toUtf8();
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype start = 0;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name.at(i).unicode();
        if (!isRaw(c) || (i > 0 && name.at(i - 1).isHighSurrogate()))
            continue;
        bytes += QStringView(name).mid(start, i - start).toUtf8();
        bytes += char(c - 0xDC00);
        start = i + 1;
    }
    bytes += QStringView(name).mid(start).toUtf8();
    return bytes;
}

QString pathOfFileUrl(const QUrl& url)
{
    if (!url.isLocalFile())
        return {};
    return fromNativeName(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

QUrl fileUrl(const QString& path)
{
    return QUrl::fromEncoded(QByteArrayLiteral("file://") + nativeName(path).toPercentEncoding("/"));
}

QString displayName(const QString& name)
{
    if (!hasRawBytes(name))
        return name;
    QString shown = name;
    for (QChar& c : shown)
        if (isRaw(c.unicode()))
            c = QChar(kReplacement);
    return shown;
}

bool hasRawBytes(const QString& name)
{
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isRaw(name.at(i).unicode()) && (i == 0 || !name.at(i - 1).isHighSurrogate()))
            return true;
    }
    return false;
}

int renameNoReplace(const QByteArray& from, const QByteArray& to, RenameWay first)
{
    if (first == RenameWay::NoReplaceRename) {
        if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
            return 0;
        if (errno != EINVAL && errno != ENOSYS)
            return errno;
    }
    // File systems without that rename: a hard link fails just as atomically
    // when the name exists.
    if (first != RenameWay::CheckedRename) {
        if (::link(from.constData(), to.constData()) == 0) {
            ::unlink(from.constData());
            return 0;
        }
        if (errno == EEXIST)
            return EEXIST;
    }
    // The last resort cannot be atomic: the name is checked just before.
    struct stat st {};
    if (::lstat(to.constData(), &st) == 0)
        return EEXIST;
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

} // namespace platform
