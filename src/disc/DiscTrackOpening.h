#pragma once

#include "disc/TrackPath.h"
#include "engine/Channel.h"

#include <memory>

namespace disc {

//! Opens `track` as a channel that delivers exactly its audio: sectors of a
//! drive or a BIN image, or the sample frames of an audio file. Null with
//! `error` set (BASS_ERROR_FILEOPEN when the sheet or disc cannot be read or
//! has no such track).
std::shared_ptr<engine::Channel> OpenDiscTrack(const TrackPath& track, bool floatSamples, int& error);

//! Has the engine open every path that names a track ("album.cue#03",
//! "/dev/sr0#03") through OpenDiscTrack(), so that every engine call reaches
//! tracks as it reaches files. Each front end calls it at start-up.
void InstallTrackOpener();

} // namespace disc
