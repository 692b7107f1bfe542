#include "convert/AudioLength.h"

#include "engine/AudioEngine.h"

namespace convert {

std::optional<AudioLength> MeasureAudioLength(const QString& path)
{
    const HSTREAM stream = engine::OpenStream(false, path, 0, 0, BASS_STREAM_DECODE);
    if (stream == 0)
        return std::nullopt;
    BASS_CHANNELINFO info{};
    const bool known = BASS_ChannelGetInfo(stream, &info);
    const QWORD bytes = BASS_ChannelGetLength(stream, BASS_POS_BYTE);
    // Freeing a stream that was just opened cannot fail in a way that matters here.
    static_cast<void>(BASS_StreamFree(stream));
    const DWORD sampleBytes = (info.flags & BASS_SAMPLE_8BITS) ? 1 : (info.flags & BASS_SAMPLE_FLOAT) ? 4 : 2;
    const DWORD block = info.chans * sampleBytes;
    if (!known || block == 0 || bytes == QWORD(-1))
        return std::nullopt;
    return AudioLength{static_cast<std::int64_t>(bytes / block), static_cast<int>(info.freq)};
}

} // namespace convert
