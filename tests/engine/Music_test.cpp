#include "StreamTestHelpers.h"
#include "engine/AudioEngine.h"
#include "engine/Bass.h"
#include "support/Fixtures.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace streamtest;

namespace {

//! A format-0 MIDI file: a half-second note at 120 BPM, a tempo change to
//! 240 BPM, then another quarter note (0.25 s): 0.75 s in all.
QByteArray tinyMidi()
{
    QByteArray track;
    track.append(varLen(0)).append("\xC0\x00", 2);                 // piano
    track.append(varLen(0)).append("\x90\x3C\x64", 3);             // note on
    track.append(varLen(96)).append("\x80\x3C\x00", 3);            // note off after a quarter
    track.append(varLen(0)).append("\xFF\x51\x03\x03\xD0\x90", 6); // tempo 250000 us
    track.append(varLen(0)).append("\x90\x40\x64", 3);
    track.append(varLen(96)).append("\x80\x40\x00", 3);
    track.append(varLen(0)).append("\xFF\x2F\x00", 3);
    return smfFile({track}, 0x60);
}

QByteArray riffMidi(const QByteArray& smf)
{
    auto le32 = [](quint32 v) {
        QByteArray b;
        for (int i = 0; i < 4; ++i)
            b.append(char((v >> (8 * i)) & 0xff));
        return b;
    };
    QByteArray body = QByteArray("RMID") + "data" + le32(static_cast<quint32>(smf.size())) + smf;
    return QByteArray("RIFF") + le32(static_cast<quint32>(body.size())) + body;
}

class MusicTest : public ::testing::Test {
protected:
    void SetUp() override { engine::LoadFormatModules(); }

    QString write(const QString& name, const QByteArray& bytes)
    {
        EXPECT_TRUE(testsupport::writeFile(m_dir.filePath(name), bytes));
        return m_dir.filePath(name);
    }

    QTemporaryDir m_dir;
};

TEST_F(MusicTest, TrackerModulePlaysThroughTheMusicOpener)
{
    const QString mod = write(QStringLiteral("tiny.mod"), tinyMod());
    const HMUSIC handle = engine::OpenMusic(false, mod, 0, 0, BASS_STREAM_DECODE, 0);
    ASSERT_NE(handle, 0u) << BASS_ErrorGetCode();
    BASS_CHANNELINFO info;
    ASSERT_TRUE(BASS_ChannelGetInfo(handle, &info));
    EXPECT_EQ(info.freq, 44100u);
    EXPECT_EQ(info.chans, 2u);
    EXPECT_EQ(info.flags & BASS_SAMPLE_8BITS, 0u);
    EXPECT_EQ(info.ctype, BASS_CTYPE_MUSIC_MOD);
    const QWORD length = BASS_ChannelGetLength(handle, BASS_POS_BYTE);
    EXPECT_EQ(length, QWORD(338688) * 4);
    EXPECT_NEAR(engine::ChannelSeconds(handle, static_cast<DWORD>(length)), 7.68, 1e-9);

    const QByteArray pcm = readToEnd(handle, 20000);
    EXPECT_EQ(QWORD(pcm.size()), length);
    EXPECT_NE(pcm.count('\0'), pcm.size()) << "the module rendered only silence";
    EXPECT_EQ(BASS_ChannelGetPosition(handle, BASS_POS_BYTE), length);
    EXPECT_EQ(BASS_ChannelIsActive(handle), BASS_ACTIVE_STOPPED);
    EXPECT_FALSE(BASS_StreamFree(handle)) << "a music handle is not a stream";
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_TRUE(BASS_MusicFree(handle));
}

TEST_F(MusicTest, StreamOpenerRefusesTrackerModulesWhateverTheirName)
{
    const QByteArray mod = tinyMod();
    for (const QString& name : {QStringLiteral("tiny.mod"), QStringLiteral("tiny.mp3"), QStringLiteral("tiny.wav")}) {
        EXPECT_EQ(openDecoding(write(name, mod)), 0u) << name.toStdString();
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FORMAT);
    }
}

TEST_F(MusicTest, MusicOpenerRefusesOtherFilesAndHonoursTheRate)
{
    const QString wav = m_dir.filePath(QStringLiteral("tone.wav"));
    ASSERT_TRUE(testsupport::makeTone(wav, 0.3, 44100, 2));
    EXPECT_EQ(engine::OpenMusic(false, wav, 0, 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FORMAT);
    EXPECT_EQ(engine::OpenMusic(false, m_dir.filePath(QStringLiteral("missing.xm")), 0, 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);

    const HMUSIC handle = engine::OpenMusic(false, write(QStringLiteral("tiny.mod"), tinyMod()), 0, 0, 516, 48000);
    ASSERT_NE(handle, 0u);
    BASS_CHANNELINFO info;
    ASSERT_TRUE(BASS_ChannelGetInfo(handle, &info));
    EXPECT_EQ(info.freq, 48000u);
    EXPECT_EQ(BASS_ChannelGetLength(handle, BASS_POS_BYTE), QWORD(368640) * 4);
    BASS_MusicFree(handle);
}

TEST_F(MusicTest, MidiRendersThroughFluidSynthWithAnAgreeingLength)
{
    for (const QString& name : {QStringLiteral("tiny.mid"), QStringLiteral("tiny.rmi")}) {
        SCOPED_TRACE(name.toStdString());
        const QByteArray bytes = name.endsWith(QLatin1String(".rmi")) ? riffMidi(tinyMidi()) : tinyMidi();
        const HSTREAM handle = openDecoding(write(name, bytes));
        ASSERT_NE(handle, 0u) << BASS_ErrorGetCode();
        BASS_CHANNELINFO info;
        ASSERT_TRUE(BASS_ChannelGetInfo(handle, &info));
        EXPECT_EQ(info.freq, 44100u);
        EXPECT_EQ(info.chans, 2u);
        EXPECT_NE(info.plugin, 0u);
        EXPECT_EQ(BASS_ChannelGetLength(handle, BASS_POS_BYTE), QWORD(33075) * 4);
        const QByteArray pcm = readToEnd(handle, 20000);
        EXPECT_EQ(pcm.size(), 33075 * 4);
        EXPECT_GT(pcm.size() - pcm.count('\0'), pcm.size() / 4) << "FluidSynth rendered only silence";
        EXPECT_EQ(BASS_ChannelIsActive(handle), BASS_ACTIVE_STOPPED);
        EXPECT_EQ(BASS_ChannelGetPosition(handle, BASS_POS_BYTE), BASS_ChannelGetLength(handle, BASS_POS_BYTE));
        BASS_StreamFree(handle);
    }
}

TEST_F(MusicTest, MidiNeedsItsModuleAndAValidFile)
{
    const QString mid = write(QStringLiteral("tiny.mid"), tinyMidi());
    BASS_PluginFree(0);
    EXPECT_EQ(openDecoding(mid), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FORMAT);
    engine::LoadFormatModules();
    QByteArray broken = tinyMidi();
    broken[10] = 0; // no tracks
    broken[11] = 0;
    EXPECT_EQ(openDecoding(write(QStringLiteral("broken.mid"), broken)), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FORMAT);
    // A file cut inside its track still plays up to its last whole event.
    const HSTREAM cut = openDecoding(write(QStringLiteral("cut.mid"), tinyMidi().left(40)));
    ASSERT_NE(cut, 0u);
    EXPECT_EQ(BASS_ChannelGetLength(cut, BASS_POS_BYTE), QWORD(22050) * 4);
    EXPECT_EQ(readToEnd(cut).size(), 22050 * 4);
    BASS_StreamFree(cut);
}

} // namespace
