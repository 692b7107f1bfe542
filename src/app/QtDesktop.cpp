#include "app/QtDesktop.h"

#include <QApplication>
#include <QMessageBox>
#include <QWindow>

Desktop::Answer QtDesktop::messageBox(const QString& text, const QString& title, Icon icon, Buttons buttons)
{
    QMessageBox box(m_window);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::None: break;
    }
    switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case Buttons::RetryCancel: box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel); break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Retry: return Answer::Retry;
    default: return Answer::Ok;
    }
}

void QtDesktop::processEvents()
{
    QCoreApplication::processEvents();
}

void QtDesktop::dragWindow()
{
    if (m_window && m_window->windowHandle())
        m_window->windowHandle()->startSystemMove();
}
