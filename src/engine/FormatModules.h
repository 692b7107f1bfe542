#pragma once

#include "engine/Bass.h"

extern "C" {
#include <libavcodec/codec_id.h>
}

#include <QString>

namespace engine {

//! The engine's format modules. Each module stands for a family of decoders;
//! loading it makes those formats readable when its backing library can
//! decode them. The engine's own formats (PCM WAV/AIFF, MPEG audio, Vorbis)
//! need no module.
namespace FormatModules {

//! Loads the module with this bare name (any folder part is ignored, case is
//! not significant). Returns its handle, or 0 with BASS_ERROR_FILEOPEN when
//! the name is unknown or its backing library cannot decode anything.
HPLUGIN load(const char* name);

//! Unloads one module (handle) or every module (0). False for an unknown handle.
bool unload(HPLUGIN handle);

//! Whether a decoder for `codec` may be used now: 0 when the engine reads it
//! by itself, the handle of the loaded module that provides it, or -1 when
//! the module it needs is not loaded (or no module provides it).
long long codecProvider(AVCodecID codec);

//! Whether a container of this demuxer name may be read at all. Tracker
//! module containers and anything not meant as an audio/video file are refused.
bool containerAllowed(const char* demuxerName);

//! Handle of the MIDI module when loaded, else 0.
HPLUGIN midiModule();

//! The General MIDI sound font the MIDI module renders with.
QString midiSoundFont();

} // namespace FormatModules

} // namespace engine
