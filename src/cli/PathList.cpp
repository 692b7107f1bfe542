#include "cli/PathList.h"

#include "platform/FileName.h"
#include "platform/SystemError.h"

#include <QByteArray>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace cli {

namespace {

//! Reads all of `fd`; false (errno kept) on a read error.
bool readAll(int fd, QByteArray& bytes)
{
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.append(buffer, qsizetype(got));
    }
}

} // namespace

QStringList splitPathList(const QByteArray& bytes, bool nulSeparated)
{
    QStringList paths;
    const char separator = nulSeparated ? '\0' : '\n';
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf(separator, start);
        if (end < 0)
            end = bytes.size();
        if (end > start)
            paths << platform::fromNativeName(bytes.mid(start, end - start));
        start = end + 1;
    }
    return paths;
}

std::optional<QByteArray> readWholeFile(const QString& file, QString& error, std::FILE* standardInput)
{
    QByteArray bytes;
    if (file == QLatin1String("-")) {
        if (!readAll(::fileno(standardInput), bytes)) {
            error = QStringLiteral("standard input: %1").arg(platform::systemErrorText(errno));
            return std::nullopt;
        }
        return bytes;
    }
    const int fd = ::open(platform::nativeName(file).constData(), O_RDONLY | O_CLOEXEC);
    const bool read = fd >= 0 && readAll(fd, bytes);
    const int readError = errno;
    if (fd >= 0)
        ::close(fd);
    if (!read) {
        error = QStringLiteral("%1: %2").arg(platform::displayName(file), platform::systemErrorText(readError));
        return std::nullopt;
    }
    return bytes;
}

std::optional<QStringList> readPathList(const QString& file, bool nulSeparated, QString& error,
                                        std::FILE* standardInput)
{
    const std::optional<QByteArray> bytes = readWholeFile(file, error, standardInput);
    if (!bytes)
        return std::nullopt;
    return splitPathList(*bytes, nulSeparated);
}

} // namespace cli
