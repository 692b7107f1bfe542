#pragma once

#include "cli/PathAdmission.h"

#include <cstdio>
#include <vector>

namespace settings {
class RunOptions;
}

namespace cli {

class ConvertConsole;
class TreeRoot;
struct CommandArguments;

//! `tonemill convert`: starts the application object (no display), the
//! language the user chose, the saved options with the run's own over them
//! and the engine, then runConvert(). Standard input given as "-" is copied
//! to a file of the run's own first, and with --output - the output is made
//! in a folder of the run's own and copied to standard output when
//! complete. Returns the exit status.
int runConvertCommand(int argc, char* argv[], const CommandArguments& arguments);

//! What runConvert() converts besides the arguments.
struct ConvertInputs {
    std::vector<InputPath> paths;
    const TreeRoot* treeRoot = nullptr;
    QString standardInput;         //!< the file standard input was copied to; its rows show "-"
    bool toStandardOutput = false; //!< the one row's output goes to standard output
};

//! Admits every path as `tonemill probe` does and runs "Convert All" over
//! the list with `options` (the run's choices already in them). Writes one
//! line per row to `out`: FilePath, the output path (empty when no file was
//! kept), the final Status and the reason it ended so (empty when there is
//! none), separated by tabs; or with --json an object per row and the
//! totals. Ctrl+C stops the batch as the Stop button does. Returns 0 when no
//! path was refused in a way that fails the run (see Refusal) and every row
//! ended "Complete" or "Skipped", 1 otherwise, 2 when --output - was given
//! more than one row. The engine must have been started.
int runConvert(const CommandArguments& arguments, const ConvertInputs& inputs, settings::RunOptions& options,
               std::FILE* out, ConvertConsole& console);

} // namespace cli
