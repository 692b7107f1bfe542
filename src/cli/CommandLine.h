#pragma once

#include <QStringList>

namespace cli {

//! True when the arguments ask for the command-line front end: a command
//! ("probe", "convert") or an option first. Other arguments are files for the
//! window, optionally after "--".
bool wantsCommandLine(int argc, char* argv[]);

//! The files the window is started with: `arguments` (the program first)
//! without the program and a leading "--".
QStringList windowFiles(const QStringList& arguments);

//! Runs the command-line front end; returns the process exit status.
int run(int argc, char* argv[]);

} // namespace cli
