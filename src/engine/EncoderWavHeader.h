#pragma once

#include <array>
#include <cstdint>

namespace engine {

//! The 44-byte header of a PCM WAV stream whose length is not known in
//! advance: the RIFF and data sizes hold 0xFFFFFFFF, the usual marker of a
//! stream that runs until its input ends (lame and oggenc read such a stream
//! to its end).
std::array<char, 44> streamingWavHeader(std::uint32_t rate, std::uint16_t channels, std::uint16_t bitsPerSample);

} // namespace engine
