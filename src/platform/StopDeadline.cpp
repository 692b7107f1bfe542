#include "platform/StopDeadline.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace platform {

namespace {

// The handler only writes a byte (the signal's number; 0 disarms), which
// the watching thread reads.
int g_pipe[2] = {-1, -1};
std::atomic<bool> g_armed = false;

void send(unsigned char byte)
{
    while (::write(g_pipe[1], &byte, 1) < 0 && errno == EINTR) {
    }
}

} // namespace

StopDeadline::StopDeadline(std::chrono::milliseconds limit, std::function<void()> beforeExit)
    : m_limit(limit), m_beforeExit(std::move(beforeExit))
{
    if (g_pipe[0] >= 0 || ::pipe2(g_pipe, O_CLOEXEC) != 0)
        return;
    g_armed = false;
    m_thread = std::thread([this] { watch(); });
}

StopDeadline::~StopDeadline()
{
    if (!m_thread.joinable())
        return;
    send(0);
    m_thread.join();
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void StopDeadline::arm(int signal)
{
    // Lock-free, so safe in a handler.
    if (g_pipe[1] < 0 || g_armed.exchange(true))
        return;
    send(static_cast<unsigned char>(signal));
}

void StopDeadline::watch()
{
    unsigned char signal = 0;
    while (::read(g_pipe[0], &signal, 1) < 0 && errno == EINTR) {
    }
    if (signal == 0)
        return; // disarmed before any signal came
    const auto deadline = std::chrono::steady_clock::now() + m_limit;
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            break;
        pollfd wait{g_pipe[0], POLLIN, 0};
        if (::poll(&wait, 1, static_cast<int>(left.count())) > 0) {
            unsigned char byte = 1;
            if (::read(g_pipe[0], &byte, 1) == 1 && byte == 0)
                return; // the program ended by itself in time
        }
    }
    if (m_beforeExit)
        m_beforeExit();
    ::_exit(128 + signal);
}

} // namespace platform
