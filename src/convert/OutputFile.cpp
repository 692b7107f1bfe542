#include "convert/OutputFile.h"

#include "convert/OutputPath.h"
#include "platform/FileName.h"

#include <QDateTime>
#include <QDir>
#include <QRandomGenerator>
#include <QSet>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace convert {

namespace {

const QString kPrefix = QStringLiteral(".tonemill-");
const QString kMiddle = QStringLiteral(".part");
constexpr int kNameAttempts = 100;
// An empty, unlocked temporary file this young may belong to a run that has
// created it and not locked it yet: it is left for a later run to remove.
constexpr qint64 kFreshSeconds = 60;

QString systemError(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

QString folderOf(const QString& path)
{
    return ParentFolder(path);
}

QString extensionOf(const QString& path)
{
    const QString name = path.mid(path.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot <= 0 ? QString() : name.mid(dot + 1);
}

//! Folders already swept by this process: once per folder is enough.
std::mutex g_sweptMutex;
QSet<QString> g_swept;

void sweepOnce(const QString& folder)
{
    {
        std::lock_guard lock(g_sweptMutex);
        if (g_swept.contains(folder))
            return;
        g_swept.insert(folder);
    }
    OutputFile::removeLeftovers(folder);
}

//! Renames without ever replacing: EEXIST when `to` exists in any form.
int renameNoReplace(const QByteArray& from, const QByteArray& to)
{
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return 0;
    if (errno != EINVAL && errno != ENOSYS)
        return errno;
    // File systems without that rename: a hard link fails just as atomically
    // when the name exists.
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
        return 0;
    }
    if (errno == EEXIST)
        return EEXIST;
    struct stat st {};
    if (::lstat(to.constData(), &st) == 0)
        return EEXIST;
    return ::rename(from.constData(), to.constData()) == 0 ? 0 : errno;
}

} // namespace

std::unique_ptr<OutputFile> OutputFile::create(const QString& finalPath, QString* why)
{
    const QString folder = folderOf(finalPath);
    sweepOnce(folder);
    const QString extension = extensionOf(finalPath);
    std::unique_ptr<OutputFile> file(new OutputFile);
    file->m_final = finalPath;
    int error = 0;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const QString random = QString::number(QRandomGenerator::global()->generate64() & 0xFFFFFFFFFFull, 36);
        QString name = kPrefix + random + kMiddle;
        if (!extension.isEmpty())
            name += u'.' + extension; // tools that go by the extension still know the type
        const QString path = (folder.endsWith(u'/') ? folder : folder + u'/') + name;
        const int fd =
            ::open(platform::nativeName(path).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0) {
            error = errno;
            if (error == EEXIST)
                continue;
            break;
        }
        // Held until the file has its final name: the mark of a live run.
        ::flock(fd, LOCK_EX | LOCK_NB);
        file->m_fd = fd;
        file->m_temporary = path;
        return file;
    }
    if (why)
        *why = systemError(error ? error : EEXIST);
    return nullptr;
}

OutputFile::~OutputFile()
{
    if (!m_committed)
        discard();
}

bool OutputFile::fail(int error)
{
    if (m_error.isEmpty())
        m_error = systemError(error);
    return false;
}

void OutputFile::setFailed(const QString& reason)
{
    if (m_error.isEmpty())
        m_error = reason;
}

bool OutputFile::write(const char* data, qint64 bytes)
{
    return writeAll(data, bytes, std::nullopt);
}

bool OutputFile::writeAt(qint64 offset, const char* data, qint64 bytes)
{
    return writeAll(data, bytes, offset);
}

bool OutputFile::writeAll(const char* data, qint64 bytes, std::optional<qint64> offset)
{
    if (m_fd < 0)
        return fail(EBADF);
    while (bytes > 0) {
        const ssize_t n =
            offset ? ::pwrite(m_fd, data, std::size_t(bytes), off_t(*offset)) : ::write(m_fd, data, std::size_t(bytes));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(n < 0 ? errno : ENOSPC);
        data += n;
        bytes -= n;
        if (offset)
            *offset += n;
    }
    return true;
}

qint64 OutputFile::size() const
{
    struct stat st {};
    return m_fd >= 0 && ::fstat(m_fd, &st) == 0 ? qint64(st.st_size) : -1;
}

bool OutputFile::commit()
{
    if (m_committed)
        return true;
    if (m_fd < 0 || failed()) {
        fail(EBADF);
        discard();
        return false;
    }
    // On disk before it gets its name, so a power cut cannot leave the name
    // on a file whose data never arrived.
    if (::fsync(m_fd) != 0 && errno != EINVAL) {
        fail(errno);
        discard();
        return false;
    }
    if (!giveFinalName()) {
        discard();
        return false;
    }
    return closeCommitted(true);
}

bool OutputFile::commitReplacing()
{
    if (m_committed)
        return true;
    if (m_fd < 0 || failed()) {
        fail(EBADF);
        discard();
        return false;
    }
    if (::fsync(m_fd) != 0 && errno != EINVAL) {
        fail(errno);
        discard();
        return false;
    }
    if (::rename(platform::nativeName(m_temporary).constData(), platform::nativeName(m_final).constData()) != 0) {
        fail(errno);
        discard();
        return false;
    }
    // The data was flushed before the rename: a failing close cannot mean
    // that the file it replaced was better.
    return closeCommitted(false);
}

bool OutputFile::closeCommitted(bool removeOnFailure)
{
    m_committed = true;
    const QByteArray folder = platform::nativeName(folderOf(m_final));
    const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd); // the new name itself on disk; some file systems refuse, harmlessly
        ::close(dirFd);
    }
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR) {
        // The data may not all be there after all: the name must not stay.
        fail(errno);
        if (removeOnFailure)
            ::unlink(platform::nativeName(m_final).constData());
        return false;
    }
    return true;
}

bool OutputFile::giveFinalName()
{
    const QByteArray from = platform::nativeName(m_temporary);
    QString candidate = m_final;
    while (!candidate.isEmpty()) {
        const int error = renameNoReplace(from, platform::nativeName(candidate));
        if (error == 0) {
            m_final = candidate;
            return true;
        }
        if (error != EEXIST)
            return fail(error);
        candidate = NextOutputPath(candidate); // taken meanwhile: the next free name
    }
    return fail(EEXIST);
}

void OutputFile::discard()
{
    if (m_temporary.isEmpty() || m_committed)
        return;
    ::unlink(platform::nativeName(m_temporary).constData());
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_temporary.clear();
}

bool OutputFile::isTemporaryName(const QString& fileName)
{
    if (!fileName.startsWith(kPrefix))
        return false;
    const qsizetype middle = fileName.indexOf(kMiddle, kPrefix.size());
    return middle > kPrefix.size() &&
           (middle + kMiddle.size() == fileName.size() || fileName.at(middle + kMiddle.size()) == u'.');
}

int OutputFile::removeLeftovers(const QString& folder)
{
    const QByteArray nativeFolder = platform::nativeName(folder);
    DIR* dir = ::opendir(nativeFolder.constData());
    if (!dir)
        return 0;
    int removed = 0;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = platform::fromNativeName(QByteArray(entry->d_name));
        if (!isTemporaryName(name))
            continue;
        const int dirFd = ::dirfd(dir);
        const int fd = ::openat(dirFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        struct stat named {};
        // A lock that can be taken means no live run holds the file.
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            !(st.st_size == 0 && now - qint64(st.st_mtime) < kFreshSeconds) &&
            ::fstatat(dirFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_ino == st.st_ino &&
            named.st_dev == st.st_dev && ::unlinkat(dirFd, entry->d_name, 0) == 0)
            ++removed;
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}

} // namespace convert
