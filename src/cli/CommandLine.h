#pragma once

namespace cli {

//! True when the arguments ask for the command-line front end (anything at
//! all: the window takes no arguments).
bool wantsCommandLine(int argc, char* argv[]);

//! Runs the command-line front end; returns the process exit status.
int run(int argc, char* argv[]);

} // namespace cli
