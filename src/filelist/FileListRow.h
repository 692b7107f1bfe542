#pragma once

#include <QString>
#include <QtGlobal>

namespace filelist {

//! One row of the file list. Every cell but `ID` and `CheckBox` holds display
//! text; no numeric size or duration is kept anywhere else.
struct FileListRow {
    qint32 ID = 0;
    qint32 CheckBox = 0; //!< 0 = not ticked, any other value = ticked
    QString FilePath;    //!< the row's identity: no two rows hold the same text
    QString Status;
    QString Duration;
    QString FileSize;
    //! The folder the file was found in by Add Folder (its tree's top with
    //! sub-folders); empty for a file added by itself. Not a grid column.
    QString BaseFolder;
};

} // namespace filelist
