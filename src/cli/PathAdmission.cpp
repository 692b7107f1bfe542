#include "cli/PathAdmission.h"

#include "cli/ConsoleText.h"
#include "cli/TreeRoot.h"
#include "filelist/AddFilesSelection.h"
#include "filelist/AdmissionPipeline.h"
#include "filelist/FileAdmission.h"
#include "filelist/FileAdmissionRules.h"
#include "filelist/FileList.h"
#include "filelist/ScanFolder.h"
#include "filelist/SheetNamedFiles.h"
#include "lang/StringLookup.h"
#include "platform/Desktop.h"

#include <optional>

namespace cli {

using filelist::AdmissionRefusal;

namespace {

// How often a wait for a probe looks whether the run was stopped.
constexpr int kStopPollMs = 100;

void showBox(platform::Desktop& desktop, lang::StringId id)
{
    desktop.messageBox(lang::caption(id), lang::caption(lang::StringId::ProductName),
                       platform::Desktop::Icon::Exclamation, platform::Desktop::Buttons::Ok);
}

//! One path to probe: where it came from and the folder it counts as found in.
struct Pending {
    QString path;
    PathOrigin origin;
    QString baseFolder;
    std::optional<AdmissionRefusal> refused; //!< refused before probing
};

bool failsRun(AdmissionRefusal reason, PathOrigin origin)
{
    switch (reason) {
    case AdmissionRefusal::NotAudio:
        return origin == PathOrigin::Argument;
    case AdmissionRefusal::AlreadyListed:
    case AdmissionRefusal::SheetTrack:
        return false;
    case AdmissionRefusal::Missing:
    case AdmissionRefusal::Unreadable:
    case AdmissionRefusal::OutsideTreeRoot:
        return true;
    }
    return true;
}

//! The paths in order, folders replaced by their files; the empty folders'
//! places (an index into the paths) in `emptyFolderAt`.
std::vector<Pending> expand(const std::vector<InputPath>& inputs, const AdmitChoices& choices,
                            std::vector<std::size_t>& emptyFolderAt)
{
    std::vector<Pending> pending;
    for (const InputPath& input : inputs) {
        QString path = absolutePath(input.path);
        const bool folder = !path.isEmpty() && isFolderPath(path);
        QString base = folder ? path : QString();
        if (choices.treeRoot && !path.isEmpty()) {
            QString spelled;
            switch (choices.treeRoot->place(path, folder, spelled)) {
            case TreeRoot::Place::Below:
                path = spelled;
                base = choices.treeRoot->path();
                break;
            case TreeRoot::Place::Outside:
                pending.push_back({path, input.origin, {}, AdmissionRefusal::OutsideTreeRoot});
                continue;
            case TreeRoot::Place::Unknown:
                break; // admission finds it missing
            }
        }
        if (!folder) {
            pending.push_back({path, input.origin, base, std::nullopt});
            continue;
        }
        const QStringList names = filelist::ScanFolderNames(path, choices.recursive);
        if (names.isEmpty())
            emptyFolderAt.push_back(pending.size());
        for (const QString& file : filelist::addfiles::pathsInFolder(path, names))
            pending.push_back({file, PathOrigin::Walk, base, std::nullopt});
    }
    return pending;
}

} // namespace

AdmitReport AdmitPaths(const std::vector<InputPath>& inputs, const AdmitChoices& choices, filelist::FileList& list,
                       filelist::FileAdmission& admission, platform::Desktop& desktop,
                       const std::function<void(int row, const filelist::ProbedFile& file)>& onRow,
                       const std::function<void(const Refusal& refusal)>& onRefused)
{
    std::vector<std::size_t> emptyFolderAt;
    std::vector<Pending> pending = expand(inputs, choices, emptyFolderAt);

    AdmitReport report;
    report.emptyFolders = int(emptyFolderAt.size());
    // The files a sheet of the same run names are its tracks, not rows of their own.
    QStringList candidates;
    for (const Pending& p : pending)
        if (!p.refused)
            candidates << p.path;
    const QSet<QString> sheetNamed = filelist::SheetNamedFiles(candidates);
    for (Pending& p : pending) {
        if (!p.refused && sheetNamed.contains(filelist::NormaliseAdmissionPath(p.path))) {
            p.refused = AdmissionRefusal::SheetTrack;
            ++report.asTracks;
        }
    }
    const auto refuse = [&](const QString& path, AdmissionRefusal reason, PathOrigin origin, const QString& detail) {
        const Refusal refusal{path, reason, detail, failsRun(reason, origin)};
        ++report.refused;
        if (refusal.failsRun)
            ++report.failing;
        if (onRefused)
            onRefused(refusal);
    };
    // One file or track: refused with its reason, or made a row.
    const auto admit = [&](const filelist::ProbedFile& file, PathOrigin origin) {
        if (const std::optional<AdmissionRefusal> reason = filelist::refusalOf(file, list)) {
            // The system's words for what cannot be read; a sheet says which
            // of its files is missing.
            const bool says =
                *reason == AdmissionRefusal::Unreadable || (*reason == AdmissionRefusal::Missing && file.discSource);
            refuse(file.path, *reason, origin, says ? file.failure.description : QString());
            return;
        }
        const int before = list.count();
        if (admission.AddProbedFile(file) == 0) {
            refuse(file.path, AdmissionRefusal::Unreadable, origin, QString());
            return;
        }
        for (int row = before; onRow && row < list.count(); ++row)
            onRow(row, file);
    };

    QStringList probed;
    for (const Pending& p : pending)
        if (!p.refused)
            probed << p.path;
    filelist::AdmissionPipeline pipeline(probed);
    auto emptyFolder = emptyFolderAt.cbegin();
    for (std::size_t i = 0; i <= pending.size(); ++i) {
        for (; emptyFolder != emptyFolderAt.cend() && *emptyFolder == i; ++emptyFolder)
            showBox(desktop, lang::StringId::FolderEmpty);
        if (i == pending.size())
            break;
        const Pending& p = pending[i];
        if (p.refused) {
            refuse(p.path, *p.refused, p.origin, QString());
            continue;
        }
        // A full list refuses the rest at once, without probing them.
        if (admission.listFull()) {
            report.overList = int(pending.size() - i);
            report.refused += report.overList;
            report.failing += report.overList;
            admission.showListFull(report.overList);
            break;
        }
        std::optional<filelist::ProbedFile> file;
        while (!(file = pipeline.next(kStopPollMs)) && !(choices.stopped && choices.stopped())) {
        }
        if (!file)
            break;
        file->baseFolder = p.baseFolder;
        if (!file->discSource || file->failure.number != 0) {
            admit(*file, p.origin);
            continue;
        }
        // A CUE sheet or a drive: each of its tracks a row.
        for (filelist::ProbedFile track : file->tracks) {
            track.baseFolder = p.baseFolder;
            admit(track, p.origin);
        }
    }
    return report;
}

} // namespace cli
