#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace engine {

//! A Standard MIDI File (or one wrapped in a RIFF "RMID" file), read far
//! enough to know its playing time: the time of the last event of any track,
//! following every tempo change.
struct MidiFile {
    std::vector<std::uint8_t> smf; // the bare Standard MIDI File
    double seconds = 0.0;

    //! Whether the first bytes are those of a MIDI file.
    static bool looksLikeMidi(const std::uint8_t* head, std::size_t size);

    //! Null when the bytes are not a usable MIDI file.
    static std::optional<MidiFile> parse(std::vector<std::uint8_t> bytes);
};

} // namespace engine
