#pragma once

#include "cli/CommandOptions.h"
#include "cli/PathAdmission.h"

#include <QString>
#include <cstdio>
#include <optional>
#include <vector>

namespace platform {
class Desktop;
}
namespace settings {
class RunOptions;
}

namespace cli {

//! What `probe` and `convert` set up alike before they admit their paths.

//! The saved options with the run's own applied over them, in this order:
//! the lines of each --options-from file, then each --option. False, with the
//! reason in `error`, for a file that cannot be read, an unknown name (with
//! the nearest ones) or a value that does not apply. Nothing is written.
bool loadRunOptions(const CommandArguments& arguments, settings::RunOptions& options, platform::Desktop& desktop,
                    QString& error);

//! The paths of the command line, then those of each --files-from list, in
//! order; nothing with the reason in `error` when a list cannot be read.
std::optional<std::vector<InputPath>> inputPaths(const CommandArguments& arguments, QString& error);

//! Writes a refused path: one line on `messages` ("refused: not audio:
//! PATH"; none when quiet) and, with `json`, the row {"input", "output":
//! null, "status": "Refused", "reason"} on `out`. `shown` is the path as the
//! rows show it.
void reportRefusal(const Refusal& refusal, const QString& shown, bool json, bool quiet, std::FILE* out,
                   std::FILE* messages);

} // namespace cli
