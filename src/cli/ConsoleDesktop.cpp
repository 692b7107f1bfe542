#include "cli/ConsoleDesktop.h"

#include "platform/FileName.h"

#include <QCoreApplication>

namespace cli {

platform::Desktop::Answer ConsoleDesktop::messageBox(const QString& text, const QString& /*title*/, Icon /*icon*/,
                                                     Buttons buttons)
{
    if (m_quiet)
        return defaultAnswer(buttons);
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(u'\r', u'\n');
    // A file name's bytes that are not UTF-8 are written back as they came.
    const QByteArray bytes = platform::nativeName(lines) + '\n';
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), m_messages);
    std::fflush(m_messages);
    return defaultAnswer(buttons);
}

void ConsoleDesktop::processEvents()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

platform::Desktop::Answer ConsoleDesktop::defaultAnswer(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
    case Buttons::RetryCancel:
        return Answer::Cancel;
    }
    return Answer::Cancel;
}

} // namespace cli
