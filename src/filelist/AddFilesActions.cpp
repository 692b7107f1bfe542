#include "filelist/AddFilesActions.h"

#include "platform/Desktop.h"
#include "filelist/AddFilesFilters.h"
#include "filelist/AddFilesSelection.h"
#include "filelist/ScanFolder.h"
#include "lang/StringLookup.h"

namespace {

const QString kCancel = QStringLiteral("Cancel");

} // namespace

AddFilesActions::AddFilesActions(Desktop& desktop, Admit admit, std::function<void()> refresh)
    : m_desktop(desktop), m_admit(std::move(admit)), m_refresh(std::move(refresh))
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
    bool anyRefused = false;
    const QStringList paths = addfiles::selectionPaths(selection);
    for (QString path : paths) {
        if (m_admit(path) == 0)
            anyRefused = true;
    }
    if (m_refresh)
        m_refresh();
    if (anyRefused) {
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
    for (QString path : paths)
        m_admit(path);
}
