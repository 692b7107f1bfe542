#include "engine/MidiFile.h"

#include "engine/MidiTrackReader.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace engine {

namespace {

std::uint32_t le32(const std::uint8_t* p)
{
    return (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

//! Walks one track; records its tempo changes and returns the tick of its last
//! event. A damaged track counts up to its last readable event.
std::uint64_t walkTrack(std::span<const std::uint8_t> track, std::multimap<std::uint64_t, std::uint32_t>& tempos)
{
    std::uint64_t last = 0;
    MidiTrackReader reader(track);
    MidiTrackReader::Event event;
    while (reader.next(event)) {
        if (event.status == 0xff && event.metaType == 0x51 && event.size == 3) {
            const std::uint8_t* p = event.data;
            tempos.emplace(event.tick, (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2]);
        }
        last = event.tick;
    }
    return last;
}

} // namespace

bool MidiFile::looksLikeMidi(const std::uint8_t* head, std::size_t size)
{
    if (size >= 4 && std::memcmp(head, "MThd", 4) == 0)
        return true;
    return size >= 12 && std::memcmp(head, "RIFF", 4) == 0 && std::memcmp(head + 8, "RMID", 4) == 0;
}

std::optional<MidiFile> MidiFile::parse(std::vector<std::uint8_t> bytes)
{
    MidiFile midi;
    if (bytes.size() >= 12 && std::memcmp(bytes.data(), "RIFF", 4) == 0) {
        // RIFF RMID: the SMF is the payload of the "data" chunk.
        std::size_t at = 12;
        bool found = false;
        while (at + 8 <= bytes.size()) {
            const std::uint32_t size = le32(&bytes[at + 4]);
            if (std::memcmp(&bytes[at], "data", 4) == 0) {
                const std::size_t available = std::min<std::size_t>(size, bytes.size() - at - 8);
                midi.smf.assign(bytes.begin() + static_cast<long>(at + 8),
                                bytes.begin() + static_cast<long>(at + 8 + available));
                found = true;
                break;
            }
            at += 8 + size + (size & 1);
        }
        if (!found)
            return std::nullopt;
    } else {
        midi.smf = std::move(bytes);
    }

    const std::vector<std::uint8_t>& smf = midi.smf;
    if (!MidiTrackReader::hasHeader(smf))
        return std::nullopt;
    const unsigned tracks = (unsigned(smf[10]) << 8) | smf[11];
    const std::int16_t division = static_cast<std::int16_t>((unsigned(smf[12]) << 8) | smf[13]);
    if (tracks == 0 || division == 0)
        return std::nullopt;

    std::multimap<std::uint64_t, std::uint32_t> tempos;
    std::uint64_t lastTick = 0;
    const auto chunks = MidiTrackReader::tracks(smf);
    if (chunks.empty())
        return std::nullopt;
    for (std::size_t i = 0; i < chunks.size() && i < tracks; ++i)
        lastTick = std::max(lastTick, walkTrack(chunks[i], tempos));

    if (division < 0) {
        // SMPTE time: frames per second and ticks per frame.
        const int fps = -(division >> 8);
        const double rate = (fps == 29 ? 29.97 : fps) * (division & 0xff);
        midi.seconds = rate > 0 ? static_cast<double>(lastTick) / rate : 0.0;
        return midi;
    }
    double seconds = 0.0;
    std::uint64_t tick = 0;
    double tempo = 500000.0; // microseconds per quarter note until the first change
    for (const auto& [changeTick, microseconds] : tempos) {
        if (changeTick >= lastTick)
            break;
        seconds += static_cast<double>(changeTick - tick) * tempo / 1e6 / division;
        tick = changeTick;
        tempo = microseconds;
    }
    seconds += static_cast<double>(lastTick - tick) * tempo / 1e6 / division;
    midi.seconds = seconds;
    return midi;
}

} // namespace engine
