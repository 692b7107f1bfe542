#pragma once

#include <QStringList>

namespace cli {

//! True when the command-line front end answers: a command ("probe",
//! "convert") or an option first, a first word that is neither a command nor
//! an existing file (a usage error, never the window), or no display for the
//! window to open on (which run() says). Otherwise the words are files for
//! the window, optionally after "--".
bool wantsCommandLine(int argc, char* argv[]);

//! The files the window is started with: `arguments` (the program first)
//! without the program and a leading "--".
QStringList windowFiles(const QStringList& arguments);

//! Runs the command-line front end; returns the process exit status.
int run(int argc, char* argv[]);

} // namespace cli
