#include "cli/PathList.h"

#include "platform/FileName.h"
#include "platform/FileSystem.h"
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

//! A list that a path names may be as long as this (10 million names).
constexpr qint64 kMaxListBytes = qint64(4) << 30;

//! Whether `file` names a descriptor the shell handed over (`<(find …)`),
//! which is read as standard input is: a pipe that has its writer.
bool isHandedOverDescriptor(const QString& file)
{
    return file.startsWith(QLatin1String("/dev/fd/")) || file.startsWith(QLatin1String("/proc/self/fd/"));
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

std::optional<QByteArray> readArgumentFile(const QString& file, QString& error, std::FILE* standardInput)
{
    QByteArray bytes;
    if (file == QLatin1String("-")) {
        if (!readAll(::fileno(standardInput), bytes)) {
            error = QStringLiteral("standard input: %1").arg(platform::systemErrorText(errno));
            return std::nullopt;
        }
        return bytes;
    }
    if (isHandedOverDescriptor(file)) {
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
    // Anything else is a file: a pipe with no writer would wait for ever.
    if (const QString why = platform::readRegularFile(file, kMaxListBytes, bytes); !why.isEmpty()) {
        error = QStringLiteral("%1: %2").arg(platform::displayName(file), why);
        return std::nullopt;
    }
    return bytes;
}

std::optional<QStringList> readPathList(const QString& file, bool nulSeparated, QString& error,
                                        std::FILE* standardInput)
{
    const std::optional<QByteArray> bytes = readArgumentFile(file, error, standardInput);
    if (!bytes)
        return std::nullopt;
    return splitPathList(*bytes, nulSeparated);
}

} // namespace cli
