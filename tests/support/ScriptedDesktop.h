#pragma once

#include "app/Desktop.h"

#include <QList>
#include <QString>

#include <deque>
#include <functional>

namespace testsupport {

//! A Desktop for tests: records every request and answers message boxes from
//! a script (Ok / the first button when the script is empty).
class ScriptedDesktop : public Desktop {
public:
    struct Box {
        QString text;
        QString title;
        Icon icon;
        Buttons buttons;
    };

    QList<Box> boxes;
    std::deque<Answer> answers;
    int eventYields = 0;
    int windowDrags = 0;
    std::function<void()> onProcessEvents;

    Answer messageBox(const QString& text, const QString& title, Icon icon, Buttons buttons) override;
    void processEvents() override;
    void dragWindow() override { ++windowDrags; }
};

} // namespace testsupport
