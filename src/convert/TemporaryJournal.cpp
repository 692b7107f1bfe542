#include "convert/TemporaryJournal.h"

#include "convert/ErrorLog.h"
#include "platform/FileName.h"
#include "platform/FileSystem.h"
#include "platform/Path.h"

#include <QDateTime>
#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace convert {

namespace {

// FAT keeps modification times to two seconds.
constexpr qint64 kTimeSlack = 2;
// A record whose file is gone is dropped once it is this old: a younger one
// may be of a file about to be created.
constexpr qint64 kStaleSeconds = 60;

struct Entry {
    qint64 seconds = 0;
    QByteArray path;
};

//! Threads of one process take turns here; processes through the file's lock.
std::mutex g_mutex;

//! The journal opened and locked for one change.
class LockedJournal {
public:
    explicit LockedJournal(bool create)
    {
        const QString file = TemporaryJournal::path();
        // A folder that cannot be made fails the open below.
        if (create)
            static_cast<void>(platform::makeFolders(platform::Path(file).parent().toString()));
        m_fd = ::open(platform::nativeName(file).constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW | (create ? O_CREAT : 0),
                      0600);
        if (m_fd >= 0 && ::flock(m_fd, LOCK_EX) != 0) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    ~LockedJournal()
    {
        if (m_fd >= 0)
            ::close(m_fd); // and with it the lock
    }
    LockedJournal(const LockedJournal&) = delete;
    LockedJournal& operator=(const LockedJournal&) = delete;

    bool isOpen() const { return m_fd >= 0; }

    std::vector<Entry> read() const
    {
        std::vector<Entry> entries;
        struct stat st {};
        if (::fstat(m_fd, &st) != 0 || st.st_size <= 0)
            return entries;
        QByteArray bytes(qsizetype(st.st_size), '\0');
        const ssize_t got = ::pread(m_fd, bytes.data(), std::size_t(bytes.size()), 0);
        bytes.truncate(got > 0 ? qsizetype(got) : 0);
        for (const QByteArray& record : bytes.split('\0')) {
            const qsizetype blank = record.indexOf(' ');
            bool ok = false;
            const qint64 seconds = blank > 0 ? record.left(blank).toLongLong(&ok) : 0;
            if (ok && blank + 1 < record.size()) // a record cut by a crash is dropped
                entries.push_back({seconds, record.mid(blank + 1)});
        }
        return entries;
    }

    bool write(const std::vector<Entry>& entries) const
    {
        QByteArray bytes;
        for (const Entry& entry : entries)
            bytes += QByteArray::number(entry.seconds) + ' ' + entry.path + '\0';
        return ::pwrite(m_fd, bytes.constData(), std::size_t(bytes.size()), 0) == ssize_t(bytes.size()) &&
               ::ftruncate(m_fd, off_t(bytes.size())) == 0;
    }

private:
    int m_fd = -1;
};

bool gone(const Entry& entry, qint64 now)
{
    struct stat st {};
    return now - entry.seconds > kStaleSeconds && ::lstat(entry.path.constData(), &st) != 0 && errno == ENOENT;
}

} // namespace

QString TemporaryJournal::path()
{
    // The user's own state folder, where their error log goes too.
    return platform::Path(ErrorLog::userPath()).parent().toString() + QStringLiteral("/temporary-outputs");
}

bool TemporaryJournal::record(const QByteArray& nativePath)
{
    std::lock_guard lock(g_mutex);
    const LockedJournal journal(true);
    if (!journal.isOpen())
        return false;
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    std::vector<Entry> entries = journal.read();
    std::erase_if(entries, [now](const Entry& entry) { return gone(entry, now); });
    entries.push_back({now, nativePath});
    return journal.write(entries);
}

void TemporaryJournal::forget(const QByteArray& nativePath)
{
    std::lock_guard lock(g_mutex);
    const LockedJournal journal(false);
    if (!journal.isOpen())
        return;
    std::vector<Entry> entries = journal.read();
    if (std::erase_if(entries, [&nativePath](const Entry& entry) { return entry.path == nativePath; }) > 0)
        static_cast<void>(journal.write(entries)); // a record left behind only names a file that is gone
}

bool TemporaryJournal::holds(const QByteArray& nativePath, qint64 modifiedSeconds)
{
    std::lock_guard lock(g_mutex);
    const LockedJournal journal(false);
    if (!journal.isOpen())
        return false;
    for (const Entry& entry : journal.read())
        if (entry.path == nativePath && entry.seconds <= modifiedSeconds + kTimeSlack)
            return true;
    return false;
}

} // namespace convert
