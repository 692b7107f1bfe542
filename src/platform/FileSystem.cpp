#include "platform/FileSystem.h"

#include "platform/FileName.h"
#include "platform/FolderReader.h"
#include "platform/Path.h"
#include "platform/SystemError.h"

#include <QDir>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <ftw.h>
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

//! Why a file of this kind and size is not read; empty when it is read.
QString refusal(const struct stat& st, qint64 maxBytes)
{
    if (S_ISDIR(st.st_mode))
        return systemErrorText(EISDIR);
    if (!S_ISREG(st.st_mode))
        return QStringLiteral("Not a regular file");
    if (qint64(st.st_size) > maxBytes)
        return systemErrorText(EFBIG);
    return {};
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

bool removeFolderTree(const QString& folder)
{
    // Deepest first, so each folder is empty when its turn comes.
    const auto removeOne = [](const char* path, const struct stat*, int kind, struct FTW*) {
        return (kind == FTW_DP ? ::rmdir(path) : ::unlink(path)) == 0 || errno == ENOENT ? 0 : -1;
    };
    return ::nftw(nativeName(folder).constData(), removeOne, 16, FTW_DEPTH | FTW_PHYS) == 0 || errno == ENOENT;
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

QString readRegularFile(const QString& path, qint64 maxBytes, QByteArray& content)
{
    content.clear();
    const QByteArray name = nativeName(path);
    struct stat st {};
    if (::stat(name.constData(), &st) != 0)
        return systemErrorText(errno);
    if (QString why = refusal(st, maxBytes); !why.isEmpty())
        return why;
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return systemErrorText(errno);
    QString why;
    if (::fstat(fd, &st) != 0)
        why = systemErrorText(errno);
    else
        why = refusal(st, maxBytes);
    if (why.isEmpty()) {
        // One more byte than allowed shows a file that grew meanwhile.
        content.resize(qsizetype(st.st_size) + 1);
        qsizetype done = 0;
        while (done < content.size()) {
            const ssize_t count = ::read(fd, content.data() + done, std::size_t(content.size() - done));
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0)
                why = systemErrorText(errno);
            if (count <= 0)
                break;
            done += count;
            if (done > maxBytes) {
                why = systemErrorText(EFBIG);
                break;
            }
            if (done == content.size())
                content.resize(content.size() * 2);
        }
        content.truncate(why.isEmpty() ? done : 0);
    }
    ::close(fd);
    return why;
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
