#pragma once

#include "platform/Desktop.h"

#include <QList>
#include <QString>
#include <deque>
#include <functional>

namespace testsupport {

//! A Desktop for tests: records every request and answers message boxes from
//! a script (Ok / the first button when the script is empty), dialogs from
//! their own scripts (cancelled when empty).
class ScriptedDesktop : public platform::Desktop {
public:
    struct Box {
        QString text;
        QString title;
        Icon icon;
        Buttons buttons;
    };

    struct OpenFileRequest {
        QList<FileFilter> filters;
        QString title;
        bool multiSelect;
        QString folderKey;
    };
    struct FolderRequest {
        QString title;
        bool newStyle;
        QString optionText; //!< the picker's check box, empty when it had none
        bool optionShown = false;
        QString folderKey;
    };

    QList<Box> boxes;
    QList<OpenFileRequest> openFileDialogs;
    std::deque<platform::OpenFileAnswer> openFileAnswers;
    QList<FolderRequest> folderPickers;
    std::deque<QString> folderAnswers;
    //! What the user sets the picker's check box to (left as shown when empty).
    std::deque<bool> folderOptionAnswers;
    QStringList shellOpened;
    bool shellOpenSucceeds = true;
    std::deque<Answer> answers;
    int eventYields = 0;
    int windowDrags = 0;
    int windowDragsEnded = 0;
    int powerOffs = 0; //!< power-off requests, never carried out
    std::function<void()> onProcessEvents;
    int progressUpdates = 0; //!< calls of showProgress
    int progressHides = 0;
    //! Whether each progress update finds Cancel pressed (not pressed when empty).
    std::deque<bool> progressCancels;
    //! Runs while a message box is "open" (a real box runs its own event loop).
    std::function<void()> whileBoxOpen;

    Answer messageBox(const QString& text, const QString& title, Icon icon, Buttons buttons) override;
    void processEvents() override;
    void dragWindow() override { ++windowDrags; }
    void endWindowDrag() override { ++windowDragsEnded; }
    platform::OpenFileAnswer ShowOpenFileDialog(const QList<FileFilter>& filters, const QString& title,
                                                bool multiSelect, const QString& folderKey) override;
    QString BrowseForFolder(const QString& title, bool newStyle, const QString& folderKey) override;
    QString BrowseForFolderWithOption(const QString& title, const QString& optionText, bool& option,
                                      const QString& folderKey) override;
    bool shellOpen(const QString& fileOrUrl) override;
    bool showProgress(const QString& title, const QString& label, qsizetype done, qsizetype total) override;
    void hideProgress() override { ++progressHides; }
    bool powerOff() override
    {
        ++powerOffs;
        return true;
    }
    //! Countdowns shown before a power-off; each answers from the script
    //! (true: let it run out) and is cancelled when the script is empty.
    int powerOffCountdowns = 0;
    std::deque<bool> powerOffAnswers;
    bool confirmPowerOff(const QString&, const QString&, const QString&, int) override
    {
        ++powerOffCountdowns;
        if (powerOffAnswers.empty())
            return false;
        const bool answer = powerOffAnswers.front();
        powerOffAnswers.pop_front();
        return answer;
    }
    //! Notifications sent, as "title: text".
    QStringList notifications;
    void notify(const QString& title, const QString& text) override
    {
        notifications.append(title + QStringLiteral(": ") + text);
    }

    //! Scripts the next open-file dialog to answer as if these files were chosen.
    void chooseFiles(const QStringList& absolutePaths)
    {
        openFileAnswers.push_back(platform::OpenFileAnswer::chosen(absolutePaths));
    }
};

} // namespace testsupport
