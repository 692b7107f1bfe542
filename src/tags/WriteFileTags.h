#pragma once

#include "engine/MediaTags.h"

#include <QString>

namespace tags {

//! The container an output file is written in; named by the caller, since an
//! output may still carry a temporary name without its extension.
enum class TagFormat { Wav, Mp3, Ogg, Wma, Flac, Opus, Mp4 };

//! Writes `tags` into the complete file at `path` in the form its format
//! takes: ID3v2.4 (and no ID3v1) in MP3; Vorbis comments with a picture block
//! in Ogg Vorbis, Opus and FLAC; ASF attributes with WM/Picture in WMA; MP4
//! items with "covr"; a LIST/INFO chunk and an ID3v2.4 chunk after the audio
//! in WAV, whose header keeps its place. Empty tags leave the file untouched.
//! Every write is checked, then the file is flushed to disk and its size
//! checked. False when the file cannot be read as `format` (it is then left
//! untouched and `failure` is empty) or when saving failed: `failure` then
//! says why, in the system's words where the system refused, and the file
//! may be damaged.
[[nodiscard]] bool WriteFileTags(const QString& path, TagFormat format, const engine::MediaTags& tags,
                                 QString* failure = nullptr);

class CheckedTagStream;

//! Renames the ID3 chunk TagLib writes into a WAV file ("ID3 ") to the
//! lower-case "id3 " that WAV readers have looked for the longest. Every
//! writer of a WAV's tags calls it after saving.
void RenameWavId3Chunk(CheckedTagStream& stream);

//! Sets the file size the ASF header of a WMA file states to the file's real
//! size after its tags were saved: FFmpeg's reader trusts the header's length
//! only while the two agree. Every writer of a WMA's tags calls it.
void UpdateAsfFileSize(CheckedTagStream& stream);

} // namespace tags
