#pragma once

#include <QString>
#include <atomic>
#include <memory>
#include <mutex>

namespace disc {

//! The right to read one optical drive: a drive seeks badly between two
//! readers, so the tracks of one drive are read one after another while
//! their encoding may still overlap with other work.
class DriveLock {
public:
    //! Waits for `device`'s drive; gives up (false) once `cancel` is set.
    bool acquire(const QString& device, const std::atomic<bool>* cancel);
    void release();
    bool held() const { return m_lock.owns_lock(); }

private:
    std::shared_ptr<std::timed_mutex> m_mutex;
    std::unique_lock<std::timed_mutex> m_lock;
};

} // namespace disc
