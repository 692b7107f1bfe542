#include "engine/EncoderWavHeader.h"

#include <cstring>

namespace engine {

namespace {
void put(char* at, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        at[i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}
} // namespace

std::array<char, 44> streamingWavHeader(std::uint32_t rate, std::uint16_t channels, std::uint16_t bitsPerSample)
{
    constexpr std::uint32_t kUnknownSize = 0xFFFFFFFF;
    const std::uint32_t blockAlign = channels * ((bitsPerSample + 7u) / 8u);
    std::array<char, 44> h{};
    std::memcpy(&h[0], "RIFF", 4);
    put(&h[4], kUnknownSize, 4);
    std::memcpy(&h[8], "WAVEfmt ", 8);
    put(&h[16], 16, 4); // fmt chunk size
    put(&h[20], 1, 2);  // PCM
    put(&h[22], channels, 2);
    put(&h[24], rate, 4);
    put(&h[28], rate * blockAlign, 4);
    put(&h[32], blockAlign, 2);
    put(&h[34], bitsPerSample, 2);
    std::memcpy(&h[36], "data", 4);
    put(&h[40], kUnknownSize, 4);
    return h;
}

} // namespace engine
