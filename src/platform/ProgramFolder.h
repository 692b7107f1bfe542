#pragma once

#include <QString>

namespace platform {

//! The program folder: where Lang/, the settings store, the error log and the
//! encoders beside the program are looked for. TONEMILL_HOME overrides the
//! executable's own folder.
QString programFolder();

} // namespace platform
