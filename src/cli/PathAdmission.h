#pragma once

#include "filelist/AdmissionRefusal.h"

#include <QString>
#include <functional>
#include <vector>

namespace filelist {
class FileAdmission;
class FileList;
} // namespace filelist
namespace platform {
class Desktop;
}

namespace cli {

class TreeRoot;

//! Where a path of a command line came from.
enum class PathOrigin : unsigned char {
    Argument, //!< named on the command line
    List,     //!< read from a list (--files-from)
    Walk,     //!< found in a folder given
};

struct InputPath {
    QString path;
    PathOrigin origin = PathOrigin::Argument;
};

//! A path that was not made a row, and why.
struct Refusal {
    QString path;
    filelist::AdmissionRefusal reason = filelist::AdmissionRefusal::NotAudio;
    QString detail; //!< the system's words, for a path that cannot be read; else empty
    //! Whether it makes the run fail: a path that is missing, cannot be read
    //! or lies outside the tree root, and one named on the command line that
    //! is not audio. Files that are not audio met in a folder or a list
    //! (covers, logs, playlists), paths listed twice and the audio of a CUE
    //! sheet's tracks do not.
    bool failsRun = false;
};

//! How AdmitPaths() takes its paths.
struct AdmitChoices {
    //! A folder's whole tree, not only the files directly inside it.
    bool recursive = false;
    //! Files and folders below it keep their place in its tree (their base
    //! folder is the root); a path outside it is refused. None: null.
    const TreeRoot* treeRoot = nullptr;
    //! Asked while waiting for a probe: true ends the adding (the rest of
    //! the paths are not added, nor counted as refused).
    std::function<bool()> stopped;
};

//! What AdmitPaths() did not admit.
struct AdmitReport {
    int refused = 0;      //!< paths refused, whatever the reason
    int failing = 0;      //!< of them, those that make the run fail
    int emptyFolders = 0; //!< folders given that held no file
    int asTracks = 0;     //!< files added as the tracks of a CUE sheet among the paths
    int overList = 0;     //!< paths past the most rows a list holds, refused in one step (and counted failing)

    bool allAdmitted() const { return failing == 0 && emptyFolders == 0; }
};

//! Admits the paths of a command line into `list` as the window's Add
//! actions would: a file through admission (a CUE sheet or a drive's device
//! as its tracks), a folder as Add Folder scans it (with `recursive`, its
//! whole tree). Files are probed ahead on worker threads and appended in
//! order; `onRow` runs after each admitted row with its index and what the
//! probe found of it (a track's share of its file's size, say), `onRefused`
//! for each path refused, where it stands in the order. An empty folder
//! shows the "folder is empty" box where it stands. A file that a CUE sheet
//! among the paths names is that sheet's tracks only (refused as such, not
//! failing the run). Once the list is full, the rest are refused at once
//! with one message, not probed one by one.
AdmitReport AdmitPaths(const std::vector<InputPath>& inputs, const AdmitChoices& choices, filelist::FileList& list,
                       filelist::FileAdmission& admission, platform::Desktop& desktop,
                       const std::function<void(int row, const filelist::ProbedFile& file)>& onRow,
                       const std::function<void(const Refusal& refusal)>& onRefused);

} // namespace cli
