#pragma once

#include <QString>
#include <string>

//! The system's words for an error number or a signal, safe from any thread
//! (strerror and strsignal share one buffer between threads).
namespace platform {

//! "No space left on device" for ENOSPC, in the language of the locale.
std::string systemErrorString(int error);
QString systemErrorText(int error);

//! "Killed" for SIGKILL; "signal 77" for a number the system has no words for.
std::string signalText(int signal);

} // namespace platform
