#pragma once

#include "platform/OpenFileAnswer.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace platform {

//! The services of the screen that headless code needs: message boxes, dialogs,
//! the shell, power-off and yielding to the event loop. The window implements it
//! with Qt, the command line prints and answers with defaults, tests script it.
//! Later features add their own members here.
class Desktop {
public:
    enum class Icon { None, Critical, Question, Exclamation, Information };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
    enum class Answer { Ok, Cancel, Yes, No, Retry };

    //! One entry of an open-file dialog's filter list: the description shown
    //! and its patterns ("*.wav;*.mp3").
    struct FileFilter {
        QString description;
        QString patterns;
        bool operator==(const FileFilter&) const = default;
    };

    virtual ~Desktop() = default;

    //! Shows a modal message box and returns the button the user chose.
    virtual Answer messageBox(const QString& text, const QString& title, Icon icon, Buttons buttons) = 0;

    //! Lets pending window events run once (the yield of long work).
    virtual void processEvents() = 0;

    //! Lets pending events other than the user's clicks and keys run once:
    //! the window repaints while work that must not be interrupted goes on.
    virtual void processEventsWithoutInput() { processEvents(); }

    //! Shows or updates the modal progress box of long work the user may
    //! cancel: `label` over a bar at `done` of `total`. False once the user
    //! has pressed its Cancel.
    virtual bool showProgress(const QString& title, const QString& label, qsizetype done, qsizetype total)
    {
        (void)title, (void)label, (void)done, (void)total;
        return true;
    }

    //! Closes the progress box, when one is shown.
    virtual void hideProgress() {}

    //! Starts the system's window-move loop, as a press on a caption would.
    virtual void dragWindow() = 0;
    //! Ends a window move begun by dragWindow() whose button has come back
    //! to the window: the system took it too late and must not go on moving.
    virtual void endWindowDrag() {}

    // Each dialog is named by `folderKey` ("AddAudioFiles", "OutputFolder"):
    // it opens in the folder it was last used in, kept for the user under
    // that name (DialogFolders), or in the home folder.

    //! The open-file dialog, owned by the main window: the files chosen, or
    //! cancelled when the user cancelled, the choice was too long (see
    //! OpenFileAnswer) or the dialog failed. An empty filter list stands for
    //! "All Files (*.*)". The first filter is selected.
    virtual OpenFileAnswer ShowOpenFileDialog(const QList<FileFilter>& filters, const QString& title, bool multiSelect,
                                              const QString& folderKey)
    {
        (void)filters, (void)title, (void)multiSelect, (void)folderKey;
        return {};
    }

    //! The folder picker, owned by the main window: the chosen folder's path,
    //! or an empty text when the user cancelled or it failed. `newStyle`
    //! offers the picker's richer form (with a "new folder" button).
    virtual QString BrowseForFolder(const QString& title, bool newStyle, const QString& folderKey)
    {
        (void)title, (void)newStyle, (void)folderKey;
        return {};
    }

    //! The folder picker with one check box below it (Add Folder's "Include
    //! sub-folders"): `optionText` is its caption, `option` its state going
    //! in and, when a folder was chosen, the user's choice coming out. The
    //! chosen folder's path, or an empty text (and `option` unchanged) when
    //! the user cancelled. Without a picker of its own, the plain one.
    virtual QString BrowseForFolderWithOption(const QString& title, const QString& optionText, bool& option,
                                              const QString& folderKey)
    {
        (void)optionText, (void)option;
        return BrowseForFolder(title, false, folderKey);
    }

    //! Asks the desktop to "open" a file with its application, or a web address
    //! in the browser. False when nothing could be started.
    virtual bool shellOpen(const QString& fileOrUrl)
    {
        (void)fileOrUrl;
        return false;
    }

    //! Powers the machine off cleanly through the session's login manager
    //! (never forced). False when the request could not be made.
    virtual bool powerOff() { return false; }

    //! Counts down `seconds` before the machine is powered off: `text` (with
    //! "%1" for the seconds left) over a button to power off at once
    //! (`powerOffNow`) and one to cancel (`cancel`). True when the countdown
    //! ran out or the user chose to power off now; false when cancelled, and
    //! where nobody can be asked.
    virtual bool confirmPowerOff(const QString& text, const QString& powerOffNow, const QString& cancel, int seconds)
    {
        (void)text, (void)powerOffNow, (void)cancel, (void)seconds;
        return false;
    }

    //! Tells the user something happened while the program's window is not
    //! in front (a desktop notification); nothing while it is.
    virtual void notify(const QString& title, const QString& text) { (void)title, (void)text; }
};

} // namespace platform
