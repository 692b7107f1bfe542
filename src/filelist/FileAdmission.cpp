#include "filelist/FileAdmission.h"

#include "filelist/FileAdmissionRules.h"
#include "filelist/FileList.h"
#include "lang/StringLookup.h"
#include "platform/Desktop.h"
#include "platform/SystemError.h"
#include "remedy/WmaSupport.h"

#include <QLocale>
#include <cerrno>

namespace filelist {

using lang::StringId;

namespace {

QString text(StringId id)
{
    return lang::caption(id);
}

FileAdmission::Failure systemFailure(int number)
{
    return {number, platform::systemErrorText(number)};
}

} // namespace

FileAdmission::FileAdmission(platform::Desktop& desktop, std::function<FileList*()> currentList)
    : m_desktop(desktop), m_currentList(std::move(currentList)),
      m_checkWmaSupport([] { return remedy::CheckWMASupport(); })
{
}

QString FileAdmission::failureText(const Failure& failure)
{
    return text(StringId::AddFileFailed) + u'\n' + QString::number(failure.number) + u':' + failure.description;
}

void FileAdmission::showFailure(const Failure& failure)
{
    m_desktop.messageBox(failureText(failure), text(StringId::ProductName), platform::Desktop::Icon::Critical,
                         platform::Desktop::Buttons::Ok);
}

bool FileAdmission::listFull()
{
    FileList* list = m_currentList ? m_currentList() : nullptr;
    return list && list->count() >= FileList::kMaxRows;
}

void FileAdmission::showListFull(qsizetype notAdded)
{
    // Grouped as English writes large numbers, whatever the system's locale.
    const QLocale grouping(QLocale::English, QLocale::UnitedStates);
    m_desktop.messageBox(
        text(StringId::ListFull).arg(grouping.toString(FileList::kMaxRows), grouping.toString(qint64(notAdded))),
        text(StringId::ProductName), platform::Desktop::Icon::Exclamation, platform::Desktop::Buttons::Ok);
}

bool FileAdmission::IsFileInList(const QString& filePath)
{
    FileList* list = m_currentList ? m_currentList() : nullptr;
    return list && list->containsPath(filePath);
}

qint16 FileAdmission::AddFile2Grid(QString& filePath)
{
    const ProbedFile file = ProbeFile(filePath);
    filePath = file.path;
    return AddProbedFile(file);
}

qint16 FileAdmission::AddProbedFile(const ProbedFile& file)
{
    FileList* list = m_currentList ? m_currentList() : nullptr;
    if (!list)
        return 0;
    if (file.discSource)
        return addDiscTracks(file);
    if (list->containsPath(file.path))
        return 0;
    if (!file.admittedExtension)
        return 0;

    // Everything that can fail is checked before the row is made, so a
    // failed admission leaves no half-filled row behind.
    if (list->count() >= FileList::kMaxRows) {
        showFailure(systemFailure(EOVERFLOW));
        return 0;
    }
    if (file.failure.number != 0) {
        showFailure(file.failure);
        return 0;
    }

    FileListRow row;
    row.path = file.path;
    // Repaired as the path was, so the path still lies inside it.
    row.baseFolder = NormaliseAdmissionPath(file.baseFolder);
    if (!list->append(row)) {
        showFailure(systemFailure(ENOMEM));
        return 0;
    }
    const int at = list->count() - 1;
    const QString duration = durationText(file);
    // The WMA prompt may have run the event loop: make sure the row is still ours.
    list = m_currentList ? m_currentList() : nullptr;
    if (!list || at >= list->count() || list->at(at).path != file.path)
        return 0;

    FileListRow filled = list->at(at);
    filled.state = file.opened ? RowState::Waiting : RowState::NotSupported;
    if (!file.opened)
        filled.reason = RowReason::words(file.openFailure); // the Status cell's tooltip says why
    filled.Duration = file.opened ? duration : QString();   // an unopenable file's reads "Error"
    filled.seconds = file.opened ? file.seconds : -1;
    filled.cdTrack = file.cdTrack;
    filled.FileSize = file.cdTrack ? QString() : FormatFileSize(file.size);
    filled.bytes = file.cdTrack ? -1 : file.size;
    list->setRow(at, filled);

    list->moveFirst();
    if (m_clearSelectAll)
        m_clearSelectAll();
    return 1;
}

qint16 FileAdmission::addDiscTracks(const ProbedFile& disc)
{
    if (disc.failure.number != 0) {
        showFailure(disc.failure);
        return 0;
    }
    qint16 allAdmitted = 1;
    for (ProbedFile track : disc.tracks) {
        track.baseFolder = disc.baseFolder;
        if (AddProbedFile(track) == 0)
            allAdmitted = 0;
    }
    return allAdmitted;
}

QString FileAdmission::GetMediaDuration(const QString& filePath)
{
    ProbedFile file;
    file.path = filePath;
    const std::optional<double> seconds = PlayingTime(filePath);
    file.opened = seconds.has_value();
    file.seconds = seconds.value_or(0);
    return durationText(file);
}

QString FileAdmission::durationText(const ProbedFile& file)
{
    if (file.opened)
        return FormatDuration(file.seconds);

    // The probe runs for every file that fails to open; its answer matters
    // only for Windows Media names.
    const bool wmaSupported = m_checkWmaSupport ? m_checkWmaSupport() : true;
    if (IsWindowsMediaPath(file.path) && !wmaSupported)
        showWmaPrompt();
    return text(StringId::Error);
}
void FileAdmission::showWmaPrompt()
{
    const QString newline = QStringLiteral("\n");
    const QString prompt = text(StringId::NoWmaSupport) + newline + text(StringId::WmaPromptYes) + newline +
                           text(StringId::WmaPromptNo) + newline + text(StringId::WmaPromptCancel);
    const platform::Desktop::Answer answer =
        m_desktop.messageBox(prompt, text(StringId::ProductName), platform::Desktop::Icon::Critical,
                             platform::Desktop::Buttons::YesNoCancel);
    if (answer != platform::Desktop::Answer::Yes && answer != platform::Desktop::Answer::No)
        return;
    m_desktop.messageBox(text(StringId::RestartAfterInstall), text(StringId::ProductName),
                         platform::Desktop::Icon::Information, platform::Desktop::Buttons::Ok);
    const std::function<void()>& remedy = answer == platform::Desktop::Answer::Yes ? m_downloadWmf : m_openWmSite;
    if (remedy)
        remedy();
}

} // namespace filelist
