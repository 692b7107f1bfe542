#pragma once

#include <QString>
#include <QStringList>

namespace filelist::addfiles {

//! The paths a selection text stands for, in its order. Every pair of
//! consecutive NULs is removed first (the dialog's closing double NUL), then
//! the text is split at NUL: one item is a full path; with more, the first
//! is the folder and each further item a name inside it. Folder and name are
//! joined with one "/", none added when the folder already ends in one (the
//! root), because a path beginning with "//" would be kept as it stands.
//! An empty selection stands for no path.
QStringList selectionPaths(QString selection);

//! The selection text of a folder and the names inside it (as the folder
//! button builds it): the folder exactly as given, then NUL and each name.
QString folderSelection(const QString& folder, const QStringList& names);

} // namespace filelist::addfiles
