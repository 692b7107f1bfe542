#pragma once

#include <string>
#include <vector>

namespace engine {

//! Splits an encoder command line into the program and its arguments, the way
//! the encoder hook runs it: no shell is involved, so `$(…)`, back-ticks, `;`,
//! `|`, `*` and the like reach the program as plain text.
//!
//! Rules: blanks (space, tab) separate arguments outside double quotes; a
//! double quote starts or ends a quoted section, which may hold blanks and may
//! join onto unquoted text (`a"b c"d` is one argument `ab cd`); `""` yields an
//! empty argument. Inside a quoted section a doubled quote `""` stands for one
//! literal `"`. Backslashes are ordinary characters, so folder separators and
//! a trailing backslash need no escaping.
std::vector<std::string> splitCommandLine(const std::string& commandLine);

//! Quotes one argument so that splitCommandLine() gives it back unchanged.
std::string quoteCommandArgument(const std::string& argument);

} // namespace engine
