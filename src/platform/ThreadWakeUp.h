#pragma once

#include <QObject>
#include <memory>

class QSocketNotifier;

namespace platform {

//! Wakes the thread that made it from any other thread: wake() writes to an
//! eventfd, and that thread's event loop emits woken(). What is handed over
//! beside the wake-up goes under a std::mutex, so the waking thread passes
//! nothing through Qt's event queues, whose locks the thread checker cannot
//! see; it sees the mutex, and the eventfd as a hand-over of its own.
class ThreadWakeUp : public QObject {
    Q_OBJECT
public:
    explicit ThreadWakeUp(QObject* parent = nullptr);
    ~ThreadWakeUp() override;

    //! From any thread. Wake-ups that come before the loop looks merge into
    //! one woken(). False when the system gave no eventfd (then nothing
    //! wakes: the owner polls).
    bool wake();
    //! Whether wake() can wake anything.
    bool isValid() const { return m_fd >= 0; }

Q_SIGNALS:
    void woken();

private:
    void drain();

    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace platform
