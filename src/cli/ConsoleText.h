#pragma once

#include <QString>
#include <QStringList>
#include <cstdio>

namespace cli {

//! Writes `text` to `stream` as UTF-8.
void writeUtf8(std::FILE* stream, const QString& text);

//! The command-line words from `argv[skip]` on, file names kept byte for byte
//! (see platform/FileName.h).
QStringList commandArguments(int argc, char* argv[], int skip);

//! Whether `path` names a folder (or a link to one).
bool isFolderPath(const QString& path);

//! A path argument as the window's dialogs give paths: made absolute against
//! the current folder, otherwise untouched.
QString absolutePath(const QString& path);

} // namespace cli
