#pragma once

#include <QString>
#include <QStringList>

namespace filelist::addfiles {

//! The paths of `names` (relative, in their order) inside `folder`: folder
//! and name joined with one "/", none added when the folder already ends in
//! one (the root), because a path beginning with "//" would be kept as it
//! stands.
QStringList pathsInFolder(const QString& folder, const QStringList& names);

} // namespace filelist::addfiles
