#pragma once

#include "platform/Desktop.h"

#include <cstdio>

namespace cli {

//! The Desktop of the command line: a message box becomes its text on
//! standard error, answered with the most cautious of its buttons (Cancel
//! where offered, else No, else OK); dialogs are cancelled.
class ConsoleDesktop : public platform::Desktop {
public:
    explicit ConsoleDesktop(std::FILE* messages = stderr) : m_messages(messages) {}

    Answer messageBox(const QString& text, const QString& title, Icon icon, Buttons buttons) override;
    void processEvents() override;
    void dragWindow() override {}

    //! The answer given for a box with these buttons.
    static Answer defaultAnswer(Buttons buttons);

    //! Quiet: boxes are answered without a word (--quiet).
    void setQuiet(bool quiet) { m_quiet = quiet; }
    bool quiet() const { return m_quiet; }

private:
    std::FILE* m_messages;
    bool m_quiet = false;
};

} // namespace cli
