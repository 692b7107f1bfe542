#pragma once

#include "engine/FfmpegEncoder.h"
#include "tags/WriteTagFields.h"

#include <QString>

namespace convert {

//! The iTunSMPB field of an MP4 file, as players that play albums without
//! gaps read it: the encoder's priming, the padding after the audio and the
//! length of the audio, in samples, as hexadecimal numbers in the fixed
//! places the field has (" 00000000 00000400 000002A8 000000000006BAA8 …").
//! The edit list says the same to readers that honour one; this field is
//! what the others go by.
tags::TagField ITunesGaplessField(const engine::EncoderPadding& padding);

//! Writes ITunesGaplessField() into the MP4 file at `path`; false when it
//! cannot be written.
[[nodiscard]] bool WriteGaplessInfo(const QString& path, const engine::EncoderPadding& padding);

//! The reason a row ends "Error" when WriteGaplessInfo() failed.
QString GaplessInfoFailure();

} // namespace convert
