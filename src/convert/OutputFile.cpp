#include "convert/OutputFile.h"

#include "convert/OutputPath.h"
#include "convert/TemporaryJournal.h"
#include "platform/FileName.h"
#include "platform/FolderReader.h"
#include "platform/Path.h"
#include "platform/SystemError.h"

#include <QDateTime>
#include <QDir>
#include <QMultiHash>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSet>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace convert {

namespace {

const QString kPrefix = QStringLiteral(".tonemill-");
const QString kMiddle = QStringLiteral(".part");
constexpr int kNameAttempts = 100;
// The random part of a temporary name: 8 letters or digits (base 36).
constexpr quint64 kNameSpace = 2821109907456ull; // 36^8
// The mark every temporary file carries while it is written, and a user's
// file never does; removed before the file gets its final name.
constexpr const char* kMarkName = "user.tonemill";
constexpr char kMarkValue[] = {'p', 'a', 'r', 't'};
// An empty, unlocked temporary file this young may belong to a run that has
// created it and not locked it yet: it is left for a later run to remove.
constexpr qint64 kFreshSeconds = 60;

//! Folders already swept by this process: once per folder is enough.
std::mutex g_sweptMutex;
QSet<QString> g_swept;

//! A file by its identity, whatever the name it is reached by.
using FileId = std::pair<quint64, quint64>;

FileId fileId(const struct stat& st)
{
    return {quint64(st.st_dev), quint64(st.st_ino)};
}

//! What the sweep must never remove: the inputs of the running batch (by
//! file name, so only inputs that have a temporary name are looked at) and
//! the outputs this process made.
std::mutex g_keptMutex;
QMultiHash<QString, QByteArray> g_runInputs;
QSet<FileId> g_outputsMade;

bool isRunInputOrOutput(const QString& name, const struct stat& st)
{
    std::lock_guard lock(g_keptMutex);
    if (g_outputsMade.contains(fileId(st)))
        return true;
    for (auto it = g_runInputs.constFind(name); it != g_runInputs.cend() && it.key() == name; ++it) {
        struct stat input {};
        if (::stat(it.value().constData(), &input) == 0 && fileId(input) == fileId(st))
            return true;
    }
    return false;
}

//! Whether the open file carries the temporary mark.
bool carriesMark(int fd)
{
    char value[sizeof kMarkValue + 1];
    const ssize_t size = ::fgetxattr(fd, kMarkName, value, sizeof value);
    return size == ssize_t(sizeof kMarkValue) && std::memcmp(value, kMarkValue, sizeof kMarkValue) == 0;
}

bool setMark(int fd)
{
    return ::fsetxattr(fd, kMarkName, kMarkValue, sizeof kMarkValue, 0) == 0;
}

//! The temporary files of this process not yet named or removed, for the
//! removal when the process must end at once.
std::mutex g_liveMutex;
QSet<QByteArray> g_live;

void setLive(const QByteArray& path, bool live)
{
    std::lock_guard lock(g_liveMutex);
    if (live)
        g_live.insert(path);
    else
        g_live.remove(path);
}

//! A new temporary name in `folder` ending in `suffix`.
QString temporaryName(const QString& folder, const QString& suffix)
{
    const QString random =
        QString::number(QRandomGenerator::global()->generate64() % kNameSpace, 36).rightJustified(8, u'0');
    return (folder.endsWith(u'/') ? folder : folder + u'/') + kPrefix + random + kMiddle + suffix;
}

//! Makes the temporary file without a name, marks it and only then gives it
//! a temporary name, so no moment shows an unmarked file under such a name.
//! The descriptor with `path` set; -1 where the file system cannot (no
//! O_TMPFILE, no extended attributes).
int createMarked(const QString& folder, const QString& suffix, QString& path)
{
    const int fd = ::open(platform::nativeName(folder).constData(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0666);
    if (fd < 0)
        return -1;
    // Held until the file has its final name: the mark of a live run.
    ::flock(fd, LOCK_EX | LOCK_NB);
    if (!setMark(fd)) {
        ::close(fd);
        return -1;
    }
    const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const QString candidate = temporaryName(folder, suffix);
        if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, platform::nativeName(candidate).constData(),
                     AT_SYMLINK_FOLLOW) == 0) {
            path = candidate;
            return fd;
        }
        if (errno == EEXIST)
            continue;
        // Without /proc, or a file system that links no such file: the
        // journal's way then; a real failure shows there again.
        break;
    }
    ::close(fd);
    return -1;
}

//! Records the name in the journal before the file exists (no mark can be
//! kept here), then makes it.
int createJournalled(const QString& folder, const QString& suffix, QString& path, int& error)
{
    error = 0;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const QString candidate = temporaryName(folder, suffix);
        const QByteArray native = platform::nativeName(candidate);
        const bool recorded = TemporaryJournal::record(native);
        const int fd = ::open(native.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0) {
            error = errno;
            if (recorded)
                TemporaryJournal::forget(native); // the name is someone else's
            if (error == EEXIST)
                continue;
            return -1;
        }
        ::flock(fd, LOCK_EX | LOCK_NB);
        setMark(fd); // harmlessly refused where there are no attributes
        path = candidate;
        return fd;
    }
    error = EEXIST;
    return -1;
}

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

} // namespace

std::unique_ptr<OutputFile> OutputFile::create(const QString& finalPath, QString* why)
{
    const QString folder = platform::Path(finalPath).parent().toString();
    sweepOnce(folder);
    const QString extension = platform::Path(finalPath).extension();
    // Tools that go by the extension still know the type; one the sweep
    // would not recognise is left out.
    const QString suffix = isTemporaryName(kPrefix + QStringLiteral("00000000") + kMiddle + u'.' + extension)
                               ? u'.' + extension
                               : QString();
    QString path;
    int error = 0;
    int fd = createMarked(folder, suffix, path);
    const bool journalled = fd < 0;
    if (journalled)
        fd = createJournalled(folder, suffix, path, error);
    if (fd < 0) {
        if (why)
            *why = platform::systemErrorText(error ? error : EEXIST);
        return nullptr;
    }
    std::unique_ptr<OutputFile> file(new OutputFile);
    file->m_final = finalPath;
    file->m_fd = fd;
    file->m_temporary = path;
    file->m_journalled = journalled;
    setLive(platform::nativeName(path), true);
    return file;
}

OutputFile::~OutputFile()
{
    if (!m_committed)
        discard();
}

bool OutputFile::fail(int error)
{
    if (m_error.isEmpty())
        m_error = platform::systemErrorText(error);
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

bool OutputFile::commitAs(const QString& finalPath)
{
    if (!m_committed)
        m_final = finalPath;
    return commit();
}

bool OutputFile::commit()
{
    return finish(Naming::NextFreeName);
}

bool OutputFile::commitReplacing()
{
    return finish(Naming::Replace);
}

bool OutputFile::finish(Naming naming)
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
    // A finished output is no temporary file, whatever its name.
    ::fremovexattr(m_fd, kMarkName);
    const QByteArray temporary = platform::nativeName(m_temporary);
    const bool named = naming == Naming::Replace ? replaceFinal() : giveFinalName();
    if (!named) {
        discard();
        return false;
    }
    setLive(temporary, false);
    if (m_journalled)
        TemporaryJournal::forget(temporary);
    // A failing close after replacing cannot mean that the file it replaced
    // was better: the data was flushed before the rename.
    return closeCommitted(naming == Naming::NextFreeName);
}

bool OutputFile::replaceFinal()
{
    if (::rename(platform::nativeName(m_temporary).constData(), platform::nativeName(m_final).constData()) != 0)
        return fail(errno);
    return true;
}

bool OutputFile::closeCommitted(bool removeOnFailure)
{
    m_committed = true;
    if (struct stat st{}; ::fstat(m_fd, &st) == 0) {
        std::lock_guard lock(g_keptMutex);
        g_outputsMade.insert(fileId(st));
    }
    const QByteArray folder = platform::nativeName(platform::Path(m_final).parent().toString());
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
        const int error = platform::renameNoReplace(from, platform::nativeName(candidate));
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
    const QByteArray temporary = platform::nativeName(m_temporary);
    ::unlink(temporary.constData());
    setLive(temporary, false);
    if (m_journalled)
        TemporaryJournal::forget(temporary);
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_temporary.clear();
}

bool OutputFile::isTemporaryName(const QString& fileName)
{
    static const QRegularExpression form(QStringLiteral("^\\.tonemill-[0-9a-z]{8}\\.part(\\.[0-9a-z]{1,8})?$"));
    return form.match(fileName).hasMatch();
}

void OutputFile::setRunInputs(const QStringList& paths)
{
    QMultiHash<QString, QByteArray> inputs;
    for (const QString& path : paths) {
        const QString name = platform::Path(path).fileName();
        if (isTemporaryName(name))
            inputs.insert(name, platform::nativeName(path));
    }
    std::lock_guard lock(g_keptMutex);
    g_runInputs = std::move(inputs);
}

int OutputFile::removeLeftovers(const QString& folder)
{
    platform::FolderReader dir(platform::nativeName(folder));
    if (!dir.isOpen())
        return 0;
    const QByteArray folderName = platform::nativeName(folder.endsWith(u'/') ? folder : folder + u'/');
    int removed = 0;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    while (const char* entry = dir.next()) {
        const QString name = platform::fromNativeName(QByteArray(entry));
        if (!isTemporaryName(name))
            continue;
        const int dirFd = dir.fd();
        const int fd = ::openat(dirFd, entry, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat st {};
        struct stat named {};
        // Only what this user's runs made (marked, or recorded in their
        // journal where no mark can be kept), and a lock that can be taken
        // means no live run holds the file.
        const QByteArray path = folderName + entry;
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid() &&
            (carriesMark(fd) || TemporaryJournal::holds(path, qint64(st.st_mtime))) && !isRunInputOrOutput(name, st) &&
            ::flock(fd, LOCK_EX | LOCK_NB) == 0 && !(st.st_size == 0 && now - qint64(st.st_mtime) < kFreshSeconds) &&
            ::fstatat(dirFd, entry, &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_ino == st.st_ino &&
            named.st_dev == st.st_dev && ::unlinkat(dirFd, entry, 0) == 0) {
            TemporaryJournal::forget(path);
            ++removed;
        }
        ::close(fd);
    }
    return removed;
}

void OutputFile::removeUnfinished()
{
    std::lock_guard lock(g_liveMutex);
    for (const QByteArray& path : std::as_const(g_live))
        ::unlink(path.constData());
}

} // namespace convert
