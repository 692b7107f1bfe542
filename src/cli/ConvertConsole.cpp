#include "cli/ConvertConsole.h"

#include "platform/Path.h"
#include "platform/StopDeadline.h"

#include <unistd.h>

namespace cli {

namespace {

constexpr int kBarWidth = 30;
constexpr int kNameWidth = 40;

} // namespace

volatile std::sig_atomic_t ConvertConsole::s_interrupted = 0;

ConvertConsole::ConvertConsole(std::FILE* messages)
    : ConsoleDesktop(messages), m_messages(messages), m_progress(::isatty(::fileno(messages)) == 1)
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

void ConvertConsole::drawProgress(int row, int rows, int percent, const QString& name)
{
    if (!m_progress)
        return;
    percent = qBound(0, percent, 100);
    const int filled = percent * kBarWidth / 100;
    QString shownName = platform::Path(name).fileName();
    for (QChar& c : shownName)
        if (c.category() == QChar::Other_Control)
            c = u'?'; // a name never drives the terminal
    if (shownName.size() > kNameWidth)
        shownName = shownName.left(kNameWidth - 3) + QStringLiteral("...");
    const QString line = QStringLiteral("[%1%2] %3% %4/%5 %6")
                             .arg(QString(filled, u'#'), QString(kBarWidth - filled, u'.'))
                             .arg(percent, 3)
                             .arg(row)
                             .arg(rows)
                             .arg(shownName);
    if (m_drawn && line == m_lastLine)
        return;
    m_lastLine = line;
    const QByteArray bytes = "\r\033[K" + line.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), m_messages);
    std::fflush(m_messages);
    m_drawn = true;
}

void ConvertConsole::clearProgress()
{
    if (!m_drawn)
        return;
    std::fputs("\r\033[K", m_messages);
    std::fflush(m_messages);
    m_drawn = false;
}

} // namespace cli
