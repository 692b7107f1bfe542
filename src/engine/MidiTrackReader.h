#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace engine {

//! Reads a Standard MIDI File held in memory: its header, its track chunks,
//! and each track event by event, up to the end-of-track event or the first
//! event that is damaged or runs past the track's bytes.
class MidiTrackReader {
public:
    //! One event of a track. Meta events carry their type and data, system
    //! exclusive events their data; a channel message its data bytes.
    struct Event {
        std::uint64_t tick = 0;  // ticks since the start of the track
        std::uint8_t status = 0; // 0xff meta, 0xf0 / 0xf7 system exclusive, else a channel message
        std::uint8_t metaType = 0;
        const std::uint8_t* data = nullptr;
        std::uint32_t size = 0;
    };

    //! Whether `smf` starts with a whole header chunk ("MThd", at least six bytes).
    static bool hasHeader(std::span<const std::uint8_t> smf);
    //! The track chunks ("MTrk") after the header of `smf`, in file order; a
    //! chunk that runs past the end of the file is cut to the bytes it has.
    static std::vector<std::span<const std::uint8_t>> tracks(std::span<const std::uint8_t> smf);

    explicit MidiTrackReader(std::span<const std::uint8_t> track);

    //! Reads the next event into `event`; false once the track has ended.
    bool next(Event& event);

private:
    bool readEvent(Event& event);
    bool readVarLen(std::uint32_t& value);

    const std::uint8_t* m_at;
    const std::uint8_t* m_end;
    std::uint64_t m_tick = 0;
    std::uint8_t m_running = 0; // the running status of channel messages
};

} // namespace engine
