#include "engine/MidiText.h"

#include "engine/MidiTrackReader.h"

namespace engine {

namespace {

void keepFirst(std::string& field, const std::uint8_t* data, std::uint32_t size)
{
    if (field.empty())
        field.assign(reinterpret_cast<const char*>(data), size);
}

} // namespace

MidiText MidiText::read(const std::vector<std::uint8_t>& smf)
{
    MidiText result;
    const auto tracks = MidiTrackReader::tracks(smf);
    if (tracks.empty())
        return result;
    MidiTrackReader reader(tracks.front());
    MidiTrackReader::Event event;
    while (reader.next(event)) {
        if (event.status != 0xff)
            continue;
        if (event.metaType == 0x01)
            keepFirst(result.text, event.data, event.size);
        else if (event.metaType == 0x02)
            keepFirst(result.copyright, event.data, event.size);
        else if (event.metaType == 0x03)
            keepFirst(result.trackName, event.data, event.size);
    }
    return result;
}

} // namespace engine
