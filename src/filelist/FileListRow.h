#pragma once

#include "filelist/MeasuredLoudness.h"
#include "filelist/RowState.h"

#include <QString>
#include <QtGlobal>
#include <optional>

namespace filelist {

//! One row of the file list. `Duration` and `FileSize` hold display text
//! (`Duration` is empty for a file that could not be opened, which reads
//! "Error"); the status is data, worded where it is shown.
struct FileListRow {
    qint32 ID = 0;
    qint32 CheckBox = 0; //!< 0 = not ticked, any other value = ticked
    QString path;        //!< the row's identity: no two rows hold the same text
    RowState state = RowState::Waiting;
    float progress = 0;                       //!< percent done, while converting
    RowReason reason;                         //!< why the last conversion ended as it did
    QString outputPath;                       //!< the file the last conversion kept (a stopped one's shorter file too)
    std::optional<MeasuredLoudness> loudness; //!< measured of that output, when it was
    QString Duration;
    QString FileSize;
    qint64 bytes = -1;    //!< the file's size (its share of one, for a track); -1 when none was read
    double seconds = -1;  //!< the playing time, -1 when unknown
    bool cdTrack = false; //!< a CD track: its size reads "CD Track"
    //! The folder the file was found in by Add Folder (its tree's top with
    //! sub-folders); empty for a file added by itself. Not a grid column.
    QString baseFolder;
};

} // namespace filelist
