#pragma once

#include <QString>

//! The services of the screen that headless code needs: message boxes, dialogs,
//! the shell, power-off and yielding to the event loop. The window implements it
//! with Qt, the command line prints and answers with defaults, tests script it.
//! Later features add their own members here.
class Desktop {
public:
    enum class Icon { None, Critical, Question, Exclamation, Information };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel };
    enum class Answer { Ok, Cancel, Yes, No, Retry };

    virtual ~Desktop() = default;

    //! Shows a modal message box and returns the button the user chose.
    virtual Answer messageBox(const QString& text, const QString& title, Icon icon, Buttons buttons) = 0;

    //! Lets pending window events run once (the yield of long work).
    virtual void processEvents() = 0;

    //! Starts the system's window-move loop, as a press on a caption would.
    virtual void dragWindow() = 0;
};
