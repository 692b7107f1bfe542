#pragma once

#include "platform/Desktop.h"

#include <QPointer>
#include <QProgressDialog>
#include <QWidget>

namespace platform {

//! The Desktop of the window front end, with Qt's dialogs and services.
class QtDesktop : public Desktop {
public:
    //! The window that owns dialogs and is moved by dragWindow().
    void setWindow(QWidget* window) { m_window = window; }

    Answer messageBox(const QString& text, const QString& title, Icon icon, Buttons buttons) override;
    void processEvents() override;
    void processEventsWithoutInput() override;
    bool showProgress(const QString& title, const QString& label, qsizetype done, qsizetype total) override;
    void hideProgress() override;
    void dragWindow() override;
    QString ShowOpenFileDialog(const QList<FileFilter>& filters, const QString& title, bool multiSelect) override;
    QString BrowseForFolder(const QString& title, bool newStyle) override;
    QString BrowseForFolderWithOption(const QString& title, const QString& optionText, bool& option) override;
    bool shellOpen(const QString& fileOrUrl) override;
    bool powerOff() override;
    bool confirmPowerOff(const QString& text, const QString& powerOffNow, const QString& cancel, int seconds) override;
    void notify(const QString& title, const QString& text) override;

    //! The name filter QFileDialog gets for an entry: the description shown
    //! as it stands, with the patterns in a trailing group that the dialog
    //! reads and hides ("*.*" matches every file, as it does on Windows).
    static QString qtNameFilter(const FileFilter& filter);

private:
    QPointer<QWidget> m_window;
    QPointer<QProgressDialog> m_progress;
};

} // namespace platform
