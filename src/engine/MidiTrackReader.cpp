#include "engine/MidiTrackReader.h"

#include <algorithm>
#include <cstring>

namespace engine {

namespace {

std::uint32_t be32(const std::uint8_t* p)
{
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

} // namespace

bool MidiTrackReader::hasHeader(std::span<const std::uint8_t> smf)
{
    return smf.size() >= 14 && std::memcmp(smf.data(), "MThd", 4) == 0 && be32(smf.data() + 4) >= 6;
}

std::vector<std::span<const std::uint8_t>> MidiTrackReader::tracks(std::span<const std::uint8_t> smf)
{
    std::vector<std::span<const std::uint8_t>> found;
    if (!hasHeader(smf))
        return found;
    std::size_t at = 8 + std::size_t{be32(smf.data() + 4)};
    while (at + 8 <= smf.size()) {
        const std::size_t available = std::min<std::size_t>(be32(&smf[at + 4]), smf.size() - at - 8);
        if (std::memcmp(&smf[at], "MTrk", 4) == 0)
            found.push_back(smf.subspan(at + 8, available));
        at += 8 + available;
    }
    return found;
}

MidiTrackReader::MidiTrackReader(std::span<const std::uint8_t> track)
    : m_at(track.data()), m_end(track.data() + track.size())
{
}

bool MidiTrackReader::readVarLen(std::uint32_t& value)
{
    value = 0;
    for (int i = 0; i < 4; ++i) {
        if (m_at >= m_end)
            return false;
        const std::uint8_t byte = *m_at++;
        value = (value << 7) | (byte & 0x7fu);
        if (!(byte & 0x80))
            return true;
    }
    return false;
}

bool MidiTrackReader::next(Event& event)
{
    if (readEvent(event))
        return true;
    m_at = m_end; // a damaged event ends the track
    return false;
}

bool MidiTrackReader::readEvent(Event& event)
{
    std::uint32_t delta = 0;
    if (!readVarLen(delta) || m_at >= m_end)
        return false;
    std::uint8_t status = *m_at;
    if (status & 0x80)
        ++m_at;
    else if (m_running)
        status = m_running;
    else
        return false;

    m_tick += delta;
    event = Event{};
    event.tick = m_tick;
    event.status = status;
    if (status == 0xff) {
        if (m_at >= m_end)
            return false;
        event.metaType = *m_at++;
        if (!readVarLen(event.size))
            return false;
    } else if (status == 0xf0 || status == 0xf7) {
        if (!readVarLen(event.size))
            return false;
    } else if (status < 0xf0) {
        // Program change and channel pressure carry one data byte, the other
        // channel messages two.
        m_running = status;
        const std::uint8_t kind = status & 0xf0;
        event.size = kind == 0xc0 || kind == 0xd0 ? 1 : 2;
    } else {
        return false; // a system common or real-time message has no place in a file
    }
    if (event.size > static_cast<std::size_t>(m_end - m_at))
        return false;
    event.data = m_at;
    m_at += event.size;
    if (status == 0xff && event.metaType == 0x2f)
        m_at = m_end; // end of track: nothing after it counts
    return true;
}

} // namespace engine
