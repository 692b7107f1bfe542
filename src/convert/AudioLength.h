#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace convert {

//! How much audio a file holds, as the engine decodes it: sample frames at
//! the file's own rate.
struct AudioLength {
    std::int64_t frames = 0;
    int rate = 0;

    double seconds() const { return rate > 0 ? static_cast<double>(frames) / rate : 0.0; }
};

//! The length of the audio in the file (or track) at `path`, counted the
//! way the engine counts it for the row's length: exactly, from what the
//! container states where that is exact (WAV, FLAC, Ogg, MP3 with an encoder
//! tag), else by scanning or decoding. Nothing when the engine cannot open it.
std::optional<AudioLength> MeasureAudioLength(const QString& path);

} // namespace convert
