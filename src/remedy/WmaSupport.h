#pragma once

#include <QString>

namespace remedy {

//! The probe file's name, inside the probe's private folder.
inline constexpr const char* kWmaProbeFileName = "CheckWMASupport.wma";

//! Whether WMA encoding works: opens a real WMA encoder (44100 Hz, stereo,
//! standard WMA, 128000 bit/s) on a probe file and closes it at once. The
//! probe file lies in a private folder made anew under `scratchFolder` (only
//! this user may enter it, so nothing there can be a link planted by another)
//! and both are removed before returning. Any failure (no encoder, a scratch
//! folder that cannot be written) gives false and reports nothing.
bool CheckWMASupport(const QString& scratchFolder);

//! CheckWMASupport in the user's temporary folder. The program folder plays no
//! part: an installed copy that the user cannot write still encodes WMA.
bool CheckWMASupport();

} // namespace remedy
