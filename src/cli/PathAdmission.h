#pragma once

#include <QStringList>
#include <functional>

namespace filelist {
class FileAdmission;
class FileList;
} // namespace filelist
namespace platform {
class Desktop;
}

namespace cli {

//! How AdmitPaths() takes its paths.
struct AdmitChoices {
    //! A folder's whole tree, not only the files directly inside it.
    bool recursive = false;
    //! The folder a file given by itself counts as found in, when it lies
    //! below it: its output then keeps its place in that folder's tree (as a
    //! file found by a folder scan does). Empty: none.
    QString treeRoot;
    //! Asked while waiting for a probe: true ends the adding (the rest of
    //! the paths are not added, nor counted as refused).
    std::function<bool()> stopped;
};

//! Admits the paths of a command line into `list` as the window's Add
//! actions would: a file through admission (a CUE sheet or a drive's device
//! as its tracks), a folder as Add Folder scans it (with `recursive`, its
//! whole tree). Files are probed ahead on worker
//! threads and appended in order; `onRow` runs after each admitted row with
//! its index. An empty folder shows the "folder is empty" box where it stands
//! in the order, and one "not added" box ends the run when anything was
//! refused. A file that a CUE sheet among the paths names is added as that
//! sheet's tracks only; a box then says how many files were. True when
//! every path was admitted; `refused` (when given) receives the number of
//! paths refused and empty folders, `asTracks` the number of files added as
//! tracks of a sheet.
bool AdmitPaths(const QStringList& arguments, const AdmitChoices& choices, filelist::FileList& list,
                filelist::FileAdmission& admission, platform::Desktop& desktop,
                const std::function<void(int row)>& onRow = {}, int* refused = nullptr, int* asTracks = nullptr);

} // namespace cli
