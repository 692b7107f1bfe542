#pragma once

#include "cli/ConsoleDesktop.h"

#include <QString>
#include <csignal>
#include <cstdio>
#include <functional>
#include <iterator>
#include <optional>

namespace cli {

//! The Desktop of `tonemill convert`: messages on standard error, a progress
//! bar there while it is a terminal, and Ctrl+C, SIGTERM (a service manager,
//! a shutdown) and SIGHUP (a closed terminal, a logout) turned into the Stop
//! click. It never powers the machine off.
class ConvertConsole : public ConsoleDesktop {
public:
    //! What the messages' stream is: no terminal (no bar), a terminal that
    //! takes no escape codes (TERM unset, empty or "dumb": the bar is redrawn
    //! with a carriage return and blanks), or one that does.
    enum class Terminal { None, Dumb, Full };
    //! The kind of `stream`, with the terminal named by `term` (TERM).
    static Terminal terminalOf(std::FILE* stream, const QByteArray& term);

    //! What the progress line shows.
    struct Progress {
        int row = 0; //!< the file shown, counted from 1
        int rows = 0;
        int percent = 0;
        QString name;
        std::optional<double> rate;        //!< audio seconds converted per second
        std::optional<qint64> secondsLeft; //!< the time the batch has left
    };
    //! The line of `progress`: "[###...]  42% 3/12 name  12.5x  2:10 left".
    static QString progressText(const Progress& progress);

    //! Messages go to `messages`; the bar only when it is a terminal.
    explicit ConvertConsole(std::FILE* messages = stderr);
    ConvertConsole(std::FILE* messages, Terminal terminal);
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

    //! Whether the progress bar is shown (standard error is a terminal and
    //! the run is not quiet).
    bool showsProgress() const { return m_terminal != Terminal::None && !quiet(); }
    //! Draws the bar; redraws only when something shown has changed.
    void drawProgress(const Progress& progress);
    //! Removes the bar from the terminal line, so other text can be written.
    void clearProgress();

private:
    static void onInterrupt(int signal);
    static volatile std::sig_atomic_t s_interrupted;
    static constexpr int kCaught[] = {SIGINT, SIGTERM, SIGHUP};

    std::FILE* m_messages;
    Terminal m_terminal = Terminal::None;
    bool m_drawn = false;
    bool m_caught[std::size(kCaught)] = {};
    struct sigaction m_previous[std::size(kCaught)] = {};
    QString m_lastLine;
    std::function<void()> m_yieldHook;
};

} // namespace cli
