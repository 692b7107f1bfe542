#include "engine/MidiFile.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace engine {

namespace {

std::uint32_t be32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

std::uint32_t le32(const std::uint8_t* p)
{
    return (std::uint32_t(p[3]) << 24) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

//! Reads a variable-length quantity; false when it runs past `end`.
bool readVarLen(const std::uint8_t*& p, const std::uint8_t* end, std::uint32_t& value)
{
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (p >= end)
            return false;
        const std::uint8_t byte = *p++;
        value = (value << 7) | (byte & 0x7f);
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

//! Walks one track; records its tempo changes and returns the tick of its last
//! event. A damaged track counts up to its last readable event.
std::uint64_t walkTrack(const std::uint8_t* p, const std::uint8_t* end,
                        std::multimap<std::uint64_t, std::uint32_t>& tempos)
{
    std::uint64_t tick = 0;
    std::uint64_t last = 0;
    std::uint8_t running = 0;
    while (p < end) {
        std::uint32_t delta = 0;
        if (!readVarLen(p, end, delta) || p >= end)
            break;
        tick += delta;
        std::uint8_t status = *p;
        if (status & 0x80)
            ++p;
        else if (running)
            status = running;
        else
            break;
        if (status == 0xff) {
            if (p >= end)
                break;
            const std::uint8_t type = *p++;
            std::uint32_t size = 0;
            if (!readVarLen(p, end, size) || size > static_cast<std::uint32_t>(end - p))
                break;
            if (type == 0x51 && size == 3)
                tempos.emplace(tick, (std::uint32_t(p[0]) << 16) | (std::uint32_t(p[1]) << 8) | p[2]);
            p += size;
            last = tick;
            if (type == 0x2f)
                break;
            continue;
        }
        if (status == 0xf0 || status == 0xf7) {
            std::uint32_t size = 0;
            if (!readVarLen(p, end, size) || size > static_cast<std::uint32_t>(end - p))
                break;
            p += size;
            last = tick;
            continue;
        }
        if (status < 0x80 || status >= 0xf0)
            break;
        running = status;
        const int dataBytes = (status & 0xf0) == 0xc0 || (status & 0xf0) == 0xd0 ? 1 : 2;
        if (end - p < dataBytes)
            break;
        p += dataBytes;
        last = tick;
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
    if (smf.size() < 14 || std::memcmp(smf.data(), "MThd", 4) != 0 || be32(&smf[4]) < 6)
        return std::nullopt;
    const unsigned tracks = (unsigned(smf[10]) << 8) | smf[11];
    const std::int16_t division = static_cast<std::int16_t>((unsigned(smf[12]) << 8) | smf[13]);
    if (tracks == 0 || division == 0)
        return std::nullopt;

    std::multimap<std::uint64_t, std::uint32_t> tempos;
    std::uint64_t lastTick = 0;
    unsigned found = 0;
    std::size_t at = 8 + be32(&smf[4]);
    while (at + 8 <= smf.size() && found < tracks) {
        const std::uint32_t size = be32(&smf[at + 4]);
        const std::size_t available = std::min<std::size_t>(size, smf.size() - at - 8);
        if (std::memcmp(&smf[at], "MTrk", 4) == 0) {
            ++found;
            lastTick = std::max(lastTick, walkTrack(&smf[at + 8], &smf[at + 8] + available, tempos));
        }
        at += 8 + available;
    }
    if (found == 0)
        return std::nullopt;

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
