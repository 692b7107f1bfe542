#include "support/ScriptedDesktop.h"

namespace testsupport {

platform::Desktop::Answer ScriptedDesktop::messageBox(const QString& text, const QString& title, Icon icon,
                                                      Buttons buttons)
{
    boxes.append({text, title, icon, buttons});
    if (whileBoxOpen)
        whileBoxOpen();
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

bool ScriptedDesktop::showProgress(const QString& title, const QString& label, qsizetype done, qsizetype total)
{
    (void)title, (void)label, (void)done, (void)total;
    ++progressUpdates;
    if (progressCancels.empty())
        return true;
    const bool cancel = progressCancels.front();
    progressCancels.pop_front();
    return !cancel;
}

platform::OpenFileAnswer ScriptedDesktop::ShowOpenFileDialog(const QList<FileFilter>& filters, const QString& title,
                                                             bool multiSelect, const QString& folderKey)
{
    openFileDialogs.append({filters, title, multiSelect, folderKey});
    if (openFileAnswers.empty())
        return {};
    const platform::OpenFileAnswer answer = openFileAnswers.front();
    openFileAnswers.pop_front();
    return answer;
}

QString ScriptedDesktop::BrowseForFolder(const QString& title, bool newStyle, const QString& folderKey)
{
    folderPickers.append({title, newStyle, QString(), false, folderKey});
    if (folderAnswers.empty())
        return {};
    const QString answer = folderAnswers.front();
    folderAnswers.pop_front();
    return answer;
}

QString ScriptedDesktop::BrowseForFolderWithOption(const QString& title, const QString& optionText, bool& option,
                                                   const QString& folderKey)
{
    folderPickers.append({title, false, optionText, option, folderKey});
    if (folderAnswers.empty())
        return {};
    const QString answer = folderAnswers.front();
    folderAnswers.pop_front();
    if (!folderOptionAnswers.empty()) {
        option = folderOptionAnswers.front();
        folderOptionAnswers.pop_front();
    }
    return answer;
}

bool ScriptedDesktop::shellOpen(const QString& fileOrUrl)
{
    shellOpened.append(fileOrUrl);
    return shellOpenSucceeds;
}

} // namespace testsupport
