#pragma once

#include <QString>
#include <QStringList>

namespace cli {

//! One field of a tab-separated line of `probe` and `convert`: a tab, line
//! end or backslash inside it is written as "\t", "\n", "\r" or "\\", any
//! other control character as "\xNN", so a field never splits its line.
//! Everything else is kept, a name's bytes that are not UTF-8 too.
QString tabField(const QString& field);

//! The fields escaped and joined by tabs, with the line end.
QString tabLine(const QStringList& fields);

} // namespace cli
