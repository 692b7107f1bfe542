#include "cli/PathAdmission.h"

#include "cli/ConsoleText.h"
#include "filelist/AddFilesSelection.h"
#include "filelist/AdmissionPipeline.h"
#include "filelist/FileAdmission.h"
#include "filelist/FileAdmissionRules.h"
#include "filelist/FileList.h"
#include "filelist/ScanFolder.h"
#include "filelist/SheetNamedFiles.h"
#include "lang/StringLookup.h"
#include "platform/Desktop.h"

#include <vector>

namespace cli {

namespace {

// How often a wait for a probe looks whether the run was stopped.
constexpr int kStopPollMs = 100;

void showBox(platform::Desktop& desktop, lang::StringId id)
{
    desktop.messageBox(lang::caption(id), lang::caption(lang::StringId::ProductName),
                       platform::Desktop::Icon::Exclamation, platform::Desktop::Buttons::Ok);
}

} // namespace

bool AdmitPaths(const QStringList& arguments, const AdmitChoices& choices, filelist::FileList& list,
                filelist::FileAdmission& admission, platform::Desktop& desktop,
                const std::function<void(int row)>& onRow, int* refusedCount, int* asTracksCount)
{
    QString treeRoot = choices.treeRoot.isEmpty() ? QString() : absolutePath(choices.treeRoot);
    if (!treeRoot.isEmpty() && !treeRoot.endsWith(u'/'))
        treeRoot += u'/';
    // The files in order, with the empty folders where they stand.
    // With the folder each was found in (empty for a path given by itself).
    QStringList files;
    QStringList baseFolders;
    std::vector<qsizetype> emptyFolderAt;
    for (const QString& argument : arguments) {
        const QString path = absolutePath(argument);
        if (path.isEmpty() || !isFolderPath(path)) {
            files << path;
            baseFolders << (!treeRoot.isEmpty() && path.startsWith(treeRoot) ? treeRoot.chopped(1) : QString());
            continue;
        }
        const QStringList names = filelist::ScanFolderNames(path, choices.recursive);
        if (names.isEmpty()) {
            emptyFolderAt.push_back(files.size());
            continue;
        }
        const QStringList found = filelist::addfiles::pathsInFolder(path, names);
        files << found;
        for (qsizetype i = 0; i < found.size(); ++i)
            baseFolders << path;
    }

    // The files a sheet of the same run names are its tracks, not rows of their own.
    const QSet<QString> sheetNamed = filelist::SheetNamedFiles(files);
    int asTracks = 0;
    if (!sheetNamed.isEmpty()) {
        QStringList keptFiles;
        QStringList keptFolders;
        std::vector<qsizetype> keptEmptyAt;
        auto empty = emptyFolderAt.cbegin();
        for (qsizetype i = 0; i <= files.size(); ++i) {
            for (; empty != emptyFolderAt.cend() && *empty == i; ++empty)
                keptEmptyAt.push_back(keptFiles.size());
            if (i == files.size())
                break;
            if (sheetNamed.contains(filelist::NormaliseAdmissionPath(files.at(i)))) {
                ++asTracks;
                continue;
            }
            keptFiles << files.at(i);
            keptFolders << baseFolders.at(i);
        }
        files = std::move(keptFiles);
        baseFolders = std::move(keptFolders);
        emptyFolderAt = std::move(keptEmptyAt);
    }

    int refused = 0;
    qsizetype overflow = 0; // paths past the most rows a list holds
    auto emptyFolder = emptyFolderAt.cbegin();
    filelist::AdmissionPipeline pipeline(files);
    for (qsizetype i = 0; i <= files.size(); ++i) {
        for (; emptyFolder != emptyFolderAt.cend() && *emptyFolder == i; ++emptyFolder)
            showBox(desktop, lang::StringId::FolderEmpty);
        if (i == files.size())
            break;
        // A full list refuses the rest at once, without probing them.
        if (admission.listFull()) {
            overflow = files.size() - i;
            admission.showListFull(overflow);
            break;
        }
        std::optional<filelist::ProbedFile> file;
        while (!(file = pipeline.next(kStopPollMs)) && !(choices.stopped && choices.stopped())) {
        }
        if (!file)
            break;
        file->baseFolder = baseFolders.at(i);
        const int before = list.count();
        if (admission.AddProbedFile(*file) == 0)
            ++refused;
        // A CUE sheet or a drive appends a row for each of its tracks.
        for (int row = before; onRow && row < list.count(); ++row)
            onRow(row);
    }
    if (refused > 0)
        showBox(desktop, lang::StringId::FilesNotAdded);
    if (asTracks > 0)
        desktop.messageBox(lang::caption(lang::StringId::SheetFilesAsTracks).arg(asTracks),
                           lang::caption(lang::StringId::ProductName), platform::Desktop::Icon::Information,
                           platform::Desktop::Buttons::Ok);
    if (refusedCount)
        *refusedCount = refused + int(overflow) + int(emptyFolderAt.size());
    if (asTracksCount)
        *asTracksCount = asTracks;
    return refused == 0 && overflow == 0 && emptyFolderAt.empty();
}

} // namespace cli
