#pragma once

#include "platform/Desktop.h"
#include "platform/PortalFileChooser.h"

#include <QPointer>
#include <QProgressDialog>
#include <QWidget>
#include <optional>

class QFileDialog;

namespace platform {

//! The Desktop of the window front end, with Qt's dialogs and services. The
//! file and folder dialogs are the desktop's own where it offers them (the
//! XDG portal), Qt's otherwise; each opens in the folder it was last used in.
class QtDesktop : public Desktop {
public:
    //! Width and height of Qt's file dialog, in average characters and lines.
    static constexpr int kDialogColumns = 118;
    static constexpr int kDialogLines = 30;

    QtDesktop() = default;
    //! `portalBus` is where the desktop's portal is asked for dialogs;
    //! `portalUsed` false always shows Qt's own.
    QtDesktop(const QDBusConnection& portalBus, bool portalUsed) : m_portalBus(portalBus), m_portalUsed(portalUsed) {}

    //! The window that owns dialogs and is moved by dragWindow().
    void setWindow(QWidget* window) { m_window = window; }

    Answer messageBox(const QString& text, const QString& title, Icon icon, Buttons buttons) override;
    void processEvents() override;
    void processEventsWithoutInput() override;
    bool showProgress(const QString& title, const QString& label, qsizetype done, qsizetype total) override;
    void hideProgress() override;
    void dragWindow() override;
    void endWindowDrag() override;
    OpenFileAnswer ShowOpenFileDialog(const QList<FileFilter>& filters, const QString& title, bool multiSelect,
                                      const QString& folderKey) override;
    QString BrowseForFolder(const QString& title, bool newStyle, const QString& folderKey) override;
    QString BrowseForFolderWithOption(const QString& title, const QString& optionText, bool& option,
                                      const QString& folderKey) override;
    bool shellOpen(const QString& fileOrUrl) override;
    bool powerOff() override;
    bool confirmPowerOff(const QString& text, const QString& powerOffNow, const QString& cancel, int seconds) override;
    void notify(const QString& title, const QString& text) override;

    //! The name filter QFileDialog gets for an entry: the description shown
    //! as it stands, with the patterns in a trailing group that the dialog
    //! reads and hides ("*.*" matches every file, as it does on Windows).
    static QString qtNameFilter(const FileFilter& filter);

    //! Qt's file dialog as the program shows it: its own widgets, detail
    //! view, sized so no column is cut.
    static void prepareQtDialog(QFileDialog& dialog);

private:
    QString windowName() const;
    std::optional<PortalFileChooser::Answer> askPortal(const PortalFileChooser::Request& request) const;
    QString pickFolder(const QString& title, bool newStyle, const QString& folderKey, const QString& optionText,
                       bool* option);

    QDBusConnection m_portalBus = QDBusConnection::sessionBus();
    bool m_portalUsed = qEnvironmentVariable("TONEMILL_FILE_DIALOG") != QLatin1String("qt");
    QPointer<QWidget> m_window;
    QPointer<QProgressDialog> m_progress;
};

} // namespace platform
