#pragma once

// FFmpeg's wmav2 encoder for the probe that lists the bit rates it accepts.

#include "engine/AvPointers.h"

#include <cstdint>

namespace engine {

//! Environment variable that, when set to a non-empty value, makes the WMA
//! encoder unavailable to the whole engine, as on a system whose FFmpeg was
//! built without it: tests and demonstrations of the missing-WMA remedies use it.
inline constexpr const char* kNoWmaEncoderVariable = "TONEMILL_NO_WMA_ENCODER";

//! Whether FFmpeg offers the wmav2 encoder (and kNoWmaEncoderVariable is not set).
bool wmaEncoderAvailable();

//! The wmav2 encoder opened for `rate` Hz, `channels` channels and `bitrate`
//! bits per second; nullptr when it refuses that format or rate.
AvCodecContextPtr openWmaCodec(int rate, int channels, std::int64_t bitrate, bool globalHeader);

//! A planar float frame of the codec's frame size, ready to be filled.
AvFramePtr makeWmaFrame(const AVCodecContext& codec);

//! Fills `frame` (planar float) from interleaved signed 16-bit samples:
//! `frames` sample frames, the rest of the frame is silence.
bool fillWmaFrame(AVFrame& frame, const std::int16_t* interleaved, int frames, int channels);

} // namespace engine
