#include "support/ScriptedDesktop.h"

namespace testsupport {

Desktop::Answer ScriptedDesktop::messageBox(const QString& text, const QString& title, Icon icon, Buttons buttons)
{
    boxes.append({text, title, icon, buttons});
    if (!answers.empty()) {
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    switch (buttons) {
    case Buttons::YesNo:
    case Buttons::YesNoCancel:
        return Answer::Yes;
    case Buttons::RetryCancel:
        return Answer::Retry;
    default:
        return Answer::Ok;
    }
}

void ScriptedDesktop::processEvents()
{
    ++eventYields;
    if (onProcessEvents)
        onProcessEvents();
}

} // namespace testsupport
