#pragma once

#include "engine/Bass.h"

namespace engine {

//! The playing state of a channel that is not a decoding channel:
//! BASS_ACTIVE_PLAYING, BASS_ACTIVE_PAUSED or BASS_ACTIVE_STOPPED.
DWORD playbackState(DWORD handle);

//! Stops and forgets playback of a channel that is being freed. Call it
//! without holding the channel slot's mutex: the output thread takes it.
void forgetPlayback(DWORD handle);

//! Whether BASS_Init succeeded and BASS_Free was not called since.
bool engineInitialised();

// Output devices of BASS_Init: 1 and -1 are the sound server's default
// output; 2, 3, … the server's other outputs in its own order; 0 is "no
// sound": the engine starts, but channels cannot be played
// (BASS_ERROR_NOTAVAIL). A missing device number gives BASS_ERROR_DEVICE; no
// sound server or no output at all gives BASS_ERROR_DRIVER.
//
// The environment variable TONEMILL_AUDIO_DEVICE, when set, names the output
// (its sound server id, e.g. a PulseAudio sink name, or its description) that
// devices 1 and -1 stand for; a name that matches no output gives
// BASS_ERROR_DEVICE. Tests use it to reach that failure.

} // namespace engine
