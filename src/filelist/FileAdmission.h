#pragma once

#include "filelist/ProbedFile.h"

#include <QString>
#include <QtGlobal>
#include <functional>

namespace platform {
class Desktop;
}

namespace filelist {

class FileList;

//! Admission of files into the current file list (`AddFile2Grid`) and its
//! helpers. The list is asked for anew on every call, as removal replaces it.
class FileAdmission {
public:
    //! `currentList` gives the main window's current list (nullptr when there
    //! is none).
    FileAdmission(platform::Desktop& desktop, std::function<FileList*()> currentList);

    //! Clears the select-all box (its change unticks every row when it was
    //! ticked); run after each admitted file.
    void setClearSelectAll(std::function<void()> clear) { m_clearSelectAll = std::move(clear); }
    //! Replaces the WMA support probe (remedy::CheckWMASupport).
    void setWmaSupportCheck(std::function<bool()> check) { m_checkWmaSupport = std::move(check); }
    //! What Yes and No of the WMA prompt do after the restart notice: install
    //! the component, and open the web page about it. Without them (the
    //! command line) the prompt's answer does nothing more.
    void setWmaRemedies(std::function<void()> download, std::function<void()> openSite)
    {
        m_downloadWmf = std::move(download);
        m_openWmSite = std::move(openSite);
    }

    //! Admits one file: 1 when a row was appended, 0 when none was (a
    //! duplicate or an unknown extension, silently; or a failure, after the
    //! error box). `filePath` is normalised in place. A refused or failed
    //! file leaves the list unchanged.
    qint16 AddFile2Grid(QString& filePath);

    //! AddFile2Grid for a file already probed (on another thread, ahead of
    //! its turn): the list checks, the messages and the row. A CUE sheet or a
    //! drive appends a row for each of its tracks: 1 when every one was
    //! appended; one that cannot be listed shows the error box with why.
    qint16 AddProbedFile(const ProbedFile& file);

    //! True when some row's `FilePath` equals the path exactly; leaves the
    //! cursor on the match.
    //! Whether the list holds as many rows as a list can.
    bool listFull();
    //! Says once that the list is full and `notAdded` paths were not added
    //! (they are refused in one step, without being looked at).
    void showListFull(qsizetype notAdded);
    bool IsFileInList(const QString& filePath);

    //! The `Duration` text of a file: its playing time, or the localized
    //! "Error" when the engine cannot open it (after the WMA prompt, for a
    //! Windows Media file on a system without WMA encoding).
    QString GetMediaDuration(const QString& filePath);

    //! Why an admission failed: an error number and its description.
    using Failure = filelist::AdmissionFailure;

    //! The text of the admission error box.
    static QString failureText(const Failure& failure);

private:
    qint16 addDiscTracks(const ProbedFile& disc);
    void showFailure(const Failure& failure);
    void showWmaPrompt();
    QString durationText(const ProbedFile& file);

    platform::Desktop& m_desktop;
    std::function<FileList*()> m_currentList;
    std::function<void()> m_clearSelectAll;
    std::function<bool()> m_checkWmaSupport;
    std::function<void()> m_downloadWmf;
    std::function<void()> m_openWmSite;
};

} // namespace filelist
