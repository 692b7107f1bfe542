#pragma once

#include "platform/Desktop.h"

#include <QList>

//! The filter lists of the two open-file dialogs, in the order they are
//! offered; the first entry is the one selected when a dialog opens.
namespace filelist::addfiles {

//! Audio files: "All Supported Audio Formats" first, then one entry per kind.
//! The kinds that admission refuses (mod, mo3, wv) are offered too.
QList<platform::Desktop::FileFilter> audioFileFilters();

//! Video files: "All Supported Video Formats" first, then one entry per kind.
QList<platform::Desktop::FileFilter> videoFileFilters();

//! "*.a;*.b" for the extensions given.
QString patternList(const QStringList& extensions);

} // namespace filelist::addfiles
