#pragma once

#include "filelist/RowState.h"

#include <QString>
#include <functional>

namespace options {
class FormatOptions;
}
namespace platform {
class Desktop;
}

namespace convert {

class OutputNamePattern;

//! What an output path is made for: one input, the folder its row was
//! added from (empty for a file added by itself) and the output's extension.
struct OutputRequest {
    QString inputPath;
    QString baseFolder;
    QString extension;
};

//! The output path for a request: in the input's folder (for a track of a
//! drive, which has no folder to write to, the chosen output folder) or the
//! chosen output folder (made when missing, one level), named after the input; when that
//! name is taken (by a file, a folder or a link), "_Converted" and then
//! "_0" … "_10000" are added. With "Keep the folder structure" (and "Other
//! folder") the output goes below the output folder at the input's folder
//! relative to its base folder; with "Name outputs from tags" the name (and
//! the folders it names) come from the input's tags. Missing folders below
//! the output folder are made at any depth, never through a link. Empty when
//! no folder can be had (after the message box saying so) or every numbered
//! name is taken. A name for which `reserved` answers true counts as taken
//! too: the batch reserves the names of the rows converting now, whose files
//! do not exist yet. When it is empty, `why` (if given) says why.
QString BuildOutputPath(platform::Desktop& desktop, const options::FormatOptions& options, const OutputRequest& request,
                        const std::function<bool(const QString&)>& reserved = {}, filelist::RowReason* why = nullptr);

//! The same for an input added by itself.
QString BuildOutputPath(platform::Desktop& desktop, const options::FormatOptions& options, const QString& inputPath,
                        const QString& extension, const std::function<bool(const QString&)>& reserved = {});

//! The name BuildOutputPath() tries first for a request, before any collision
//! suffix; nothing is made or looked at on disk.
QString WantedOutputPath(const options::FormatOptions& options, const OutputRequest& request);

//! The folder of `inputPath` relative to `baseFolder` ("Disc 1/CD2"); empty
//! when the input lies directly inside it, outside it, or there is no base.
QString RelativeFolder(const QString& inputPath, const QString& baseFolder);

//! Whether the output names can be made as the options ask: false, after a
//! message box saying why, when "Name outputs from tags" is ticked and its
//! pattern cannot be used. Checked before a batch starts.
bool CheckOutputNaming(platform::Desktop& desktop, const options::FormatOptions& options);

//! The name an output of `inputPath` takes before any pattern or collision
//! suffix: the input's name without its extension, or "Track01", "Track02" …
//! for a track of a CUE sheet or a disc ("album.cue#01", "/dev/sr0#02").
QString OutputBaseName(const QString& inputPath);

//! What is wrong with `pattern`, for a message box: its one problem, or
//! every problem, each on a line of its own under a heading.
QString NamePatternProblemsText(const OutputNamePattern& pattern);

//! The name that follows `path` in the sequence of free names tried when it
//! is taken: "a.mp3" gives "a_Converted.mp3", "a_Converted.mp3"
//! "a_Converted_0.mp3", "a_Converted_7.mp3" "a_Converted_8.mp3"; empty after
//! "_10000".
QString NextOutputPath(const QString& path);

} // namespace convert
