#pragma once

#include "engine/Channel.h"
#include "engine/TrackPath.h"

#include <memory>

namespace engine {

//! Opens `track` as a channel that delivers exactly its audio: sectors of a
//! drive or a BIN image, or the sample frames of an audio file. Null with
//! `error` set (BASS_ERROR_FILEOPEN when the sheet or disc cannot be read or
//! has no such track).
std::shared_ptr<Channel> OpenDiscTrack(const TrackPath& track, bool floatSamples, int& error);

} // namespace engine
