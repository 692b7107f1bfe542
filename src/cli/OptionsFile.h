#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace cli {

//! The assignments of an options file (`--options-from`): one "NAME=VALUE" a
//! line, as `--list-options` writes them. Blank lines and lines that begin
//! with "#" are passed over; a line end of "\r\n" is taken as "\n". Nothing,
//! with the reason in `error`, when the file cannot be read or a line is not
//! an assignment (its number says which).
std::optional<QStringList> readOptionsFile(const QString& file, QString& error);

//! The assignments of an options file's bytes, as readOptionsFile() takes them.
std::optional<QStringList> parseOptionsFile(const QByteArray& bytes, QString& error);

} // namespace cli
