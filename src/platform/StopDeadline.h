#pragma once

#include <chrono>
#include <functional>
#include <thread>

namespace platform {

//! The last resort behind a stop that a signal asked for (SIGINT, SIGTERM,
//! SIGHUP): the program stops its work as a Stop click does, and should end
//! well within the limit; when it has not ended `limit` after the first
//! signal (a read that never returns, a library that spins), the process
//! ends at once with the code of an end by that signal (128 + its number),
//! after `beforeExit` (which removes unfinished outputs). One at a time; the
//! object going away disarms it.
class StopDeadline {
public:
    StopDeadline(std::chrono::milliseconds limit, std::function<void()> beforeExit);
    ~StopDeadline();
    StopDeadline(const StopDeadline&) = delete;
    StopDeadline& operator=(const StopDeadline&) = delete;

    //! Starts the count for `signal`; safe in a signal handler. Nothing
    //! happens without a StopDeadline, or after the first call.
    static void arm(int signal);

private:
    void watch();

    std::chrono::milliseconds m_limit;
    std::function<void()> m_beforeExit;
    std::thread m_thread;
};

} // namespace platform
