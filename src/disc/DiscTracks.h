#pragma once

#include "disc/CueSheet.h"
#include "engine/MediaTags.h"

#include <QString>
#include <vector>

namespace disc {

//! One track of a disc or a CUE sheet as the file list shows it.
struct DiscTrackEntry {
    QString path; //!< "source#NN", the path every engine call takes
    int number = 0;
    double seconds = 0;
    bool cdTrack = false;  //!< read from a drive or a BIN image
    qint64 shareBytes = 0; //!< a track cut from an audio file: its share of the file's size
};

//! The audio tracks of `source` (a CUE sheet or a drive), in order; on a
//! problem none, and the problem says why.
DiscProblem ListDiscTracks(const QString& source, std::vector<DiscTrackEntry>& tracks);

//! The tags of track `path` ("source#NN"): the sheet's or the disc's
//! CD-Text; empty when it names no track.
engine::MediaTags DiscTrackTags(const QString& path);

//! An optical drive that holds a disc with audio tracks.
struct AudioDiscDrive {
    QString device;
    int tracks = 0;
    QString title; //!< the disc's CD-Text title, when it has one
};

//! The drives that hold a disc with audio tracks now.
std::vector<AudioDiscDrive> AudioDiscDrives();

} // namespace disc
