#pragma once

#include "filelist/ProbedFile.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>

class Desktop;

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
    AddFilesActions(Desktop& desktop, Admit admit, std::function<void()> refresh = {},
                    std::function<QSet<QString>()> listedPaths = {});

    //! Adds every path of `selection` (see selectionPaths); with an empty
    //! selection it first asks with the audio dialog, and a cancelled dialog
    //! ends it silently. Then the refresh, and one warning when any path was
    //! not admitted.
    void AddFiles(const QString& selection = QString());

    //! Asks with the video dialog, then adds as AddFiles does.
    void AddVideoFiles();

    //! Asks with the folder picker and adds the files directly inside the
    //! chosen folder, in listing order; a folder without files gives a warning.
    void AddFolder();

    //! Admits dropped files in their order; refused ones are not reported.
    void DropFiles(const QStringList& paths);

private:
    void addSelection(const QString& selection);
    //! Admits the paths in order; true when every one was admitted (a
    //! cancelled add counts the rest as not refused).
    bool admitAll(const QStringList& paths);

    Desktop& m_desktop;
    Admit m_admit;
    std::function<void()> m_refresh;
    std::function<QSet<QString>()> m_listedPaths;
};
