#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

namespace filelist {

//! The files among `paths` (one add) that a CUE sheet among them names for
//! its audio tracks: the audio file of a one-file rip, every file of a rip
//! with one file per track, a BIN image. Such a file is added as the
//! sheet's tracks only; added without its sheet it is a row of its own. A
//! sheet that cannot be read takes none. Paths are given and returned as
//! admission normalises them.
QSet<QString> SheetNamedFiles(const QStringList& paths);

} // namespace filelist
