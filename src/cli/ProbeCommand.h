#pragma once

#include <cstdio>

namespace cli {

class ConsoleDesktop;
struct CommandArguments;

//! `tonemill probe`: starts the application object (no display), the
//! language the user chose, the saved options (never written) and the
//! engine without an output device, then runProbe(). Returns the exit status.
int runProbeCommand(int argc, char* argv[], const CommandArguments& arguments);

//! Admits every path as the window would (a folder: the files directly
//! inside it, as Add Folder scans them; with --recursive its whole tree) and
//! writes one line per admitted row to `out`: FilePath, Duration, FileSize
//! and Status separated by tabs (see TabLine.h), with --keep-tree or
//! --name-pattern the output's name as a fifth field; with --json an object
//! per row and the totals. A refused path is named on `messages` (see
//! reportRefusal()); message boxes go to `desktop`. Returns 0 when every
//! path was admitted (see Refusal::failsRun), 1 otherwise, 2 for a
//! --tree-root or list that cannot be read. The engine must have been started.
int runProbe(const CommandArguments& arguments, std::FILE* out, std::FILE* messages, ConsoleDesktop& desktop);

} // namespace cli
