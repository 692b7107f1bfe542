#include "disc/DriveLock.h"

#include "platform/FileSystem.h"

#include <chrono>
#include <map>

namespace disc {

namespace {

// A stop is noticed within this time while a reader waits for its drive.
constexpr std::chrono::milliseconds kPoll(50);

std::shared_ptr<std::timed_mutex> driveMutex(const QString& device)
{
    static std::mutex guard;
    static std::map<QString, std::shared_ptr<std::timed_mutex>> mutexes;
    // Links such as /dev/cdrom name the same drive as /dev/sr0.
    const QString canonical = platform::canonicalPath(device);
    std::lock_guard lock(guard);
    std::shared_ptr<std::timed_mutex>& mutex = mutexes[canonical.isEmpty() ? device : canonical];
    if (!mutex)
        mutex = std::make_shared<std::timed_mutex>();
    return mutex;
}

} // namespace

bool DriveLock::acquire(const QString& device, const std::atomic<bool>* cancel)
{
    if (held())
        return true;
    m_mutex = driveMutex(device);
    std::unique_lock<std::timed_mutex> lock(*m_mutex, std::defer_lock);
    while (!lock.try_lock_for(kPoll)) {
        if (cancel && cancel->load())
            return false;
    }
    m_lock = std::move(lock);
    return true;
}

void DriveLock::release()
{
    if (m_lock.owns_lock())
        m_lock.unlock();
}

} // namespace disc
