#pragma once

#include <QString>
#include <QStringList>
#include <cstdio>
#include <optional>

namespace cli {

//! The paths of a list file (`--files-from`): one a line, or each ended by a
//! NUL with `nulSeparated` (as `find -print0` writes them, so that a name may
//! hold a line break). Bytes are kept as they are: a name that is not UTF-8
//! stays the same bytes (see platform/FileName.h), and nothing is trimmed.
//! Empty entries are passed over. "-" reads `standardInput`. Nothing, with
//! the system's reason in `error`, when the file cannot be read.
std::optional<QStringList> readPathList(const QString& file, bool nulSeparated, QString& error,
                                        std::FILE* standardInput = stdin);

//! All the bytes of the file a command line names (a list, an options file):
//! "-" is `standardInput`, a descriptor the shell handed over (`<(…)`) is read
//! as a pipe, anything else only when it is a regular file. Nothing, with the
//! file and the reason in `error`, when it cannot be read.
std::optional<QByteArray> readArgumentFile(const QString& file, QString& error, std::FILE* standardInput = stdin);

//! Splits the bytes of a list as readPathList() does.
QStringList splitPathList(const QByteArray& bytes, bool nulSeparated);

} // namespace cli
