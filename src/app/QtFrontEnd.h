#pragma once

namespace app {

//! Runs the window front end; returns the process exit status.
int runWindow(int argc, char* argv[]);

} // namespace app
