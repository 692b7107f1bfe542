#pragma once

#include <QString>

namespace settings {
class RunOptions;
}

namespace cli {

//! `tonemill convert --list-options`: every option --option takes, each as a
//! comment with its allowed values and a line "NAME=VALUE" with the value
//! `options` hold now, so the text is a file --options-from reads back.
QString optionList(settings::RunOptions& options);

} // namespace cli
