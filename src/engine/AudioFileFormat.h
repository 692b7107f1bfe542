#pragma once

#include <QString>
#include <optional>

namespace engine {

//! What a file holds, as the engine's container reader sees it: the
//! container and the codec of its first audio stream by their FFmpeg names
//! ("ogg" and "opus", "wav" and "pcm_s16le"), its sample rate, when the
//! codec has a fixed one its frame length in samples (0 otherwise), and its
//! playing time as a stream of it delivers it (-1 when it cannot be told).
struct AudioFileFormat {
    QString container;
    QString codec;
    int rate = 0;
    int frameSamples = 0;
    double seconds = -1;
};

//! Reads the format of the file at `path`, and measures it as a stream does
//! (see StreamLength), without opening a decoder; nothing when the engine
//! cannot open it as a container with an audio stream it decodes.
std::optional<AudioFileFormat> ReadAudioFileFormat(const QString& path);

//! Decodes the file at `path` from sample frame `fromFrame` (at `rate`) to
//! its end and counts the frames it delivers: what the file really holds
//! there, whatever its header says. Where the container cannot seek, the
//! whole file is decoded and only the frames from `fromFrame` on count.
//! -1 when it cannot be opened for decoding.
std::int64_t DecodedFramesFrom(const QString& path, int rate, std::int64_t fromFrame);

} // namespace engine
