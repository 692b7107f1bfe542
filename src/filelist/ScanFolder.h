#pragma once

#include <QString>
#include <QStringList>
#include <atomic>

namespace filelist {

//! The names of the files inside `folder`, relative to it, in natural order
//! (see naturalLess): hidden files included, no special files
//! (pipes, sockets, devices), which would block whoever opens them. Without
//! `recursive` only the files directly inside are listed. With it, each
//! folder's files come before its sub-folders' ("a.mp3", "Disc 2/b.mp3");
//! linked folders and hidden folders are not entered, and no folder is entered
//! twice, so the walk never leaves the tree or loops. Folders that cannot be
//! listed are passed over. Empty when there is no file.
QStringList ScanFolderNames(const QString& folder, bool recursive = false);

//! Watches and stops a scan that runs on another thread.
struct ScanControl {
    std::atomic<bool> stop{false};   //!< set to end the scan early (it returns what it found so far)
    std::atomic<qsizetype> found{0}; //!< files found so far
};

//! ScanFolderNames that reports each file found to `control` and ends early
//! once `control.stop` is set.
QStringList ScanFolderNames(const QString& folder, bool recursive, ScanControl& control);

//! The files directly inside as one text, each name preceded by "*"
//! ("*a.wav*b.mp3"); empty when there is none. A name that itself holds "*"
//! cannot be told apart in this form: callers that add the files use
//! ScanFolderNames.
QString ScanFolder(const QString& folder);

} // namespace filelist
