#include "platform/FileSystem.h"

#include "platform/FileName.h"
#include "platform/FolderReader.h"
#include "platform/Path.h"

#include <QDir>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

//! Closes a descriptor on every way out, errno kept.
struct Descriptor {
    int fd = -1;
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    explicit Descriptor(int opened) : fd(opened) {}
    ~Descriptor()
    {
        if (fd >= 0) {
            const int saved = errno;
            ::close(fd);
            errno = saved;
        }
    }
};

bool writeAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, std::size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        left -= qsizetype(n);
    }
    return true;
}

} // namespace

FileStatus fileStatus(const QString& path)
{
    FileStatus status;
    struct stat st {};
    const QByteArray name = nativeName(path);
    if (path.isEmpty() || ::stat(name.constData(), &st) != 0)
        return status;
    status.kind = S_ISREG(st.st_mode) ? FileKind::Regular : S_ISDIR(st.st_mode) ? FileKind::Folder : FileKind::Other;
    status.size = qint64(st.st_size);
    status.modified = qint64(st.st_mtim.tv_sec);
    status.executable = ::access(name.constData(), X_OK) == 0;
    status.readable = ::access(name.constData(), R_OK) == 0;
    return status;
}

bool isRegularFile(const QString& path)
{
    return fileStatus(path).kind == FileKind::Regular;
}

bool isFolder(const QString& path)
{
    return fileStatus(path).kind == FileKind::Folder;
}

bool pathTaken(const QString& path)
{
    struct stat st {};
    return !path.isEmpty() && ::lstat(nativeName(path).constData(), &st) == 0;
}

bool isSymbolicLink(const QString& path)
{
    struct stat st {};
    return !path.isEmpty() && ::lstat(nativeName(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

qint64 fileSize(const QString& path)
{
    const FileStatus status = fileStatus(path);
    return status.kind == FileKind::Regular ? status.size : -1;
}

bool removeFile(const QString& path)
{
    return ::unlink(nativeName(path).constData()) == 0;
}

bool makeFolders(const QString& folder)
{
    if (folder.isEmpty())
        return false;
    if (isFolder(folder))
        return true;
    const Path path(folder);
    const Path parent = path.parent();
    if (parent.toString() != folder && !makeFolders(parent.toString()))
        return false;
    return ::mkdir(nativeName(folder).constData(), 0777) == 0 || (errno == EEXIST && isFolder(folder));
}

bool makeSymbolicLink(const QString& target, const QString& link)
{
    return ::symlink(nativeName(target).constData(), nativeName(link).constData()) == 0;
}

QStringList fileNamesIn(const QString& folder)
{
    QStringList names;
    FolderReader reader(nativeName(folder));
    if (!reader.isOpen())
        return names;
    while (const char* name = reader.next()) {
        struct stat st {};
        if (::fstatat(reader.fd(), name, &st, 0) == 0 && S_ISREG(st.st_mode))
            names << fromNativeName(QByteArray(name));
    }
    return names;
}

std::optional<QByteArray> readWholeFile(const QString& path, qint64 maxBytes, int* error)
{
    const auto failed = [error](int number) -> std::optional<QByteArray> {
        if (error)
            *error = number;
        return std::nullopt;
    };
    // O_NONBLOCK: opening a FIFO never waits for a writer; it is refused below.
    const Descriptor file(::open(nativeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat st {};
    if (file.fd < 0 || ::fstat(file.fd, &st) != 0)
        return failed(errno);
    if (S_ISDIR(st.st_mode))
        return failed(EISDIR);
    if (!S_ISREG(st.st_mode))
        return failed(EINVAL);
    if (qint64(st.st_size) > maxBytes)
        return failed(EFBIG);
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failed(errno);
        if (got == 0)
            return bytes;
        if (bytes.size() + got > maxBytes)
            return failed(EFBIG);
        bytes.append(buffer, qsizetype(got));
    }
}

bool writeNewFile(const QString& path, const QByteArray& bytes)
{
    const Descriptor file(
        ::open(nativeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
    return file.fd >= 0 && writeAll(file.fd, bytes);
}

bool appendToFile(const QString& path, const QByteArray& bytes)
{
    const Descriptor file(::open(nativeName(path).constData(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666));
    return file.fd >= 0 && writeAll(file.fd, bytes);
}

QString canonicalPath(const QString& path)
{
    char* resolved = ::realpath(nativeName(path).constData(), nullptr);
    if (!resolved)
        return {};
    QString canonical = fromNativeName(QByteArray(resolved));
    std::free(resolved);
    return canonical;
}

QString absolutePath(const QString& path)
{
    if (path.isEmpty() || path.startsWith(u'/'))
        return path;
    return (Path(currentFolder()) / path).toString();
}

QString currentFolder()
{
    char* here = ::getcwd(nullptr, 0);
    if (!here)
        return QStringLiteral("/");
    QString folder = fromNativeName(QByteArray(here));
    std::free(here);
    return folder;
}

QString homeFolder()
{
    QString home = environmentPath("HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(home);
    // No HOME (a service's bare environment): the password database's.
    struct passwd entry {};
    struct passwd* found = nullptr;
    char buffer[4096];
    if (::getpwuid_r(::getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found && found->pw_dir)
        home = fromNativeName(QByteArray(found->pw_dir));
    return home.isEmpty() ? QStringLiteral("/") : home;
}

QString environmentPath(const char* name)
{
    return fromNativeName(qgetenv(name));
}

} // namespace platform
