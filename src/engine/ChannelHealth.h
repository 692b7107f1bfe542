#pragma once

#include "engine/Bass.h"

namespace engine {

//! The byte position of a stream's decoded data where the decoder first met
//! damaged input (a packet it could not decode and dropped); -1 when it met
//! none so far, or for an unknown handle.
QWORD channelDamagedAt(DWORD handle);

} // namespace engine
