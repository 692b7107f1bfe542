#include "StreamTestHelpers.h"
#include "engine/MidiTrackReader.h"

#include <QByteArray>
#include <cstdio>
#include <gtest/gtest.h>
#include <span>
#include <string>

using engine::MidiTrackReader;
using streamtest::midiChunk;
using streamtest::smfFile;

namespace {

std::span<const std::uint8_t> bytesOf(const QByteArray& bytes)
{
    return {reinterpret_cast<const std::uint8_t*>(bytes.constData()), std::size_t(bytes.size())};
}

QByteArray bytesIn(std::span<const std::uint8_t> span)
{
    return {reinterpret_cast<const char*>(span.data()), qsizetype(span.size())};
}

//! The events of `track` as "tick:status/size", meta events as "tick:ff.type/size".
std::string eventsOf(const QByteArray& track)
{
    MidiTrackReader reader(bytesOf(track));
    MidiTrackReader::Event event;
    std::string text;
    char one[32];
    while (reader.next(event)) {
        if (event.status == 0xff)
            std::snprintf(one, sizeof one, " %llu:ff.%02x/%u", static_cast<unsigned long long>(event.tick),
                          event.metaType, event.size);
        else
            std::snprintf(one, sizeof one, " %llu:%02x/%u", static_cast<unsigned long long>(event.tick), event.status,
                          event.size);
        text += one;
    }
    return text.empty() ? text : text.substr(1);
}

struct TrackCase {
    const char* what;
    const char* hex; // the track's bytes, an event a word
    const char* events;
};

} // namespace

TEST(MidiTrackReaderTest, ReadsEventsUpToTheEndOrTheFirstDamagedOne)
{
    const TrackCase cases[] = {
        {"channel messages, running status, meta events; nothing after the end of track",
         "00c005 00903c64 603c00 00ff510307a120 00ff2f00 00903c64", "0:c0/1 0:90/2 96:90/2 96:ff.51/3 96:ff.2f/0"},
        {"system exclusive, with a two-byte delta", "00f0030102f7 8100f701f7", "0:f0/3 128:f7/1"},
        {"a data byte with no running status", "003c00", ""},
        {"a meta event running past the track", "00903c64 00ff01056162", "0:90/2"},
        {"a channel message cut short", "00903c", ""},
        {"a system common message has no place in a file", "00903c64 00f20000", "0:90/2"},
        {"a delta of more than four bytes", "ffffffff7f00903c64", ""},
        {"a delta and nothing after it", "00903c64 60", "0:90/2"},
        {"no bytes", "", ""},
    };
    for (const TrackCase& c : cases)
        EXPECT_EQ(eventsOf(QByteArray::fromHex(c.hex)), c.events) << c.what;
}

TEST(MidiTrackReaderTest, FindsTheTrackChunksAfterTheHeader)
{
    const QByteArray first = QByteArray::fromHex("00ff2f00");
    const QByteArray second = QByteArray::fromHex("00903c64");
    QByteArray smf = smfFile({first});
    smf += midiChunk("XFIH", QByteArray("other"));
    smf += midiChunk("MTrk", second);
    const auto tracks = MidiTrackReader::tracks(bytesOf(smf));
    ASSERT_EQ(tracks.size(), 2u);
    EXPECT_EQ(bytesIn(tracks[0]), first);
    EXPECT_EQ(bytesIn(tracks[1]), second);

    // A track that runs past the end of the file keeps the bytes it has.
    QByteArray cut = smfFile({QByteArray::fromHex("00903c64"
                                                  "00ff2f00")});
    cut.chop(4);
    const auto cutTracks = MidiTrackReader::tracks(bytesOf(cut));
    ASSERT_EQ(cutTracks.size(), 1u);
    EXPECT_EQ(bytesIn(cutTracks[0]), QByteArray::fromHex("00903c64"));

    // No header, or one shorter than six bytes: no tracks.
    EXPECT_TRUE(MidiTrackReader::tracks(bytesOf(QByteArray("MTrk\0\0\0\0", 8) + smf)).empty());
    EXPECT_TRUE(MidiTrackReader::tracks(bytesOf(midiChunk("MThd", QByteArray(4, '\0')) + smf.mid(14))).empty());
}
