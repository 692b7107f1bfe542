#include "platform/QtDesktop.h"

#include "platform/DesktopNotification.h"
#include "platform/DialogFolders.h"
#include "platform/FileName.h"
#include "platform/PowerOff.h"
#include "platform/PowerOffCountdownDialog.h"
#include "platform/QtWindowMove.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMessageBox>
#include <QProgressDialog>
#include <QTreeView>
#include <QUrl>
#include <QWindow>
#include <algorithm>
#include <climits>

namespace platform {

Desktop::Answer QtDesktop::messageBox(const QString& text, const QString& title, Icon icon, Buttons buttons)
{
    QMessageBox box(m_window);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case Icon::Critical:
        box.setIcon(QMessageBox::Critical);
        break;
    case Icon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    case Icon::Exclamation:
        box.setIcon(QMessageBox::Warning);
        break;
    case Icon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case Icon::None:
        break;
    }
    switch (buttons) {
    case Buttons::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case Buttons::OkCancel:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case Buttons::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    case Buttons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case Buttons::RetryCancel:
        box.setStandardButtons(QMessageBox::Retry | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Yes:
        return Answer::Yes;
    case QMessageBox::No:
        return Answer::No;
    case QMessageBox::Cancel:
        return Answer::Cancel;
    case QMessageBox::Retry:
        return Answer::Retry;
    default:
        return Answer::Ok;
    }
}

void QtDesktop::processEvents()
{
    QCoreApplication::processEvents();
}

void QtDesktop::processEventsWithoutInput()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

bool QtDesktop::showProgress(const QString& title, const QString& label, qsizetype done, qsizetype total)
{
    if (!m_progress) {
        m_progress = new QProgressDialog(m_window);
        m_progress->setWindowModality(Qt::WindowModal);
        m_progress->setMinimumDuration(0);
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
        m_progress->setMinimumWidth(420);
        m_progress->show();
    }
    if (m_progress->wasCanceled())
        return false;
    m_progress->setWindowTitle(title);
    // A long path keeps its end (the file's name) in view.
    m_progress->setLabelText(m_progress->fontMetrics().elidedText(label, Qt::ElideMiddle, 400));
    m_progress->setMaximum(int(std::min<qsizetype>(total, INT_MAX)));
    m_progress->setValue(int(std::min<qsizetype>(done, INT_MAX)));
    return true;
}

void QtDesktop::hideProgress()
{
    if (m_progress)
        m_progress->deleteLater();
    m_progress = nullptr;
}

void QtDesktop::dragWindow()
{
    if (m_window)
        static_cast<void>(startSystemMove(m_window->windowHandle())); // without one the window stays put
}

void QtDesktop::endWindowDrag()
{
    if (m_window)
        cancelSystemMove(m_window->windowHandle());
}

QString QtDesktop::qtNameFilter(const FileFilter& filter)
{
    QStringList patterns = filter.patterns.split(u';', Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
        pattern = pattern.trimmed();
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
    }
    return filter.description + QStringLiteral(" (") + patterns.join(u' ') + u')';
}

namespace {

//! The patterns of a filter as the portal takes them.
QStringList globs(const Desktop::FileFilter& filter)
{
    QStringList patterns = filter.patterns.split(u';', Qt::SkipEmptyParts);
    for (QString& pattern : patterns) {
        pattern = pattern.trimmed();
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
    }
    return patterns;
}

//! The folder above `folder`, where a picker opens with `folder` selected.
QString parentOf(const QString& folder)
{
    QDir dir(folder);
    return dir.cdUp() ? dir.path() : folder;
}

} // namespace

void QtDesktop::prepareQtDialog(QFileDialog& dialog)
{
    // Qt's own dialog, whose size the program decides: wide enough for its
    // columns (name, size, type, date) to show whole.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setViewMode(QFileDialog::Detail);
    if (auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        QHeaderView* header = view->header();
        header->setStretchLastSection(false);
        header->setSectionResizeMode(0, QHeaderView::Stretch);
        for (int column = 1; column < header->count(); ++column)
            header->setSectionResizeMode(column, QHeaderView::ResizeToContents);
    }
    const QFontMetrics metrics = dialog.fontMetrics();
    const QSize wanted(metrics.averageCharWidth() * kDialogColumns, metrics.height() * kDialogLines);
    dialog.resize(dialog.sizeHint().expandedTo(wanted));
}

QString QtDesktop::windowName() const
{
    if (m_window && QGuiApplication::platformName() == QLatin1String("xcb"))
        return QStringLiteral("x11:%1").arg(m_window->winId(), 0, 16);
    return {};
}

std::optional<PortalFileChooser::Answer> QtDesktop::askPortal(const PortalFileChooser::Request& request) const
{
    if (!m_portalUsed || !PortalFileChooser::offered(m_portalBus))
        return std::nullopt;
    PortalFileChooser::Request named = request;
    named.parentWindow = windowName();
    return PortalFileChooser::ask(m_portalBus, named);
}

OpenFileAnswer QtDesktop::ShowOpenFileDialog(const QList<FileFilter>& filters, const QString& title, bool multiSelect,
                                             const QString& folderKey)
{
    QList<FileFilter> shown = filters;
    if (shown.isEmpty())
        shown << FileFilter{QStringLiteral("All Files (*.*)"), QStringLiteral("*.*")};
    const QString start = DialogFolders::startFolder(folderKey);

    QStringList chosen;
    PortalFileChooser::Request request;
    request.title = title;
    request.multiple = multiSelect;
    request.folder = start;
    for (const FileFilter& filter : shown)
        request.filters.append({filter.description, globs(filter)});
    if (const std::optional<PortalFileChooser::Answer> answer = askPortal(request)) {
        if (!answer->accepted)
            return {};
        chosen = answer->paths;
    } else {
        QStringList nameFilters;
        for (const FileFilter& filter : shown)
            nameFilters << qtNameFilter(filter);
        QFileDialog dialog(m_window, title);
        dialog.setObjectName(QStringLiteral("openFileDialog"));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setNameFilters(nameFilters);
        dialog.selectNameFilter(nameFilters.front());
        dialog.setDirectory(start);
        prepareQtDialog(dialog);
        if (dialog.exec() != QDialog::Accepted)
            return {};
        chosen = dialog.selectedFiles();
    }
    if (chosen.isEmpty())
        return {};
    DialogFolders::remember(folderKey, QFileInfo(chosen.constFirst()).absolutePath());
    return OpenFileAnswer::chosen(chosen);
}

QString QtDesktop::pickFolder(const QString& title, bool newStyle, const QString& folderKey, const QString& optionText,
                              bool* option)
{
    const QString last = DialogFolders::lastFolder(folderKey);
    QString folder;
    PortalFileChooser::Request request;
    request.title = title;
    request.directory = true;
    request.folder = last.isEmpty() ? QDir::homePath() : parentOf(last);
    if (option) {
        request.choiceLabel = optionText;
        request.choice = *option;
    }
    if (const std::optional<PortalFileChooser::Answer> answer = askPortal(request)) {
        if (!answer->accepted)
            return {};
        folder = answer->paths.constFirst();
        if (option)
            *option = answer->choice;
    } else {
        QFileDialog dialog(m_window, title);
        dialog.setObjectName(QStringLiteral("folderDialog"));
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        // The plain picker offers no "new folder".
        dialog.setOption(QFileDialog::ReadOnly, !newStyle);
        prepareQtDialog(dialog);
        if (last.isEmpty()) {
            dialog.setDirectory(QDir::homePath());
        } else {
            dialog.setDirectory(parentOf(last));
            dialog.selectFile(last);
        }
        QCheckBox* box = nullptr;
        if (option) {
            // Qt's picker takes a control of the program's own, in a row of
            // its own below the file name.
            box = new QCheckBox(optionText, &dialog);
            box->setObjectName(QStringLiteral("chkSubFolders"));
            box->setChecked(*option);
            if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
                grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
            else
                dialog.layout()->addWidget(box);
        }
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return {};
        folder = dialog.selectedFiles().constFirst();
        if (option)
            *option = box->isChecked();
    }
    DialogFolders::remember(folderKey, folder);
    return folder;
}

QString QtDesktop::BrowseForFolder(const QString& title, bool newStyle, const QString& folderKey)
{
    return pickFolder(title, newStyle, folderKey, QString(), nullptr);
}

QString QtDesktop::BrowseForFolderWithOption(const QString& title, const QString& optionText, bool& option,
                                             const QString& folderKey)
{
    return pickFolder(title, false, folderKey, optionText, &option);
}

bool QtDesktop::shellOpen(const QString& fileOrUrl)
{
    const bool isAddress = fileOrUrl.contains(QLatin1String("://"));
    const QUrl url = isAddress ? QUrl(fileOrUrl, QUrl::StrictMode) : fileUrl(fileOrUrl);
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool QtDesktop::powerOff()
{
    return RequestPowerOff();
}

bool QtDesktop::confirmPowerOff(const QString& text, const QString& powerOffNow, const QString& cancel, int seconds)
{
    PowerOffCountdownDialog countdown(text, powerOffNow, cancel, seconds, m_window);
    return countdown.exec() == QDialog::Accepted;
}

void QtDesktop::notify(const QString& title, const QString& text)
{
    // The window in front says it already.
    if (m_window && m_window->isActiveWindow())
        return;
    SendDesktopNotification(title, text);
}

} // namespace platform
