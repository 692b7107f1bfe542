#include "filelist/AddFilesActions.h"

#include "filelist/AddFilesFilters.h"
#include "filelist/AddFilesSelection.h"
#include "filelist/AdmissionPipeline.h"
#include "filelist/ScanFolder.h"
#include "lang/StringLookup.h"
#include "platform/Desktop.h"

#include <QElapsedTimer>

namespace {

const QString kCancel = QStringLiteral("Cancel");

} // namespace

AddFilesActions::AddFilesActions(Desktop& desktop, Admit admit, std::function<void()> refresh,
                                 std::function<QSet<QString>()> listedPaths)
    : m_desktop(desktop), m_admit(std::move(admit)), m_refresh(std::move(refresh)),
      m_listedPaths(std::move(listedPaths))
{
}

void AddFilesActions::AddFiles(const QString& selection)
{
    if (!selection.isEmpty()) {
        addSelection(selection);
        return;
    }
    const QString answer = m_desktop.ShowOpenFileDialog(addfiles::audioFileFilters(),
                                                        lang::caption(lang::StringId::SelectAudioFiles), true);
    if (answer == kCancel)
        return;
    addSelection(answer);
}

void AddFilesActions::AddVideoFiles()
{
    const QString answer = m_desktop.ShowOpenFileDialog(addfiles::videoFileFilters(),
                                                        lang::caption(lang::StringId::SelectVideoFiles), true);
    if (answer == kCancel)
        return;
    addSelection(answer);
}

void AddFilesActions::addSelection(const QString& selection)
{
    const bool allAdmitted = admitAll(addfiles::selectionPaths(selection));
    if (m_refresh)
        m_refresh();
    if (!allAdmitted) {
        m_desktop.messageBox(lang::caption(lang::StringId::FilesNotAdded), lang::caption(lang::StringId::ProductName),
                             Desktop::Icon::Exclamation, Desktop::Buttons::Ok);
    }
}

void AddFilesActions::AddFolder()
{
    const QString folder = m_desktop.BrowseForFolder(lang::caption(lang::StringId::SelectFolderToAdd), false);
    if (folder.isEmpty())
        return;
    // The names travel NUL-separated: unlike "*", a NUL can never be part of a name.
    const QStringList names = ScanFolderNames(folder);
    if (names.isEmpty()) {
        m_desktop.messageBox(lang::caption(lang::StringId::FolderEmpty), lang::caption(lang::StringId::ProductName),
                             Desktop::Icon::Exclamation, Desktop::Buttons::Ok);
        return;
    }
    AddFiles(addfiles::folderSelection(folder, names));
}

void AddFilesActions::DropFiles(const QStringList& paths)
{
    admitAll(paths);
}

bool AddFilesActions::admitAll(const QStringList& paths)
{
    // How long the window may go without painting, and how long the add runs
    // before its progress box appears.
    constexpr qint64 kPaintInterval = 30;
    constexpr qint64 kProgressDelay = 500;

    filelist::AdmissionPipeline pipeline(paths, m_listedPaths ? m_listedPaths() : QSet<QString>());
    QElapsedTimer running;
    running.start();
    QElapsedTimer sincePaint;
    sincePaint.start();
    bool allAdmitted = true;
    bool progressShown = false;
    QString current;
    while (!pipeline.atEnd()) {
        if (const std::optional<filelist::ProbedFile> file = pipeline.next(int(kPaintInterval))) {
            current = file->path;
            if (m_admit(*file) == 0)
                allAdmitted = false;
        }
        if (sincePaint.elapsed() < kPaintInterval)
            continue;
        sincePaint.restart();
        if (running.elapsed() >= kProgressDelay) {
            progressShown = true;
            if (!m_desktop.showProgress(lang::caption(lang::StringId::ProductName), current, pipeline.taken(),
                                        pipeline.total()))
                break;
            m_desktop.processEvents(); // the progress box is modal: only its Cancel answers
        } else {
            m_desktop.processEventsWithoutInput();
        }
    }
    if (progressShown)
        m_desktop.hideProgress();
    return allAdmitted;
}
