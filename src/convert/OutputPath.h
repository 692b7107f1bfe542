#pragma once

#include <QString>
#include <functional>

class Desktop;

namespace options {
class FormatOptions;
}

//! The output path for `inputPath` converted to `extension`: in the input's
//! folder or the chosen output folder (made when missing, one level), named
//! after the input; when that name is taken (by a file, a folder or a link),
//! "_Converted" and then
//! "_0" … "_10000" are added. Empty when no folder can be had (after the
//! message box saying so) or every numbered name is taken. A name for which
//! `reserved` answers true counts as taken too: the batch reserves the names
//! of the rows converting now, whose files do not exist yet.
QString BuildOutputPath(Desktop& desktop, const options::FormatOptions& options, const QString& inputPath,
                        const QString& extension, const std::function<bool(const QString&)>& reserved = {});

//! The folder part of `path`: everything before its last '/', or "/" for a
//! file at the root; "." when it has no folder.
QString ParentFolder(const QString& path);

//! The name that follows `path` in the sequence of free names tried when it
//! is taken: "a.mp3" gives "a_Converted.mp3", "a_Converted.mp3"
//! "a_Converted_0.mp3", "a_Converted_7.mp3" "a_Converted_8.mp3"; empty after
//! "_10000".
QString NextOutputPath(const QString& path);
