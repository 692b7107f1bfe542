#include "filelist/FileAdmission.h"

#include "platform/Desktop.h"
#include "platform/FileName.h"
#include "engine/AudioEngine.h"
#include "filelist/FileAdmissionRules.h"
#include "filelist/FileList.h"
#include "filelist/WmaSupport.h"
#include "lang/StringLookup.h"

#include <QFile>
#include <cerrno>
#include <optional>
#include <sys/stat.h>

using lang::StringId;

namespace {

QString text(StringId id)
{
    return lang::caption(id);
}

FileAdmission::Failure systemFailure(int number)
{
    return {number, qt_error_string(number)};
}

//! Reads what admission needs to know of the file before a row is made: its
//! size, or why it cannot be admitted. A CD track needs no size, and one
//! that is missing is left to the engine (which marks it unopenable).
std::optional<FileAdmission::Failure> inspectFile(const QString& path, bool cdTrack, qint64& size)
{
    if (platform::nativeName(path).size() > FileList::kMaxPathBytes)
        return systemFailure(ENAMETOOLONG);
    struct stat info {};
    if (::stat(platform::nativeName(path).constData(), &info) != 0) {
        if (cdTrack)
            return std::nullopt;
        return systemFailure(errno);
    }
    if (S_ISDIR(info.st_mode))
        return systemFailure(EISDIR);
    // Pipes, sockets and devices would block or never end when decoded.
    if (!S_ISREG(info.st_mode))
        return FileAdmission::Failure{EINVAL, QStringLiteral("Not a regular file")};
    size = qint64(info.st_size);
    return std::nullopt;
}

double channelLengthSeconds(DWORD handle)
{
    const QWORD length = BASS_ChannelGetLength(handle, BASS_POS_BYTE);
    if (length == QWORD(-1))
        return 0;
    // Lengths past 4 GiB of decoded data (hours of audio) do not fit the
    // 32-bit position of ChannelSeconds.
    if (length > 0xFFFFFFFFu)
        return BASS_ChannelBytes2Seconds(handle, length);
    return ChannelSeconds(handle, DWORD(length));
}

} // namespace

FileAdmission::FileAdmission(Desktop& desktop, std::function<FileList*()> currentList)
    : m_desktop(desktop), m_currentList(std::move(currentList)), m_checkWmaSupport([] { return CheckWMASupport(); })
{
}

QString FileAdmission::failureText(const Failure& failure)
{
    return text(StringId::AddFileFailed) + u'\n' + QString::number(failure.number) + u':' + failure.description;
}

void FileAdmission::showFailure(const Failure& failure)
{
    m_desktop.messageBox(failureText(failure), text(StringId::ProductName), Desktop::Icon::Critical,
                         Desktop::Buttons::Ok);
}

bool FileAdmission::IsFileInList(const QString& sFilePath)
{
    FileList* list = m_currentList ? m_currentList() : nullptr;
    return list && list->containsPath(sFilePath);
}

qint16 FileAdmission::AddFile2Grid(QString& sFilePath)
{
    sFilePath = NormaliseAdmissionPath(sFilePath);
    FileList* list = m_currentList ? m_currentList() : nullptr;
    if (!list)
        return 0;
    if (list->containsPath(sFilePath))
        return 0;
    if (!HasAdmittedExtension(sFilePath))
        return 0;

    // Everything that can fail is checked before the row is made, so a
    // failed admission leaves no half-filled row behind.
    if (list->count() >= FileList::kMaxRows) {
        showFailure(systemFailure(EOVERFLOW));
        return 0;
    }
    const bool cdTrack = IsCdTrackPath(sFilePath);
    qint64 size = 0;
    if (const std::optional<Failure> failure = inspectFile(sFilePath, cdTrack, size)) {
        showFailure(*failure);
        return 0;
    }

    FileListRow row;
    row.FilePath = sFilePath;
    if (!list->append(row)) {
        showFailure(systemFailure(ENOMEM));
        return 0;
    }
    const int at = list->count() - 1;
    const QString duration = GetMediaDuration(sFilePath);
    // The WMA prompt may have run the event loop: make sure the row is still ours.
    list = m_currentList ? m_currentList() : nullptr;
    if (!list || at >= list->count() || list->at(at).FilePath != sFilePath)
        return 0;

    list->setCell(at, FileList::Duration, duration);
    list->setCell(at, FileList::FileSize, cdTrack ? text(StringId::CdTrack) : FormatFileSize(size));
    if (duration == text(StringId::Error)) {
        list->setCell(at, FileList::Status, text(StringId::CodecNotSupported));
        list->setTextColor(at, FileList::Status, kUnopenableColor);
        list->setTextColor(at, FileList::Duration, kUnopenableColor);
    } else {
        list->setCell(at, FileList::Status, text(StringId::WaitingConversion));
    }

    list->moveFirst();
    if (m_clearSelectAll)
        m_clearSelectAll();
    return 1;
}

QString FileAdmission::GetMediaDuration(const QString& sFilePath)
{
    bool music = false;
    DWORD handle = OpenStream(false, sFilePath, 0, 0, BASS_SAMPLE_FX | BASS_SAMPLE_LOOP);
    if (!handle) {
        handle = OpenMusic(false, sFilePath, 0, 0, BASS_MUSIC_RAMP | BASS_MUSIC_LOOP, 0);
        music = true;
    }
    if (handle) {
        const double seconds = channelLengthSeconds(handle);
        if (music)
            BASS_MusicFree(handle);
        else
            BASS_StreamFree(handle);
        return FormatDuration(seconds);
    }

    // The probe runs for every file that fails to open; its answer matters
    // only for Windows Media names.
    const bool wmaSupported = m_checkWmaSupport ? m_checkWmaSupport() : true;
    if (IsWindowsMediaPath(sFilePath) && !wmaSupported)
        showWmaPrompt();
    return text(StringId::Error);
}

void FileAdmission::showWmaPrompt()
{
    const QString newline = QStringLiteral("\n");
    const QString prompt = text(StringId::NoWmaSupport) + newline + text(StringId::WmaPromptYes) + newline +
                           text(StringId::WmaPromptNo) + newline + text(StringId::WmaPromptCancel);
    const Desktop::Answer answer = m_desktop.messageBox(prompt, text(StringId::ProductName), Desktop::Icon::Critical,
                                                        Desktop::Buttons::YesNoCancel);
    if (answer != Desktop::Answer::Yes && answer != Desktop::Answer::No)
        return;
    m_desktop.messageBox(text(StringId::RestartAfterInstall), text(StringId::ProductName), Desktop::Icon::Information,
                         Desktop::Buttons::Ok);
    const std::function<void()>& remedy = answer == Desktop::Answer::Yes ? m_downloadWmf : m_openWmSite;
    if (remedy)
        remedy();
}
