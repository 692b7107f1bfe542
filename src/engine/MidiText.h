#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace engine {

//! The text meta events of the first track of a Standard MIDI File (the
//! whole song in format 0, the conductor track in format 1): the first of
//! each kind, as the raw bytes the file holds.
struct MidiText {
    std::string trackName; // meta event 0x03
    std::string copyright; // meta event 0x02
    std::string text;      // meta event 0x01

    //! Reads the events of `smf` (a bare SMF); empty fields where there are none.
    static MidiText read(const std::vector<std::uint8_t>& smf);
};

} // namespace engine
