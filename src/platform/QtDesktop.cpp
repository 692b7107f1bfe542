#include "platform/QtDesktop.h"

#include "platform/DesktopNotification.h"
#include "platform/PowerOff.h"
#include "platform/PowerOffCountdownDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QProgressDialog>
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
    if (m_window && m_window->windowHandle())
        m_window->windowHandle()->startSystemMove();
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

QString QtDesktop::ShowOpenFileDialog(const QList<FileFilter>& filters, const QString& title, bool multiSelect)
{
    QStringList nameFilters;
    for (const FileFilter& filter : filters)
        nameFilters << qtNameFilter(filter);
    if (nameFilters.isEmpty())
        nameFilters << qtNameFilter({QStringLiteral("All Files (*.*)"), QStringLiteral("*.*")});

    QFileDialog dialog(m_window, title);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(nameFilters);
    dialog.selectNameFilter(nameFilters.front());
    if (dialog.exec() != QDialog::Accepted)
        return QStringLiteral("Cancel");
    return openFileAnswer(dialog.selectedFiles());
}

QString QtDesktop::BrowseForFolder(const QString& title, bool newStyle)
{
    QFileDialog::Options options = QFileDialog::ShowDirsOnly;
    if (!newStyle)
        options |= QFileDialog::ReadOnly; // the plain picker offers no "new folder"
    return QFileDialog::getExistingDirectory(m_window, title, QString(), options);
}

QString QtDesktop::BrowseForFolderWithOption(const QString& title, const QString& optionText, bool& option)
{
    // The desktop's own picker takes no extra controls: Qt's picker does, in
    // a row of its own below the file name.
    QFileDialog dialog(m_window, title);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::ReadOnly | QFileDialog::DontUseNativeDialog);
    auto* box = new QCheckBox(optionText, &dialog);
    box->setObjectName(QStringLiteral("chkSubFolders"));
    box->setChecked(option);
    if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout()))
        grid->addWidget(box, grid->rowCount(), 0, 1, grid->columnCount());
    else
        dialog.layout()->addWidget(box);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    option = box->isChecked();
    return dialog.selectedFiles().constFirst();
}

bool QtDesktop::shellOpen(const QString& fileOrUrl)
{
    const bool isAddress = fileOrUrl.contains(QLatin1String("://"));
    const QUrl url = isAddress ? QUrl(fileOrUrl, QUrl::StrictMode) : QUrl::fromLocalFile(fileOrUrl);
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
