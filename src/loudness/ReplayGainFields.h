#pragma once

#include "loudness/LoudnessFigures.h"
#include "tags/WriteTagFields.h"

#include <QList>
#include <QString>

namespace loudness {

enum class GainScope { Track, Album };

//! ReplayGain 2.0 references: the loudness a player's gain aims at.
constexpr double kReplayGainReference = -18.0; // LUFS
constexpr double kOpusReference = -23.0;       // LUFS, of the R128 gains of Ogg Opus (RFC 7845)

//! The gain and peak fields of `figures` for the track or the album, named
//! and written as `format` keeps them: REPLAYGAIN_TRACK_GAIN ("-6.52 dB") and
//! REPLAYGAIN_TRACK_PEAK ("0.988553", the true peak) as ID3v2 user texts (MP3,
//! WAV), Vorbis comments (Ogg Vorbis, FLAC), and in lower case as MP4 free-form
//! items and ASF attributes; for Opus only R128_TRACK_GAIN, a whole number of
//! 1/256 dB towards -23 LUFS (peaks have no field there). Empty when the
//! loudness cannot be told (silence).
QList<tags::TagField> ReplayGainFields(tags::TagFormat format, GainScope scope, const LoudnessFigures& figures);

//! The Q7.8 value of an R128 gain field for a gain of `decibels`, limited to
//! what 16 bits hold.
int r128Gain(double decibels);

} // namespace loudness
