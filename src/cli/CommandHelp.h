#pragma once

#include "cli/CommandOptions.h"

#include <QString>

namespace cli {

//! `tonemill --help`: the commands and the options of the program itself.
QString programHelp();

//! `tonemill COMMAND --help`: what the command does, its options (from the
//! table the parser reads) and its exit status.
QString commandHelp(Command command);

} // namespace cli
