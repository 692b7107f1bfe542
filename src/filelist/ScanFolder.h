#pragma once

#include <QString>
#include <QStringList>

//! The names of the files directly inside `folder`, in the order the directory
//! listing returns them: hidden files included, sub-folders (and links to
//! them) skipped and not entered, and no special files (pipes, sockets,
//! devices), which would block whoever opens them. Empty when the folder
//! holds no file or cannot be listed.
QStringList ScanFolderNames(const QString& folder);

//! The same names as one text, each preceded by "*" ("*a.wav*b.mp3"); empty
//! when there is none. A name that itself holds "*" cannot be told apart in
//! this form: callers that add the files use ScanFolderNames.
QString ScanFolder(const QString& folder);
