#include "StreamTestHelpers.h"
#include "engine/AudioEngine.h"
#include "engine/Bass.h"
#include "support/Fixtures.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace streamtest;
using testsupport::readFile;

namespace {

class BadInputTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { engine::LoadFormatModules(); }

    QString write(const QString& name, const QByteArray& bytes)
    {
        EXPECT_TRUE(testsupport::writeFile(m_dir.filePath(name), bytes));
        return m_dir.filePath(name);
    }

    QString tone(const QString& name, double seconds, const QStringList& options = {})
    {
        const QString path = m_dir.filePath(name);
        EXPECT_TRUE(testsupport::makeTone(path, seconds, 44100, 2, options));
        return path;
    }

    //! A stream that opened must end where its data ends: finite, with the
    //! position equal to the length and nothing more to read.
    void expectCleanEnd(HSTREAM handle)
    {
        ASSERT_NE(handle, 0u);
        expectAtEnd(handle, readToEnd(handle, 4096).size());
        BASS_StreamFree(handle);
    }

    QTemporaryDir m_dir;
};

TEST_F(BadInputTest, FilesThatCannotBeOpened)
{
    EXPECT_EQ(openDecoding(m_dir.filePath(QStringLiteral("missing.mp3"))), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
    const QString folder = m_dir.filePath(QStringLiteral("folder.wav"));
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(openDecoding(folder), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
    EXPECT_EQ(openDecoding(QString()), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
    EXPECT_EQ(BASS_StreamCreateFile(false, nullptr, 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(engine::OpenStream(true, QStringLiteral("x"), 0, 0, 0), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
}

TEST_F(BadInputTest, EmptyAndRandomFilesAreUnsupported)
{
    QByteArray noise(256 * 1024, '\0');
    QRandomGenerator random(12345);
    random.fillRange(reinterpret_cast<quint32*>(noise.data()), noise.size() / 4);
    for (const char* extension : {"mp3", "wav", "flac", "ogg", "m4a", "wma", "mid", "aac", "mpg", "dat", "xyz"}) {
        SCOPED_TRACE(extension);
        EXPECT_EQ(openDecoding(write(QStringLiteral("empty.") + QLatin1String(extension), {})), 0u);
        EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FORMAT);
        const HSTREAM handle = openDecoding(write(QStringLiteral("noise.") + QLatin1String(extension), noise));
        if (handle)
            expectCleanEnd(handle); // a decoder may find "frames" in noise; it must still end
        else
            EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FORMAT);
    }
}

TEST_F(BadInputTest, FilesWithoutAudioOrOfRefusedKinds)
{
    const QString video = m_dir.filePath(QStringLiteral("silent.mp4"));
    ASSERT_TRUE(testsupport::makeFromLavfi(video, QStringLiteral("testsrc=duration=1:size=64x48:rate=10"),
                                           {QStringLiteral("-c:v"), QStringLiteral("mpeg4")}));
    EXPECT_EQ(openDecoding(video), 0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FORMAT);

    // A playlist naming another file is never followed.
    const QString wav = tone(QStringLiteral("real.wav"), 0.2);
    EXPECT_EQ(openDecoding(write(QStringLiteral("list.m3u8"), "#EXTM3U\n#EXT-X-TARGETDURATION:1\n#EXTINF:1,\n" +
                                                                  wav.toUtf8() + "\n#EXT-X-ENDLIST\n")),
              0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FORMAT);
    EXPECT_EQ(openDecoding(write(QStringLiteral("list.txt"), "ffconcat version 1.0\nfile '" + wav.toUtf8() + "'\n")),
              0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FORMAT);
}

TEST_F(BadInputTest, TruncatedFilesEndWhereTheirDataEnds)
{
    const QByteArray wav = readFile(tone(QStringLiteral("full.wav"), 1.0));
    const int dataStart = wav.indexOf("data") + 8;
    ASSERT_GT(dataStart, 8);
    // The header still promises a whole second; only the first 10000 data bytes are there.
    const HSTREAM cutWav = openDecoding(write(QStringLiteral("cut.wav"), wav.left(dataStart + 10000 + 3)));
    ASSERT_NE(cutWav, 0u);
    EXPECT_EQ(BASS_ChannelGetLength(cutWav, BASS_POS_BYTE), 10000u);
    expectCleanEnd(cutWav);

    for (const char* name : {"full.flac", "full.mp3", "full.ogg", "full.m4a", "full.wma"}) {
        SCOPED_TRACE(name);
        const QString full = tone(QString::fromLatin1(name), 2.0,
                                  QString::fromLatin1(name).endsWith(QLatin1String("m4a"))
                                      ? QStringList{QStringLiteral("-c:a"), QStringLiteral("aac")}
                                      : QStringList{});
        const QByteArray bytes = readFile(full);
        const QString cut = write(QStringLiteral("cut-") + QLatin1String(name), bytes.left(bytes.size() * 6 / 10));
        const HSTREAM handle = openDecoding(cut);
        if (!handle) {
            // Containers whose index sits at the end (MP4) may be unusable when cut.
            EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FORMAT);
            continue;
        }
        if (QByteArray(name).endsWith("mp3")) {
            // The encoder tag still promises two seconds; the length must not.
            EXPECT_EQ(BASS_ChannelGetLength(handle, BASS_POS_BYTE), QWORD(testsupport::decodeWithFfmpeg(cut).size()));
        }
        expectCleanEnd(handle);
    }
}

TEST_F(BadInputTest, DamageInTheMiddleIsSkipped)
{
    QByteArray mp3 = readFile(tone(QStringLiteral("clean.mp3"), 3.0));
    QRandomGenerator random(99);
    for (int i = mp3.size() / 3; i < mp3.size() / 2; ++i)
        mp3[i] = char(random.bounded(256));
    const HSTREAM handle = openDecoding(write(QStringLiteral("damaged.mp3"), mp3));
    expectCleanEnd(handle);

    QByteArray flac = readFile(tone(QStringLiteral("clean.flac"), 3.0));
    for (int i = flac.size() / 3; i < flac.size() / 3 + 5000; ++i)
        flac[i] = char(random.bounded(256));
    expectCleanEnd(openDecoding(write(QStringLiteral("damaged.flac"), flac)));
}

TEST_F(BadInputTest, AStreamWithNoSamplesIsEmptyNotBroken)
{
    const QByteArray wav = readFile(tone(QStringLiteral("full.wav"), 0.1));
    const int dataStart = wav.indexOf("data") + 8;
    ASSERT_GT(dataStart, 8);
    QByteArray header = wav.left(dataStart);
    header[dataStart - 4] = header[dataStart - 3] = header[dataStart - 2] = header[dataStart - 1] = 0; // size 0
    const HSTREAM handle = openDecoding(write(QStringLiteral("nothing.wav"), header));
    ASSERT_NE(handle, 0u) << BASS_ErrorGetCode();
    EXPECT_EQ(BASS_ChannelGetLength(handle, BASS_POS_BYTE), 0u);
    EXPECT_EQ(BASS_ChannelIsActive(handle), BASS_ACTIVE_STOPPED);
    expectCleanEnd(handle);
}

TEST_F(BadInputTest, InvalidHandlesAndParameters)
{
    const DWORD bogus = 0x12345;
    char buffer[8];
    BASS_CHANNELINFO info;
    float value = 0;
    EXPECT_EQ(BASS_ChannelGetLength(bogus, BASS_POS_BYTE), QWORD(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_EQ(BASS_ChannelGetPosition(bogus, BASS_POS_BYTE), QWORD(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_EQ(BASS_ChannelGetData(bogus, buffer, sizeof buffer), DWORD(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_FALSE(BASS_ChannelGetInfo(bogus, &info));
    EXPECT_FALSE(BASS_ChannelGetAttribute(bogus, BASS_ATTRIB_FREQ, &value));
    EXPECT_EQ(BASS_ChannelIsActive(bogus), BASS_ACTIVE_STOPPED);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    EXPECT_LT(BASS_ChannelBytes2Seconds(bogus, 100), 0.0);
    EXPECT_LT(engine::ChannelSeconds(bogus, 100), 0.0);
    EXPECT_FALSE(BASS_StreamFree(bogus));
    EXPECT_FALSE(BASS_MusicFree(0));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);

    // A freed handle stays invalid; handles are never reused.
    const HSTREAM handle = openDecoding(tone(QStringLiteral("t.wav"), 0.1));
    ASSERT_NE(handle, 0u);
    EXPECT_EQ(BASS_ChannelGetData(handle, nullptr, 8), DWORD(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_FALSE(BASS_ChannelGetInfo(handle, nullptr));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_TRUE(BASS_StreamFree(handle));
    EXPECT_EQ(BASS_ChannelGetLength(handle, BASS_POS_BYTE), QWORD(-1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_HANDLE);
    const HSTREAM next = openDecoding(m_dir.filePath(QStringLiteral("t.wav")));
    EXPECT_NE(next, handle);
    BASS_StreamFree(next);
}

TEST_F(BadInputTest, ConfigurationValues)
{
    EXPECT_TRUE(BASS_SetConfig(BASS_CONFIG_FLOATDSP, 0));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_OK);
    EXPECT_FALSE(BASS_SetConfig(BASS_CONFIG_FLOATDSP, 1)) << "output stays integer PCM";
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLPARAM);
    EXPECT_EQ(BASS_GetConfig(BASS_CONFIG_FLOATDSP), 0u);
    EXPECT_TRUE(BASS_SetConfig(BASS_CONFIG_WMA_BASSFILE, 1));
    EXPECT_EQ(BASS_GetConfig(BASS_CONFIG_WMA_BASSFILE), 1u);
    EXPECT_FALSE(BASS_SetConfig(0x4242, 1));
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_ILLTYPE);
}

} // namespace
