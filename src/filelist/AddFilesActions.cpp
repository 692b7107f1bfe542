#include "filelist/AddFilesActions.h"

#include "filelist/AddFilesFilters.h"
#include "filelist/AddFilesSelection.h"
#include "filelist/AdmissionPipeline.h"
#include "filelist/FileAdmissionRules.h"
#include "filelist/ScanFolder.h"
#include "filelist/SheetNamedFiles.h"
#include "lang/StringLookup.h"
#include "options/CheckBoxState.h"
#include "platform/Desktop.h"
#include "platform/FileName.h"
#include "platform/Path.h"

#include <QElapsedTimer>
#include <algorithm>
#include <chrono>
#include <future>

namespace filelist {

namespace {

// How long the window may go without painting while files are added.
constexpr qint64 kPaintInterval = 30;

} // namespace

AddFilesActions::AddFilesActions(platform::Desktop& desktop, Admit admit, std::function<void()> refresh,
                                 std::function<QSet<QString>()> listedPaths)
    : m_desktop(desktop), m_admit(std::move(admit)), m_refresh(std::move(refresh)),
      m_listedPaths(std::move(listedPaths))
{
}

void AddFilesActions::AddFiles(const QStringList& paths)
{
    if (!paths.isEmpty()) {
        addPaths(paths);
        return;
    }
    const platform::OpenFileAnswer answer =
        m_desktop.ShowOpenFileDialog(addfiles::audioFileFilters(), lang::caption(lang::StringId::SelectAudioFiles),
                                     true, QStringLiteral("AddAudioFiles"));
    if (answer.cancelled())
        return;
    addPaths(answer.paths());
}

void AddFilesActions::AddVideoFiles()
{
    const platform::OpenFileAnswer answer =
        m_desktop.ShowOpenFileDialog(addfiles::videoFileFilters(), lang::caption(lang::StringId::SelectVideoFiles),
                                     true, QStringLiteral("AddVideoFiles"));
    if (answer.cancelled())
        return;
    addPaths(answer.paths());
}

void AddFilesActions::addPaths(const QStringList& paths)
{
    const Outcome outcome = admitAll(paths);
    if (m_refresh)
        m_refresh();
    showSummary(outcome);
}

void AddFilesActions::showSummary(const Outcome& outcome)
{
    const auto& refused = outcome.refused;
    QString text;
    if (!refused.empty()) {
        // The first few by name and why, so the user knows which; the rest counted.
        constexpr std::size_t kNamed = 10;
        text = lang::caption(lang::StringId::FilesNotAdded) + u'\n';
        for (std::size_t i = 0; i < std::min(kNamed, refused.size()); ++i) {
            const auto& [path, reason] = refused[i];
            const lang::StringId why = reason == AdmissionRefusal::AlreadyListed ? lang::StringId::RefusedAlreadyListed
                                       : reason == AdmissionRefusal::NotAudio    ? lang::StringId::RefusedUnreadableType
                                                                                 : lang::StringId::RefusedNotAdded;
            text += u'\n' + lang::caption(why).arg(platform::displayName(platform::Path(path).fileName()));
        }
        if (refused.size() > kNamed)
            text += u'\n' + lang::caption(lang::StringId::AndMore).arg(refused.size() - kNamed);
    }
    if (outcome.asTracks > 0)
        text += (text.isEmpty() ? QString() : QStringLiteral("\n\n")) +
                lang::caption(lang::StringId::SheetFilesAsTracks).arg(outcome.asTracks);
    if (text.isEmpty())
        return;
    m_desktop.messageBox(text, lang::caption(lang::StringId::ProductName),
                         refused.empty() ? platform::Desktop::Icon::Information : platform::Desktop::Icon::Exclamation,
                         platform::Desktop::Buttons::Ok);
}

void AddFilesActions::AddFolder()
{
    const QString title = lang::caption(lang::StringId::SelectFolderToAdd);
    bool recursive = false;
    QString folder;
    if (m_subFolders) {
        recursive = m_subFolders->Value();
        folder = m_desktop.BrowseForFolderWithOption(title, lang::caption(lang::StringId::IncludeSubFolders), recursive,
                                                     QStringLiteral("AddFolder"));
        if (!folder.isEmpty())
            m_subFolders->setValue(recursive);
    } else {
        folder = m_desktop.BrowseForFolder(title, false, QStringLiteral("AddFolder"));
    }
    if (folder.isEmpty())
        return;

    bool progressShown = false;
    const std::optional<QStringList> names = scanFolder(folder, recursive, progressShown);
    if (!names) {
        m_desktop.hideProgress();
        return;
    }
    if (names->isEmpty()) {
        if (progressShown)
            m_desktop.hideProgress();
        m_desktop.messageBox(lang::caption(lang::StringId::FolderEmpty), lang::caption(lang::StringId::ProductName),
                             platform::Desktop::Icon::Exclamation, platform::Desktop::Buttons::Ok);
        return;
    }
    const Outcome outcome = admitAll(addfiles::pathsInFolder(folder, *names), folder, progressShown);
    if (m_refresh)
        m_refresh();
    showSummary(outcome);
}

std::optional<QStringList> AddFilesActions::scanFolder(const QString& folder, bool recursive, bool& progressShown)
{
    if (!recursive)
        return ScanFolderNames(folder); // one folder: quick enough to wait for

    ScanControl control;
    std::future<QStringList> scan =
        std::async(std::launch::async, [&folder, &control] { return ScanFolderNames(folder, true, control); });
    QElapsedTimer running;
    running.start();
    for (;;) {
        // The box is offered before each wait, so a delay of 0 always shows it.
        if (running.elapsed() >= m_progressDelay) {
            progressShown = true;
            if (!m_desktop.showProgress(lang::caption(lang::StringId::ProductName), folder, control.found.load(), 0)) {
                control.stop = true;
                scan.wait();
                return std::nullopt;
            }
        }
        if (scan.wait_for(std::chrono::milliseconds(kPaintInterval)) == std::future_status::ready)
            return scan.get();
        if (progressShown)
            m_desktop.processEvents(); // the progress box is modal: only its Cancel answers
        else
            m_desktop.processEventsWithoutInput();
    }
}

void AddFilesActions::DropFiles(const QStringList& paths)
{
    addPaths(paths);
}

AddFilesActions::Outcome AddFilesActions::admitAll(const QStringList& allPaths, const QString& baseFolder,
                                                   bool progressShown)
{
    Outcome outcome;
    const QSet<QString> sheetNamed = SheetNamedFiles(allPaths);
    QStringList paths;
    paths.reserve(allPaths.size());
    for (const QString& path : allPaths) {
        if (sheetNamed.contains(NormaliseAdmissionPath(path)))
            ++outcome.asTracks;
        else
            paths << path;
    }
    // The list's paths, and those this add appends, tell a path given twice.
    QSet<QString> listed = m_listedPaths ? m_listedPaths() : QSet<QString>();
    const auto isListed = [&listed](const QString& path) { return listed.contains(path); };
    AdmissionPipeline pipeline(paths, listed);
    QElapsedTimer running;
    running.start();
    QElapsedTimer sincePaint;
    sincePaint.start();
    QString current;
    while (!pipeline.atEnd()) {
        if (m_listFull && m_listFull()) {
            if (m_showListFull)
                m_showListFull(pipeline.total() - pipeline.taken());
            break;
        }
        if (std::optional<ProbedFile> file = pipeline.next(int(kPaintInterval))) {
            current = file->path;
            file->baseFolder = baseFolder;
            if (m_admit(*file) == 0)
                outcome.refused.emplace_back(file->path,
                                             refusalOf(*file, isListed).value_or(AdmissionRefusal::Unreadable));
            else
                listed.insert(file->path);
        }
        if (sincePaint.elapsed() < kPaintInterval)
            continue;
        sincePaint.restart();
        // A box already shown by the scan before stays up and goes on counting.
        if (progressShown || running.elapsed() >= m_progressDelay) {
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
    return outcome;
}

} // namespace filelist
