#pragma once

#include <cstdio>

namespace settings {
class RunOptions;
}

namespace cli {

class ConvertConsole;
struct ConvertArguments;

//! `tonemill convert`: starts the application object (no display), the
//! language the user chose, the saved options and the engine, then runs
//! runConvert() with the arguments after "convert". Returns the exit status.
int runConvertCommand(int argc, char* argv[]);

//! Admits every path as `tonemill probe` does, applies the format and folder
//! arguments to `options` as the window's controls would (the --option
//! assignments must already be in `options`), and runs "Convert All" over
//! the list. Writes one line per row to `out`: FilePath, the output
//! path (empty when no file was kept), the final Status and the reason it
//! ended so (empty when there is none), separated by tabs. Ctrl+C stops the batch as the Stop button does. Returns 0
//! when every path was admitted and every row ended "Complete", 1 otherwise. The engine must have been started.
int runConvert(const ConvertArguments& arguments, settings::RunOptions& options, std::FILE* out,
               ConvertConsole& console);

} // namespace cli
