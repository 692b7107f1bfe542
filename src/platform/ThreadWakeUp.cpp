#include "platform/ThreadWakeUp.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <sys/eventfd.h>
#include <unistd.h>

namespace platform {

ThreadWakeUp::ThreadWakeUp(QObject* parent) : QObject(parent), m_fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK))
{
    if (m_fd < 0)
        return;
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &ThreadWakeUp::drain);
}

ThreadWakeUp::~ThreadWakeUp()
{
    m_notifier.reset();
    if (m_fd >= 0)
        ::close(m_fd);
}

// Not const: a wake-up changes the state the owner polls, though that state
// lives in the kernel.
// NOLINTNEXTLINE(readability-make-member-function-const)
bool ThreadWakeUp::wake()
{
    if (m_fd < 0)
        return false;
    const std::uint64_t one = 1;
    // A full counter (2^64 - 2 wake-ups unread) fails with EAGAIN: it wakes all the same.
    return ::write(m_fd, &one, sizeof one) == sizeof one || errno == EAGAIN;
}

void ThreadWakeUp::drain()
{
    std::uint64_t count = 0;
    if (::read(m_fd, &count, sizeof count) == sizeof count)
        Q_EMIT woken();
}

} // namespace platform
