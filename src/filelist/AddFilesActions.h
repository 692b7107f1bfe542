#pragma once

#include "filelist/AdmissionRefusal.h"
#include "filelist/ProbedFile.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace options {
class CheckBoxState;
}
namespace platform {
class Desktop;
}

namespace filelist {

//! The ways of adding files, each ending in admission, one call per path:
//! the audio and video open-file dialogs, the folder picker with the files
//! directly inside the chosen folder, and files dropped on the grid.
//!
//! The files are probed on worker threads ahead of their turn while this
//! thread appends their rows in order and keeps the window painting; after
//! half a second a progress box with Cancel shows (rows admitted so far stay).
class AddFilesActions {
public:
    //! Admission of one probed file (`AddFile2Grid`): 1 when a row was appended.
    using Admit = std::function<qint16(const filelist::ProbedFile& file)>;

    //! `refresh` asks the grid to redisplay its rows after a dialog's files;
    //! `listedPaths` gives the paths already listed, which need no probe.
    AddFilesActions(platform::Desktop& desktop, Admit admit, std::function<void()> refresh = {},
                    std::function<QSet<QString>()> listedPaths = {});

    //! Adds every path of `paths` (an audio CD's drive, say); with none it
    //! first asks with the audio dialog, and a cancelled dialog ends it
    //! silently. Then the refresh, and one warning when any path was not
    //! admitted.
    void AddFiles(const QStringList& paths = {});

    //! Asks with the video dialog, then adds as AddFiles does.
    void AddVideoFiles();

    //! Asks with the folder picker and adds the files directly inside the
    //! chosen folder, in listing order; a folder without files gives a warning.
    //! With the sub-folder choice set (see setSubFolderChoice), the picker
    //! offers "Include sub-folders", and with it ticked the whole tree is
    //! scanned, on another thread while the window keeps painting. Each row
    //! remembers the chosen folder as the folder it was added from.
    void AddFolder();

    //! The remembered "Include sub-folders" choice the folder picker shows and
    //! sets; without one the picker has no check box. Must outlive this object.
    void setSubFolderChoice(options::CheckBoxState* choice) { m_subFolders = choice; }
    //! How long adding runs before its progress box with Cancel shows (ms).
    void setProgressDelay(qint64 ms) { m_progressDelay = ms; }
    //! How admission tells that the list is full and says so once: the
    //! rest of an add is then refused in one step, not probed.
    void setListFull(std::function<bool()> full, std::function<void(qsizetype notAdded)> show)
    {
        m_listFull = std::move(full);
        m_showListFull = std::move(show);
    }

    //! Admits dropped files in their order, then says which were refused
    //! and why, as the dialogs do.
    void DropFiles(const QStringList& paths);

private:
    //! What one add did beside the rows it appended.
    struct Outcome {
        //! The paths not admitted, each with why.
        std::vector<std::pair<QString, AdmissionRefusal>> refused;
        int asTracks = 0; //!< files added as the tracks of a CUE sheet of the same add
    };

    void addPaths(const QStringList& paths);
    //! Admits `paths` in order (a cancelled add counts the rest as not
    //! refused), a file that a CUE sheet among them names as that sheet's
    //! tracks only.
    Outcome admitAll(const QStringList& paths, const QString& baseFolder = QString(), bool progressShown = false);
    //! The add's summary: the warning that some files were not added, naming
    //! them with why (already listed, a type not read, or else not added), and
    //! how many files were added as the tracks of their sheet.
    void showSummary(const Outcome& outcome);
    //! The names inside `folder` (its tree with `recursive`), scanned on
    //! another thread; nothing when the user cancelled. `progressShown` tells
    //! whether the progress box is up when it returns.
    std::optional<QStringList> scanFolder(const QString& folder, bool recursive, bool& progressShown);

    platform::Desktop& m_desktop;
    Admit m_admit;
    std::function<void()> m_refresh;
    std::function<QSet<QString>()> m_listedPaths;
    std::function<bool()> m_listFull;
    std::function<void(qsizetype)> m_showListFull;
    options::CheckBoxState* m_subFolders = nullptr;
    qint64 m_progressDelay = 500;
};

} // namespace filelist
