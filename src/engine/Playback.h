#pragma once

#include "engine/Bass.h"

namespace engine {

//! The playing state of a channel that is not a decoding channel:
//! BASS_ACTIVE_PLAYING, BASS_ACTIVE_PAUSED or BASS_ACTIVE_STOPPED.
DWORD playbackState(DWORD handle);

//! Stops and forgets playback of a channel that is being freed.
void forgetPlayback(DWORD handle);

} // namespace engine
