#pragma once

// Small helpers shared by the engine's decoding tests.

#include "engine/AudioEngine.h"
#include "engine/Bass.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <gtest/gtest.h>

namespace streamtest {

inline HSTREAM openDecoding(const QString& path)
{
    return engine::OpenStream(false, path, 0, 0, BASS_STREAM_DECODE);
}

//! Reads a decoding channel to its end in chunks of `chunk` bytes.
inline QByteArray readToEnd(DWORD handle, DWORD chunk = 20000)
{
    QByteArray all;
    QByteArray buffer(static_cast<int>(chunk), '\0');
    for (int guard = 0; guard < 1000000; ++guard) {
        const DWORD got = BASS_ChannelGetData(handle, buffer.data(), chunk);
        if (got == DWORD(-1))
            break;
        all.append(buffer.constData(), static_cast<int>(got));
    }
    return all;
}

//! A decoding channel read to its end after `delivered` bytes: its position
//! and length are that, it has stopped, and there is nothing more to read.
inline void expectAtEnd(DWORD handle, qsizetype delivered)
{
    EXPECT_EQ(BASS_ChannelGetPosition(handle, BASS_POS_BYTE), QWORD(delivered));
    EXPECT_EQ(BASS_ChannelGetLength(handle, BASS_POS_BYTE), QWORD(delivered));
    EXPECT_EQ(BASS_ChannelIsActive(handle), BASS_ACTIVE_STOPPED);
    char buffer[16];
    EXPECT_EQ(BASS_ChannelGetData(handle, buffer, sizeof buffer), DWORD(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_NOTAVAIL);
}

//! A minimal four-channel "M.K." module: one pattern of 64 rows with four
//! notes of a looped square-wave sample, at the default speed 6 / 125 BPM,
//! so it plays 64 * 6 * 0.02 s = 7.68 s.
inline QByteArray tinyMod()
{
    QByteArray mod;
    mod.append(QByteArray("tiny").leftJustified(20, '\0'));
    for (int i = 0; i < 31; ++i) {
        const bool used = i == 0;
        mod.append((used ? QByteArray("square") : QByteArray()).leftJustified(22, '\0'));
        const int words = used ? 32 : 0;
        mod.append(char(words >> 8)).append(char(words & 0xff)); // length in words
        mod.append(char(0)).append(char(used ? 64 : 0));         // finetune, volume
        mod.append(char(0)).append(char(0));                     // loop start
        mod.append(char(0)).append(char(used ? 32 : 1));         // loop length
    }
    mod.append(char(1)).append(char(127)); // song length, restart
    mod.append(QByteArray(128, '\0'));     // order list: pattern 0
    mod.append("M.K.");
    QByteArray pattern(64 * 4 * 4, '\0');
    auto note = [&pattern](int row, int channel, int period) {
        const int at = (row * 4 + channel) * 4;
        pattern[at] = char(period >> 8);
        pattern[at + 1] = char(period & 0xff);
        pattern[at + 2] = char(1 << 4); // sample 1
    };
    note(0, 0, 428);
    note(16, 1, 381);
    note(32, 2, 339);
    note(48, 3, 320);
    mod.append(pattern);
    mod.append(QByteArray(32, char(100))).append(QByteArray(32, char(-100)));
    return mod;
}

//! A MIDI variable-length quantity.
inline QByteArray varLen(quint32 value)
{
    QByteArray bytes(1, char(value & 0x7f));
    while (value >>= 7)
        bytes.prepend(char((value & 0x7f) | 0x80));
    return bytes;
}

//! A chunk of a MIDI file: its four-letter type, its size (big-endian), its bytes.
inline QByteArray midiChunk(const char* type, const QByteArray& body)
{
    const quint32 size = quint32(body.size());
    return QByteArray(type, 4) + char(size >> 24) + char(size >> 16) + char(size >> 8) + char(size) + body;
}

//! A Standard MIDI File (format 1, or 0 for a single track) of `tracks`.
inline QByteArray smfFile(const QList<QByteArray>& tracks, quint16 division = 96)
{
    const auto count = quint16(tracks.size());
    QByteArray header;
    for (const quint16 word : {quint16(count > 1 ? 1 : 0), count, division}) {
        header += char(word >> 8);
        header += char(word & 0xff);
    }
    QByteArray smf = midiChunk("MThd", header);
    for (const QByteArray& track : tracks)
        smf += midiChunk("MTrk", track);
    return smf;
}

} // namespace streamtest
