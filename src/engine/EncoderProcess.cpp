#include "engine/EncoderProcess.h"

#include "platform/SystemError.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace engine {

namespace {

using Clock = std::chrono::steady_clock;

// A child that accepts no input for this long, or that is still running this
// long after its input was closed, is treated as hung.
constexpr auto kStallLimit = std::chrono::seconds(30);
// How long a child that is hung, or told to stop, gets to finish its output.
constexpr auto kGrace = std::chrono::milliseconds(150);
// The longest wait between two runs of the wait hook.
constexpr int kHookIntervalMs = 100;
constexpr std::size_t kErrorTailKeep = 8192;
constexpr std::size_t kWriteSlice = 65536;

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool setNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

int millisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, kHookIntervalMs));
}

//! Blocks SIGPIPE on this thread for its lifetime, and swallows a SIGPIPE that
//! a write to a closed pipe raised meanwhile, so a dead child cannot kill us
//! whatever the process-wide disposition of SIGPIPE is.
class SigpipeGuard {
public:
    SigpipeGuard()
    {
        sigemptyset(&m_pipe);
        sigaddset(&m_pipe, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        m_wasPending = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &m_pipe, &m_previous);
    }
    ~SigpipeGuard()
    {
        if (!m_wasPending) {
            const timespec zero{0, 0};
            while (sigtimedwait(&m_pipe, nullptr, &zero) == SIGPIPE) {
            }
        }
        pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
    }
    SigpipeGuard(const SigpipeGuard&) = delete;
    SigpipeGuard& operator=(const SigpipeGuard&) = delete;

private:
    sigset_t m_pipe;
    sigset_t m_previous;
    bool m_wasPending = false;
};

} // namespace

std::unique_ptr<EncoderProcess> EncoderProcess::start(const std::vector<std::string>& arguments, std::string* why,
                                                      OutputSink outputSink)
{
    auto setWhy = [why](const std::string& text) {
        if (why)
            *why = text;
    };
    if (arguments.empty() || arguments.front().empty()) {
        setWhy("the command line names no program");
        return nullptr;
    }
    int input[2] = {-1, -1};
    int errors[2] = {-1, -1};
    int output[2] = {-1, -1};
    if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(errors, O_CLOEXEC) != 0 ||
        (outputSink && ::pipe2(output, O_CLOEXEC) != 0)) {
        setWhy(std::string("cannot make a pipe: ") + platform::systemErrorString(errno));
        for (int fd : {input[0], input[1], errors[0], errors[1], output[0], output[1]})
            closeFd(fd);
        return nullptr;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
    if (outputSink)
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, errors[1], STDERR_FILENO);

    // The child starts with default signal handling and nothing blocked, so
    // it dies of SIGPIPE normally even though we shield ourselves from it.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

    std::vector<char*> argv;
    argv.reserve(arguments.size() + 1);
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    pid_t pid = -1;
    const int rc = ::posix_spawnp(&pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    closeFd(input[0]);
    closeFd(errors[1]);
    closeFd(output[1]);
    if (rc != 0) {
        setWhy("cannot run " + arguments.front() + ": " + platform::systemErrorString(rc));
        closeFd(input[1]);
        closeFd(errors[0]);
        closeFd(output[0]);
        return nullptr;
    }

    std::unique_ptr<EncoderProcess> process(new EncoderProcess);
    process->m_pid = pid;
    process->m_input = input[1];
    process->m_errorOutput = errors[0];
    process->m_output = output[0];
    process->m_sink = std::move(outputSink);
    process->m_outcome.started = true;
    setNonBlocking(process->m_input);
    setNonBlocking(process->m_errorOutput);
    if (process->m_output >= 0)
        setNonBlocking(process->m_output);
    return process;
}

void EncoderProcess::setWaitHook(WaitHook hook)
{
    std::lock_guard lock(m_mutex);
    m_waitHook = std::move(hook);
}

bool EncoderProcess::stopRequested()
{
    if (!m_stopped && m_waitHook && m_waitHook()) {
        m_stopped = true;
        if (m_outcome.problem.empty())
            m_outcome.problem = "the conversion was stopped";
    }
    return m_stopped;
}

void EncoderProcess::drainOutput()
{
    char buffer[65536];
    while (m_output >= 0) {
        const ssize_t n = ::read(m_output, buffer, sizeof buffer);
        if (n > 0) {
            if (m_sink)
                m_sink(buffer, static_cast<std::size_t>(n));
        } else if (n == 0) {
            closeFd(m_output);
        } else if (errno != EINTR) {
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                closeFd(m_output);
            return;
        }
    }
}

EncoderProcess::~EncoderProcess()
{
    finish();
}

void EncoderProcess::fail(const std::string& problem)
{
    m_broken = true;
    if (m_outcome.problem.empty())
        m_outcome.problem = problem;
}

void EncoderProcess::drainErrorOutput()
{
    char buffer[4096];
    while (m_errorOutput >= 0) {
        const ssize_t n = ::read(m_errorOutput, buffer, sizeof buffer);
        if (n > 0) {
            std::string& tail = m_outcome.errorOutput;
            tail.append(buffer, static_cast<std::size_t>(n));
            if (tail.size() > 2 * kErrorTailKeep)
                tail.erase(0, tail.size() - kErrorTailKeep);
        } else if (n == 0) {
            closeFd(m_errorOutput);
        } else if (errno != EINTR) {
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                closeFd(m_errorOutput);
            return;
        }
    }
}

bool EncoderProcess::reap(bool wait)
{
    if (m_reaped)
        return true;
    int status = 0;
    pid_t result;
    do {
        result = ::waitpid(m_pid, &status, wait ? 0 : WNOHANG);
    } while (result < 0 && errno == EINTR);
    if (result == m_pid) {
        m_reaped = true;
        m_status = status;
    } else if (result < 0) {
        // Reaped elsewhere (someone installed SIGCHLD auto-reaping): the exit
        // status is lost, so it cannot count as a success.
        m_reaped = true;
        m_status = -1;
    }
    return m_reaped;
}

bool EncoderProcess::write(const char* data, std::int64_t bytes)
{
    std::lock_guard lock(m_mutex);
    if (m_broken || m_input < 0)
        return false;
    SigpipeGuard guard;
    auto stallDeadline = Clock::now() + kStallLimit;
    while (bytes > 0) {
        pollfd fds[3] = {{m_input, POLLOUT, 0}, {m_errorOutput, POLLIN, 0}, {m_output, POLLIN, 0}};
        const int ready = ::poll(fds, 3, millisecondsUntil(stallDeadline));
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            fail(std::string("waiting for the encoder failed: ") + platform::systemErrorString(errno));
            break;
        }
        if (fds[1].revents != 0)
            drainErrorOutput();
        if (fds[2].revents != 0)
            drainOutput();
        if (fds[0].revents == 0) {
            if (stopRequested()) {
                fail("the conversion was stopped");
                break;
            }
            if (Clock::now() >= stallDeadline) {
                m_stalled = true;
                fail("the encoder stopped reading its input");
                break;
            }
            continue;
        }
        const auto slice = static_cast<std::size_t>(std::min<std::int64_t>(bytes, kWriteSlice));
        const ssize_t written = ::write(m_input, data, slice);
        if (written > 0) {
            data += written;
            bytes -= written;
            stallDeadline = Clock::now() + kStallLimit;
        } else if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            fail(errno == EPIPE ? std::string("the encoder closed its input before the end of the audio")
                                : std::string("writing to the encoder failed: ") + platform::systemErrorString(errno));
            break;
        }
    }
    if (m_broken) {
        // It will get nothing more: close its input so that it can end.
        closeFd(m_input);
        reap(false);
    }
    return !m_broken;
}

bool EncoderProcess::isActive()
{
    std::lock_guard lock(m_mutex);
    if (m_broken || m_input < 0)
        return false;
    drainErrorOutput();
    drainOutput();
    return !reap(false);
}

EncoderOutcome EncoderProcess::finish()
{
    std::lock_guard lock(m_mutex);
    if (m_finished)
        return m_outcome;
    m_finished = true;
    closeFd(m_input);
    // A hung child, or one told to stop, gets only a short grace.
    auto deadline =
        Clock::now() + ((m_stalled || m_stopped) ? std::chrono::duration_cast<Clock::duration>(kGrace)
                                                 : std::chrono::duration_cast<Clock::duration>(kStallLimit));
    while (!reap(false)) {
        if (Clock::now() >= deadline) {
            ::kill(m_pid, SIGKILL);
            reap(true);
            fail(m_stopped ? "the conversion was stopped"
                           : "the encoder did not end after its input was closed and was killed");
            break;
        }
        pollfd fds[2] = {{m_errorOutput, POLLIN, 0}, {m_output, POLLIN, 0}};
        if (::poll(fds, 2, 20) > 0) {
            if (fds[0].revents != 0)
                drainErrorOutput();
            if (fds[1].revents != 0)
                drainOutput();
        }
        if (!m_stopped && stopRequested())
            deadline = std::min(deadline, Clock::now() + std::chrono::duration_cast<Clock::duration>(kGrace));
    }
    drainErrorOutput();
    closeFd(m_errorOutput);
    // What the child wrote before it ended may still be in the pipe; a
    // process it left behind holding the pipe open does not keep us here.
    while (m_output >= 0) {
        drainOutput();
        pollfd fd{m_output, POLLIN, 0};
        if (m_output >= 0 && ::poll(&fd, 1, 200) <= 0)
            break;
    }
    closeFd(m_output);

    m_outcome.inputComplete = !m_broken;
    if (m_status != -1 && WIFEXITED(m_status)) {
        m_outcome.exited = true;
        m_outcome.exitCode = WEXITSTATUS(m_status);
        if (m_outcome.exitCode != 0 && m_outcome.problem.empty())
            m_outcome.problem = "the encoder exited with status " + std::to_string(m_outcome.exitCode);
    } else if (m_status != -1 && WIFSIGNALED(m_status)) {
        m_outcome.signal = WTERMSIG(m_status);
        if (m_outcome.problem.empty())
            m_outcome.problem =
                std::string("the encoder was ended by signal ") + platform::signalText(m_outcome.signal);
    } else if (m_outcome.problem.empty()) {
        m_outcome.problem = "the encoder's exit status could not be read";
    }
    return m_outcome;
}

} // namespace engine
