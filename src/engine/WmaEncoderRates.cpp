#include "engine/WmaEncoderRates.h"

#include "engine/WmaCodec.h"

#include <map>
#include <mutex>

namespace engine {

namespace {

// The usual WMA rates down to 24 kbps, wmav2's floor (it refuses anything lower).
constexpr DWORD kCandidates[] = {320000, 256000, 192000, 160000, 128000, 96000,
                                 80000,  64000,  48000,  40000,  32000,  24000};

// Three frames of loud white noise, the hardest input for a bit budget: a
// rate that carries it carries anything.
bool encodesNoise(int rate, int channels, DWORD bitrate)
{
    AvCodecContextPtr codec = openWmaCodec(rate, channels, bitrate, true);
    if (!codec)
        return false;
    AvFramePtr frame = makeWmaFrame(*codec);
    AvPacketPtr packet(av_packet_alloc());
    if (!frame || !packet)
        return false;
    std::vector<std::int16_t> noise(static_cast<std::size_t>(codec->frame_size) * static_cast<std::size_t>(channels));
    std::uint32_t seed = 12345;
    for (int f = 0; f < 3; ++f) {
        for (auto& s : noise) {
            seed = seed * 1664525u + 1013904223u;
            s = static_cast<std::int16_t>(seed >> 16);
        }
        if (!fillWmaFrame(*frame, noise.data(), codec->frame_size, channels))
            return false;
        frame->pts = std::int64_t(f) * codec->frame_size;
        if (avcodec_send_frame(codec.get(), frame.get()) < 0)
            return false;
        int rc;
        while ((rc = avcodec_receive_packet(codec.get(), packet.get())) >= 0)
            av_packet_unref(packet.get());
        if (rc != AVERROR(EAGAIN))
            return false;
    }
    return true;
}

} // namespace

const std::vector<DWORD>& wmaBitrates(DWORD rate, DWORD channels)
{
    // Without the encoder nothing is offered, and nothing is remembered: the
    // encoder may be there on the next call (see kNoWmaEncoderVariable).
    static const std::vector<DWORD> none{0};
    if (!wmaEncoderAvailable())
        return none;
    static std::mutex mutex;
    static std::map<std::pair<DWORD, DWORD>, std::vector<DWORD>> cache;
    std::lock_guard lock(mutex);
    const auto key = std::make_pair(rate, channels);
    auto it = cache.find(key);
    if (it != cache.end())
        return it->second;

    std::vector<DWORD> rates;
    if (rate > 0 && rate <= 48000 && channels >= 1 && channels <= 2) {
        const std::uint64_t pcmRate = std::uint64_t(rate) * channels * 16;
        for (const DWORD candidate : kCandidates) {
            if (candidate <= pcmRate && encodesNoise(int(rate), int(channels), candidate))
                rates.push_back(candidate);
        }
    }
    rates.push_back(0);
    return cache.emplace(key, std::move(rates)).first->second;
}

} // namespace engine
