#pragma once

#include <QString>

//! The program folder: where Lang/, the settings store, the error log and the
//! encoders beside the program are looked for. TONEMILL_HOME overrides the
//! executable's own folder.
QString programFolder();
