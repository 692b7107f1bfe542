#include "engine/MidiText.h"

#include <cstring>

namespace engine {

namespace {

std::uint32_t be32(const std::uint8_t* p)
{
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

bool readVarLen(const std::uint8_t*& p, const std::uint8_t* end, std::uint32_t& value)
{
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (p >= end)
            return false;
        const std::uint8_t byte = *p++;
        value = (value << 7) | (byte & 0x7fu);
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

//! Data bytes that follow a channel message's status byte.
int channelDataBytes(std::uint8_t status)
{
    const std::uint8_t kind = status & 0xf0;
    return kind == 0xc0 || kind == 0xd0 ? 1 : 2;
}

void keepFirst(std::string& field, const std::uint8_t* data, std::uint32_t size)
{
    if (field.empty())
        field.assign(reinterpret_cast<const char*>(data), size);
}

} // namespace

MidiText MidiText::read(const std::vector<std::uint8_t>& smf)
{
    MidiText result;
    const std::uint8_t* p = smf.data();
    const std::uint8_t* const fileEnd = smf.data() + smf.size();
    if (smf.size() < 14 || std::memcmp(p, "MThd", 4) != 0)
        return result;
    // Skip the header chunk, then any chunk before the first track.
    for (;;) {
        if (fileEnd - p < 8)
            return result;
        const std::uint32_t size = be32(p + 4);
        const bool track = std::memcmp(p, "MTrk", 4) == 0;
        p += 8;
        if (size > std::uint32_t(fileEnd - p))
            return result;
        if (track) {
            const std::uint8_t* const end = p + size;
            std::uint8_t running = 0;
            while (p < end) {
                std::uint32_t delta = 0;
                if (!readVarLen(p, end, delta) || p >= end)
                    break;
                std::uint8_t status = *p;
                if (status & 0x80)
                    ++p;
                else if (running)
                    status = running;
                else
                    break;
                std::uint32_t length = 0;
                if (status == 0xff) {
                    if (p >= end)
                        break;
                    const std::uint8_t type = *p++;
                    if (!readVarLen(p, end, length) || length > std::uint32_t(end - p))
                        break;
                    if (type == 0x01)
                        keepFirst(result.text, p, length);
                    else if (type == 0x02)
                        keepFirst(result.copyright, p, length);
                    else if (type == 0x03)
                        keepFirst(result.trackName, p, length);
                    else if (type == 0x2f)
                        break; // end of track
                } else if (status == 0xf0 || status == 0xf7) {
                    if (!readVarLen(p, end, length))
                        break;
                } else {
                    running = status;
                    length = std::uint32_t(channelDataBytes(status));
                }
                if (length > std::uint32_t(end - p))
                    break;
                p += length;
            }
            return result;
        }
        p += size;
    }
}

} // namespace engine
