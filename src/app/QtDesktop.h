#pragma once

#include "app/Desktop.h"

#include <QPointer>
#include <QWidget>

//! The Desktop of the window front end, with Qt's dialogs and services.
class QtDesktop : public Desktop {
public:
    //! The window that owns dialogs and is moved by dragWindow().
    void setWindow(QWidget* window) { m_window = window; }

    Answer messageBox(const QString& text, const QString& title, Icon icon, Buttons buttons) override;
    void processEvents() override;
    void dragWindow() override;

private:
    QPointer<QWidget> m_window;
};
