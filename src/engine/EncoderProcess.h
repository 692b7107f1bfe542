#pragma once

#include "engine/Channel.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <sys/types.h>
#include <vector>

namespace engine {

//! How an encoder child process ended, as BASS_Encode_Stop found it.
struct EncoderOutcome {
    bool started = false;       // the program was executed
    bool inputComplete = false; // every byte handed to it reached its input
    bool exited = false;        // it ended by itself (not by a signal)
    int exitCode = -1;          // its exit status when `exited`
    int signal = 0;             // the signal that ended it, 0 if none
    std::string problem;        // why it failed, in plain English; empty on success
    std::string errorOutput;    // the last few KiB it wrote on its standard error

    bool succeeded() const { return started && inputComplete && exited && exitCode == 0; }
};

//! An encoder program running as a child process: what it is fed arrives on
//! its standard input through a pipe. Its standard output goes to /dev/null,
//! or, when an output sink is given, is read through a pipe and handed to the
//! sink (so the caller writes the encoded file and knows whether every byte
//! reached the disk). Its standard error is collected (the last few KiB) while
//! we write, so a chatty child can never block us.
//!
//! Every wait on the child (for room in its input, for its end) runs the wait
//! hook at least every 100 ms; when the hook says stop, feeding ends at once
//! and the child gets a short grace to finish its output before it is killed. A child that dies or stops reading does
//! not take us down: SIGPIPE is blocked on the writing thread, the failure is recorded and later data is dropped.
class EncoderProcess : public ChannelTap {
public:
    //! Starts `arguments[0]` (a path, or a bare name searched on PATH) without
    //! a shell. Returns nullptr and sets `why` when it cannot be executed.
    using OutputSink = std::function<void(const char* data, std::size_t bytes)>;
    using WaitHook = std::function<bool()>;

    [[nodiscard]] static std::unique_ptr<EncoderProcess> start(const std::vector<std::string>& arguments,
                                                               std::string* why, OutputSink outputSink = {});

    //! Sets the hook run while waiting on the child; true from it means stop.
    void setWaitHook(WaitHook hook);

    ~EncoderProcess() override; // closes the input and reaps the child if finish() was not called

    EncoderProcess(const EncoderProcess&) = delete;
    EncoderProcess& operator=(const EncoderProcess&) = delete;

    //! Writes to the child's input; may wait while the child catches up.
    //! False once the child no longer accepts data.
    [[nodiscard]] bool write(const char* data, std::int64_t bytes);

    //! A child that stops accepting data is found when the encoder is stopped
    //! (BASS_Encode_Stop fails), so the tap drops the write's result.
    void deliver(const char* data, std::int64_t bytes) override { static_cast<void>(write(data, bytes)); }

    //! Running and still accepting data.
    bool isActive();

    //! Closes the child's input, waits for it to end and tells how it went.
    //! A child that keeps running long after its input ended is killed.
    EncoderOutcome finish();

    pid_t pid() const { return m_pid; }

private:
    EncoderProcess() = default;
    void drainErrorOutput();
    void drainOutput();
    bool stopRequested();
    bool reap(bool wait);
    void fail(const std::string& problem);

    std::mutex m_mutex;
    pid_t m_pid = -1;
    int m_input = -1;       // write end of the child's standard input
    int m_errorOutput = -1; // read end of the child's standard error
    int m_output = -1;      // read end of the child's standard output, when captured
    OutputSink m_sink;
    WaitHook m_waitHook;
    bool m_stopped = false; // the wait hook asked to stop
    bool m_stalled = false; // the child stopped reading its input
    bool m_reaped = false;
    bool m_broken = false; // writing failed; later data is dropped
    bool m_finished = false;
    int m_status = 0; // waitpid status once reaped
    EncoderOutcome m_outcome;
};

} // namespace engine
