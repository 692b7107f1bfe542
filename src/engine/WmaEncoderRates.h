#pragma once

#include "engine/Bass.h"

#include <vector>

namespace engine {

//! The bit rates (bits per second, highest first) the WMA encoder offers for
//! a sample format: the usual WMA rates from 320 kbps down to 24 kbps (the
//! encoder's floor) that are not above the format's uncompressed PCM rate and
//! that the encoder really accepts, checked by encoding a few frames of full
//! scale noise at each. The list ends with a 0 entry, so data() is the
//! zero-ended list BASS_WMA_EncodeGetRates hands out; it is just {0} when the
//! format cannot be encoded at all (more than two channels, a rate above
//! 48000 Hz). Probed once per format; the list stays valid for the process.
const std::vector<DWORD>& wmaBitrates(DWORD rate, DWORD channels);

} // namespace engine
