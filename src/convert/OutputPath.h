#pragma once

#include <QString>

class Desktop;

namespace options {
class FormatOptions;
}

//! The output path for `inputPath` converted to `extension`: in the input's
//! folder or the chosen output folder (made when missing, one level), named
//! after the input; when that name is taken by a file, "_Converted" and then
//! "_0" … "_10000" are added. Empty when no folder can be had (after the
//! message box saying so) or every numbered name is taken.
QString BuildOutputPath(Desktop& desktop, const options::FormatOptions& options, const QString& inputPath,
                        const QString& extension);

//! The folder part of `path`: everything before its last '/', or "/" for a
//! file at the root; "." when it has no folder.
QString ParentFolder(const QString& path);
