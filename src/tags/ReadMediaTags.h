#pragma once

#include "engine/MediaTags.h"

namespace tags {

//! Reads the tags and the front cover of the file at `path`: the container's
//! metadata and attached picture for everything the stream opener decodes,
//! title and artist of a tracker module, the text events of a MIDI file; for
//! a track of a CUE sheet or a disc ("source#NN") the sheet's fields or the
//! disc's CD-Text. Empty tags for a file that has none or cannot be read.
engine::MediaTags ReadMediaTags(const QString& path);

} // namespace tags
