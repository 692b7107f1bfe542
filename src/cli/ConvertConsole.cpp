#include "cli/ConvertConsole.h"

#include "platform/Path.h"
#include "platform/StopDeadline.h"

#include <algorithm>
#include <unistd.h>

namespace cli {

namespace {

constexpr int kBarWidth = 30;
constexpr int kNameWidth = 40;

} // namespace

volatile std::sig_atomic_t ConvertConsole::s_interrupted = 0;

ConvertConsole::Terminal ConvertConsole::terminalOf(std::FILE* stream, const QByteArray& term)
{
    if (::isatty(::fileno(stream)) != 1)
        return Terminal::None;
    return term.isEmpty() || term == "dumb" ? Terminal::Dumb : Terminal::Full;
}

ConvertConsole::ConvertConsole(std::FILE* messages) : ConvertConsole(messages, terminalOf(messages, qgetenv("TERM"))) {}

ConvertConsole::ConvertConsole(std::FILE* messages, Terminal terminal)
    : ConsoleDesktop(messages), m_messages(messages), m_terminal(terminal)
{
}

ConvertConsole::~ConvertConsole()
{
    clearProgress();
    for (std::size_t i = 0; i < std::size(kCaught); ++i)
        if (m_caught[i])
            ::sigaction(kCaught[i], &m_previous[i], nullptr);
}

void ConvertConsole::onInterrupt(int signal)
{
    if (s_interrupted == 0)
        s_interrupted = signal;
    platform::StopDeadline::arm(signal);
}

void ConvertConsole::catchInterrupt()
{
    s_interrupted = 0;
    struct sigaction action {};
    action.sa_handler = &ConvertConsole::onInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND; // the second one ends the process
    for (std::size_t i = 0; i < std::size(kCaught); ++i)
        m_caught[i] = ::sigaction(kCaught[i], &action, &m_previous[i]) == 0;
}

void ConvertConsole::processEvents()
{
    ConsoleDesktop::processEvents();
    if (m_yieldHook)
        m_yieldHook();
}

platform::Desktop::Answer ConvertConsole::messageBox(const QString& text, const QString& title, Icon icon,
                                                     Buttons buttons)
{
    clearProgress();
    return ConsoleDesktop::messageBox(text, title, icon, buttons);
}

QString ConvertConsole::progressText(const Progress& progress)
{
    const int percent = qBound(0, progress.percent, 100);
    const int filled = percent * kBarWidth / 100;
    QString shownName = platform::Path(progress.name).fileName();
    for (QChar& c : shownName)
        if (c.category() == QChar::Other_Control)
            c = u'?'; // a name never drives the terminal
    if (shownName.size() > kNameWidth)
        shownName = shownName.left(kNameWidth - 3) + QStringLiteral("...");
    QString line = QStringLiteral("[%1%2] %3% %4/%5 %6")
                       .arg(QString(filled, u'#'), QString(kBarWidth - filled, u'.'))
                       .arg(percent, 3)
                       .arg(progress.row)
                       .arg(progress.rows)
                       .arg(shownName);
    if (progress.rate)
        line += QStringLiteral("  %1x").arg(*progress.rate, 0, 'f', 1);
    if (progress.secondsLeft) {
        const qint64 s = *progress.secondsLeft;
        line += s >= 3600 ? QStringLiteral("  %1:%2:%3 left")
                                .arg(s / 3600)
                                .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
                                .arg(s % 60, 2, 10, QLatin1Char('0'))
                          : QStringLiteral("  %1:%2 left").arg(s / 60).arg(s % 60, 2, 10, QLatin1Char('0'));
    }
    return line;
}

void ConvertConsole::drawProgress(const Progress& progress)
{
    if (!showsProgress())
        return;
    const QString line = progressText(progress);
    if (m_drawn && line == m_lastLine)
        return;
    // A dumb terminal takes no escape codes: the line is drawn over with
    // blanks where the last one was longer.
    const qsizetype longer = m_drawn ? std::max<qsizetype>(0, m_lastLine.size() - line.size()) : 0;
    const QByteArray bytes =
        m_terminal == Terminal::Full ? "\r\033[K" + line.toUtf8() : '\r' + line.toUtf8() + QByteArray(longer, ' ');
    m_lastLine = line;
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), m_messages);
    std::fflush(m_messages);
    m_drawn = true;
}

void ConvertConsole::clearProgress()
{
    if (!m_drawn)
        return;
    const QByteArray bytes =
        m_terminal == Terminal::Full ? QByteArray("\r\033[K") : '\r' + QByteArray(m_lastLine.size(), ' ') + '\r';
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), m_messages);
    std::fflush(m_messages);
    m_drawn = false;
}

} // namespace cli
