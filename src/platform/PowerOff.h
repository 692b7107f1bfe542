#pragma once

#include <QString>

namespace platform {

//! Asks for a clean power-off of the machine: the login manager's PowerOff
//! over the system D-Bus, without interaction and never forced. When the
//! environment variable TONEMILL_POWEROFF_COMMAND is set, the program it
//! names runs instead (its text split into arguments as a shell would quote
//! them, but never run by a shell). True when the request was made.
bool RequestPowerOff();

//! The environment variable that replaces the power-off with a program.
inline constexpr const char* kPowerOffCommandVariable = "TONEMILL_POWEROFF_COMMAND";

//! Runs the command line `command` (no shell) and waits for it; true when it
//! ran and exited with status 0.
bool RunPowerOffCommand(const QString& command);

} // namespace platform
