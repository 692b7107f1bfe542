#pragma once

#include <QString>

//! The probe file's name in the program folder.
inline constexpr const char* kWmaProbeFileName = "CheckWMASupport.wma";

//! Whether WMA encoding works: opens a real WMA encoder (44100 Hz, stereo,
//! standard WMA, 128000 bit/s) on the probe file in `folder` and closes it at
//! once, which leaves a valid, empty WMA file there. Any failure (no encoder,
//! a folder that cannot be written) gives false and reports nothing.
bool CheckWMASupport(const QString& folder);

//! CheckWMASupport in the program folder.
bool CheckWMASupport();
