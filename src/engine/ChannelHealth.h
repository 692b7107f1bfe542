#pragma once

#include "engine/Bass.h"

#include <atomic>

namespace engine {

//! The byte position of a stream's decoded data where the decoder first met
//! damaged input (a packet it could not decode and dropped); -1 when it met
//! none so far, or for an unknown handle.
QWORD channelDamagedAt(DWORD handle);

//! Whether the stream's input held samples that were not finite numbers
//! (delivered as silence); false for an unknown handle.
bool channelMetInvalidSamples(DWORD handle);

//! Reading of the stream that may wait long (a track of a disc drive) gives
//! up soon after `flag` becomes true: a stop is answered within half a
//! second even while a drive retries a bad sector. `flag` must outlive the
//! stream. Nothing happens for an unknown handle.
void setChannelCancelFlag(DWORD handle, const std::atomic<bool>* flag);

} // namespace engine
