#pragma once

#include "cli/ConsoleDesktop.h"

#include <QString>
#include <csignal>
#include <cstdio>
#include <functional>
#include <iterator>

namespace cli {

//! The Desktop of `tonemill convert`: messages on standard error, a progress
//! bar there while it is a terminal, and Ctrl+C, SIGTERM (a service manager,
//! a shutdown) and SIGHUP (a closed terminal, a logout) turned into the Stop
//! click. It never powers the machine off.
class ConvertConsole : public ConsoleDesktop {
public:
    explicit ConvertConsole(std::FILE* messages = stderr);
    ~ConvertConsole() override;

    //! Makes SIGINT, SIGTERM and SIGHUP only raise the stop request (a
    //! second one ends the process as usual). Undone by the destructor.
    void catchInterrupt();
    //! Whether one of them came since catchInterrupt().
    static bool interrupted() { return s_interrupted != 0; }
    //! The first of them that came; 0 when none did.
    static int interruptSignal() { return static_cast<int>(s_interrupted); }

    //! Run at every yield of the batch, after the pending events.
    void setYieldHook(std::function<void()> hook) { m_yieldHook = std::move(hook); }

    void processEvents() override;
    Answer messageBox(const QString& text, const QString& title, Icon icon, Buttons buttons) override;
    bool powerOff() override { return false; }

    //! Whether the progress bar is shown (standard error is a terminal).
    bool showsProgress() const { return m_progress; }
    //! Draws the bar: `percent` of the file `row` of `rows`, named `name`.
    //! Redraws only when something shown has changed.
    void drawProgress(int row, int rows, int percent, const QString& name);
    //! Removes the bar from the terminal line, so other text can be written.
    void clearProgress();

private:
    static void onInterrupt(int signal);
    static volatile std::sig_atomic_t s_interrupted;
    static constexpr int kCaught[] = {SIGINT, SIGTERM, SIGHUP};

    std::FILE* m_messages;
    bool m_progress = false;
    bool m_drawn = false;
    bool m_caught[std::size(kCaught)] = {};
    struct sigaction m_previous[std::size(kCaught)] = {};
    QString m_lastLine;
    std::function<void()> m_yieldHook;
};

} // namespace cli
