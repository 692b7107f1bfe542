#pragma once

#include "engine/Channel.h"

#include <QString>
#include <memory>
#include <optional>

namespace engine {

//! Opens a path that names a part of something rather than a file the engine
//! decodes whole, such as a track of a CUE sheet or of a drive
//! ("album.cue#03"): nothing when `path` is not such a path; otherwise the
//! channel, or null with `error` set. `floatSamples` as for any stream.
using PathOpener = std::optional<std::shared_ptr<Channel>> (*)(const QString& path, bool floatSamples, int& error);

//! Installs the opener that every stream opened from a path asks first (the
//! disc library's, installed at start-up by each front end). Without one,
//! every path is opened as a file.
void setPathOpener(PathOpener opener);

} // namespace engine
