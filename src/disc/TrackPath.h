#pragma once

#include <QString>
#include <optional>

namespace disc {

//! One track of a disc named as a path: its source (a CUE sheet or an optical
//! drive's device) followed by "#" and the track number, such as
//! "/media/rips/album.cue#03" or "/dev/sr0#03". Made with two digits; read
//! with one or two ("#3" is "#03"). Every reader of such a path asks parse().
struct TrackPath {
    QString source;
    int track = 0;

    //! The path that names `track` of `source`, the number in two digits.
    static QString make(const QString& source, int track);

    //! The source and track of `path`, when it names a track (1 to 99) of a
    //! CUE sheet or of a drive; nothing for any other path.
    static std::optional<TrackPath> parse(const QString& path);

    //! The same by the form alone, whatever the source is (no look at the
    //! disk): what names the album and the file a track's analysis is kept for.
    static std::optional<TrackPath> split(const QString& path);
};

//! Whether `path` names a CUE sheet (by its ".cue" extension, in any case).
bool isCueSheetPath(const QString& path);

//! Whether `path` is a block device (an optical drive, when it reads audio).
bool isDevicePath(const QString& path);

//! Whether `path` names a whole disc: a CUE sheet or a drive.
bool isDiscSource(const QString& path);

} // namespace disc
