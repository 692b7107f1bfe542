#pragma once

// The encoder hook behind BASS_Encode_Start / _Stop / _IsActive (declared in
// Bass.h). An encoder is identified by its channel: BASS_Encode_Start returns
// the channel handle itself, and one encoder at most is attached to a channel.
//
// Error codes of BASS_Encode_Start: BASS_ERROR_HANDLE (no such channel),
// BASS_ERROR_NOTAVAIL (not a decoding channel: only BASS_ChannelGetData feeds
// an encoder),
// BASS_ERROR_ILLPARAM (no command line or an unknown flag: only flags 0 is
// supported), BASS_ERROR_ALREADY (an encoder is attached already),
// BASS_ERROR_FILEOPEN (the program cannot be executed: not found, not
// executable), BASS_ERROR_FORMAT (a channel delivering float samples).
// BASS_Encode_Stop returns false with BASS_ERROR_HANDLE when no encoder is
// attached, and with BASS_ERROR_UNKNOWN when the encoder failed
// (it could not take all the audio, exited with a non-zero status or was
// killed); lastEncoderOutcome() then says what happened.

#include "engine/EncoderProcess.h"

namespace engine {

//! What the calling thread's last BASS_Encode_Stop found (also after a failed
//! BASS_Encode_Start: `started` false and `problem` set).
EncoderOutcome lastEncoderOutcome();

//! Sets the hook the encoder attached to `handle` runs while it waits on its
//! program (at least every 100 ms): true from it stops the encoding at once
//! (see EncoderProcess). False when no encoder is attached.
bool setEncoderWaitHook(DWORD handle, EncoderProcess::WaitHook hook);

} // namespace engine
