#include "cli/StandardStreams.h"

#include "platform/FileName.h"
#include "platform/FileSystem.h"
#include "platform/SystemError.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace cli {

namespace {

constexpr qsizetype kChunk = 1 << 16;

//! Writes all of `bytes` to `fd`; false (errno kept) when it cannot.
bool writeAll(int fd, const char* bytes, qsizetype size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, std::size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes += written;
        size -= qsizetype(written);
    }
    return true;
}

//! Reads up to `size` bytes, retrying after a signal; -1 (errno kept) on an error.
ssize_t readSome(int fd, char* buffer, std::size_t size)
{
    for (;;) {
        const ssize_t got = ::read(fd, buffer, size);
        if (got >= 0 || errno != EINTR)
            return got;
    }
}

bool at(const QByteArray& head, qsizetype offset, const char* magic)
{
    return head.mid(offset, qsizetype(std::strlen(magic))) == magic;
}

} // namespace

ScratchFolder::~ScratchFolder()
{
    // What a failed removal leaves lies in the temporary folder.
    if (!m_path.isEmpty())
        static_cast<void>(platform::removeFolderTree(m_path));
}

std::optional<ScratchFolder> ScratchFolder::make(QString& error)
{
    const QByteArray base = qEnvironmentVariableIsEmpty("TMPDIR") ? QByteArray("/tmp") : qgetenv("TMPDIR");
    QByteArray pattern = base + "/tonemill-XXXXXX";
    if (!::mkdtemp(pattern.data())) {
        error = QStringLiteral("%1: %2").arg(platform::displayName(platform::fromNativeName(base)),
                                             platform::systemErrorText(errno));
        return std::nullopt;
    }
    ScratchFolder folder;
    folder.m_path = platform::fromNativeName(pattern);
    return folder;
}

QString audioExtension(const QByteArray& head)
{
    if (at(head, 0, "fLaC"))
        return QStringLiteral("flac");
    if (at(head, 0, "RIFF") && at(head, 8, "WAVE"))
        return QStringLiteral("wav");
    if (at(head, 0, "OggS"))
        return at(head, 28, "OpusHead") ? QStringLiteral("opus") : QStringLiteral("ogg");
    if (at(head, 4, "ftyp"))
        return QStringLiteral("m4a");
    if (at(head, 0, "\x30\x26\xB2\x75\x8E\x66\xCF\x11"))
        return QStringLiteral("wma");
    if (at(head, 0, "FORM") && (at(head, 8, "AIFF") || at(head, 8, "AIFC")))
        return QStringLiteral("aiff");
    if (at(head, 0, "wvpk"))
        return QStringLiteral("wv");
    if (at(head, 0, "ID3"))
        return QStringLiteral("mp3");
    // A frame's sync word: MPEG audio layers 1 to 3, or AAC in ADTS (layer 0).
    if (head.size() >= 2 && quint8(head.at(0)) == 0xFF && (quint8(head.at(1)) & 0xE0) == 0xE0)
        return (quint8(head.at(1)) & 0x06) == 0 ? QStringLiteral("aac") : QStringLiteral("mp3");
    return {};
}

std::optional<QString> spoolStandardInput(const QString& folder, QString& error, int fd)
{
    QByteArray head(kChunk, Qt::Uninitialized);
    qsizetype have = 0;
    // Enough of the start to tell the format by, however the pipe delivers it.
    while (have < 64) {
        const ssize_t got = readSome(fd, head.data() + have, std::size_t(kChunk - have));
        if (got < 0) {
            error = QStringLiteral("standard input: %1").arg(platform::systemErrorText(errno));
            return std::nullopt;
        }
        if (got == 0)
            break;
        have += qsizetype(got);
    }
    head.truncate(have);
    const QString extension = audioExtension(head);
    const QString path = folder + QStringLiteral("/stdin") + (extension.isEmpty() ? QString() : u'.' + extension);
    const int out = ::open(platform::nativeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    int writeError = out < 0 || !writeAll(out, head.constData(), head.size()) ? errno : 0;
    int readError = 0;
    QByteArray buffer(kChunk, Qt::Uninitialized);
    while (writeError == 0) {
        const ssize_t got = readSome(fd, buffer.data(), std::size_t(kChunk));
        if (got <= 0) {
            readError = got < 0 ? errno : 0;
            break;
        }
        if (!writeAll(out, buffer.constData(), qsizetype(got)))
            writeError = errno;
    }
    if (out >= 0 && ::close(out) != 0 && writeError == 0)
        writeError = errno;
    if (readError != 0) {
        error = QStringLiteral("standard input: %1").arg(platform::systemErrorText(readError));
        return std::nullopt;
    }
    if (writeError != 0) {
        error = QStringLiteral("%1: %2").arg(platform::displayName(path), platform::systemErrorText(writeError));
        return std::nullopt;
    }
    return path;
}

bool copyToStandardOutput(const QString& path, QString& error, int fd)
{
    const int in = ::open(platform::nativeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        error = QStringLiteral("%1: %2").arg(platform::displayName(path), platform::systemErrorText(errno));
        return false;
    }
    QByteArray buffer(kChunk, Qt::Uninitialized);
    bool copied = true;
    for (;;) {
        const ssize_t got = readSome(in, buffer.data(), std::size_t(kChunk));
        if (got < 0) {
            error = QStringLiteral("%1: %2").arg(platform::displayName(path), platform::systemErrorText(errno));
            copied = false;
            break;
        }
        if (got == 0)
            break;
        if (!writeAll(fd, buffer.constData(), qsizetype(got))) {
            error = QStringLiteral("standard output: %1").arg(platform::systemErrorText(errno));
            copied = false;
            break;
        }
    }
    ::close(in);
    return copied;
}

} // namespace cli
