#include "BatchTestFolder.h"
#include "OneRowSession.h"
#include "convert/ConvertToWAV.h"
#include "filelist/RowWords.h"

#include <QDir>

using batchtest::wavFields;
using testsupport::readFile;

namespace {

class ConvertToWAVTest : public sessiontest::OneRowSession {
protected:
    void SetUp() override
    {
        OneRowSession::SetUp();
        desktop.onProcessEvents = [this] { statuses << status(); };
        // The file exactly as the path writes it: no tag chunk after the audio.
        options.chkReplayGain.setValue(false);
    }

    QStringList statuses; // the status at each yield
};

TEST(ConversionSessionText, ProgressIsTheShortSinglePrecisionText)
{
    EXPECT_EQ(filelist::words::progressText(37.5f), QStringLiteral("37.5"));
    EXPECT_EQ(filelist::words::progressText(100.0f), QStringLiteral("100"));
    EXPECT_EQ(filelist::words::progressText(100.0f / 3.0f), QStringLiteral("33.33333"));
    EXPECT_EQ(filelist::words::progressText(0.0f), QStringLiteral("0"));
}

TEST_F(ConvertToWAVTest, YieldsCloserThanTheIntervalAreSkipped)
{
    session.yield();
    session.yield();
    EXPECT_EQ(desktop.eventYields, 2); // by default every yield runs the loop
    session.setYieldInterval(60000);
    session.yield();
    session.yield();
    EXPECT_EQ(desktop.eventYields, 2); // the last one ran just now
}

TEST_F(ConvertToWAVTest, StereoSixteenBitHeaderAndDataMatchTheDecodedInput)
{
    const QString in = path(QStringLiteral("in.flac"));
    const QString out = path(QStringLiteral("out.wav"));
    ASSERT_TRUE(testsupport::makeTone(in, 1.3, 44100, 2));

    convert::ConvertToWAV(session, in, out);

    EXPECT_EQ(status(), QStringLiteral("Complete"));
    EXPECT_EQ(color(), filelist::words::kCompleteColor);
    const QByteArray file = readFile(out);
    const auto f = wavFields(file);
    EXPECT_EQ(f.riff, "RIFF");
    EXPECT_EQ(f.wave, "WAVE");
    EXPECT_EQ(f.fmt, "fmt ");
    EXPECT_EQ(f.data, "data");
    EXPECT_EQ(f.fmtSize, 16u);
    EXPECT_EQ(f.formatTag, 1);
    EXPECT_EQ(f.channels, 2);
    EXPECT_EQ(f.sampleRate, 44100u);
    EXPECT_EQ(f.avgBytes, 176400u);
    EXPECT_EQ(f.blockAlign, 4);
    EXPECT_EQ(f.bits, 16);
    const quint32 n = quint32(file.size() - 44);
    EXPECT_EQ(f.dataSize, n);
    EXPECT_EQ(f.riffSize, n + 36);

    // FLAC is lossless: the samples are exactly what an independent decoder gives.
    EXPECT_TRUE(file.mid(44) == testsupport::decodeWithFfmpeg(in));

    // Progress was written once per chunk, rising, and parses as a number.
    ASSERT_GE(statuses.size(), 2);
    float last = -1;
    for (const QString& s : statuses) {
        bool ok = false;
        const float value = s.toFloat(&ok);
        ASSERT_TRUE(ok) << qPrintable(s);
        EXPECT_GT(value, last);
        last = value;
    }
    EXPECT_EQ(statuses.back(), QStringLiteral("100"));
    EXPECT_EQ(state.bCancelConversion, false);
    EXPECT_EQ(session.conversionStream, 0u);
}

TEST_F(ConvertToWAVTest, EightBitMonoHeader)
{
    const QString in = path(QStringLiteral("in8.wav"));
    const QString out = path(QStringLiteral("out8.wav"));
    ASSERT_TRUE(testsupport::makeTone(in, 0.5, 11025, 1, {QStringLiteral("-c:a"), QStringLiteral("pcm_u8")}));

    convert::ConvertToWAV(session, in, out);

    EXPECT_EQ(status(), QStringLiteral("Complete"));
    const QByteArray file = readFile(out);
    const auto f = wavFields(file);
    EXPECT_EQ(f.channels, 1);
    EXPECT_EQ(f.bits, 8);
    EXPECT_EQ(f.blockAlign, 1);
    EXPECT_EQ(f.sampleRate, 11025u);
    EXPECT_EQ(f.avgBytes, 11025u);
    EXPECT_EQ(f.dataSize, quint32(file.size() - 44));
    // The 8-bit samples pass through unchanged.
    EXPECT_TRUE(file.mid(44) == testsupport::decodeWithFfmpeg(in, {QStringLiteral("-f"), QStringLiteral("u8")}));
}

TEST_F(ConvertToWAVTest, SixChannelsKeepEveryChannel)
{
    const QString in = path(QStringLiteral("six.flac"));
    const QString out = path(QStringLiteral("six.wav"));
    ASSERT_TRUE(testsupport::makeTone(in, 0.7, 48000, 6));

    convert::ConvertToWAV(session, in, out);

    EXPECT_EQ(status(), QStringLiteral("Complete"));
    const QByteArray file = readFile(out);
    const auto f = wavFields(file);
    EXPECT_EQ(f.channels, 6);
    EXPECT_EQ(f.blockAlign, 12);
    EXPECT_EQ(f.avgBytes, 48000u * 12);
    EXPECT_EQ(f.dataSize % 12, 0u);
    EXPECT_TRUE(file.mid(44) == testsupport::decodeWithFfmpeg(in));
}

TEST_F(ConvertToWAVTest, EmptyStreamGivesAHeaderOnlyFile)
{
    const QString in = path(QStringLiteral("empty.wav"));
    const QString out = path(QStringLiteral("empty_out.wav"));
    ASSERT_TRUE(testsupport::makeTone(in, 0.5, 8000, 1, {QStringLiteral("-t"), QStringLiteral("0")}));

    convert::ConvertToWAV(session, in, out);

    EXPECT_EQ(status(), QStringLiteral("Complete"));
    const QByteArray file = readFile(out);
    ASSERT_EQ(file.size(), 44);
    EXPECT_EQ(wavFields(file).dataSize, 0u);
    EXPECT_EQ(wavFields(file).riffSize, 36u);
}

TEST_F(ConvertToWAVTest, CancelLeavesAValidShorterFile)
{
    const QString in = path(QStringLiteral("long.flac"));
    const QString out = path(QStringLiteral("long.wav"));
    ASSERT_TRUE(testsupport::makeTone(in, 5.0, 44100, 2));
    int yields = 0;
    desktop.onProcessEvents = [&] {
        if (++yields == 3)
            state.bCancelConversion = true; // a Stop click inside the yield
    };

    convert::ConvertToWAV(session, in, out);

    EXPECT_EQ(yields, 3);
    EXPECT_EQ(status(), QStringLiteral("Cancelled"));
    EXPECT_EQ(color(), filelist::words::kFailureColor);
    // Kept under a name that cannot be taken for the result.
    EXPECT_FALSE(QFile::exists(out));
    EXPECT_EQ(session.outputMade, path(QStringLiteral("long (stopped at 00m00s).wav")));
    const QByteArray file = readFile(session.outputMade);
    const auto f = wavFields(file);
    EXPECT_EQ(f.dataSize, quint32(file.size() - 44));
    EXPECT_EQ(f.riffSize, f.dataSize + 36);
    EXPECT_GT(f.dataSize, 0u);
    EXPECT_LT(f.dataSize, 5u * 176400);
    EXPECT_TRUE(file.mid(44) == testsupport::decodeWithFfmpeg(in).left(file.size() - 44));
    // A player-grade reader accepts it.
    EXPECT_EQ(testsupport::decodeWithFfmpeg(session.outputMade).size(), file.size() - 44);
}

TEST_F(ConvertToWAVTest, UndecodableInputIsAnErrorWithoutAFile)
{
    const QString in = path(QStringLiteral("noise.mp3"));
    ASSERT_TRUE(testsupport::writeFile(in, QByteArray(5000, 'x')));
    const QString out = path(QStringLiteral("noise.wav"));

    convert::ConvertToWAV(session, in, out);

    EXPECT_EQ(status(), QStringLiteral("Error"));
    EXPECT_EQ(color(), filelist::words::kFailureColor);
    EXPECT_FALSE(QFile::exists(out));
}

TEST_F(ConvertToWAVTest, AMidiFileTooLongForAWavFileIsRefusedBeforeAnyAudioIsRendered)
{
    // 37 bytes whose one note lasts 2^28 - 1 ticks at 96 a beat: 388 hours.
    const QByteArray track = QByteArray::fromHex("00903c40"
                                                 "ffffff7f803c00"
                                                 "00ff2f00");
    QByteArray midi = QByteArray::fromHex("4d546864000000060000000100604d54726b");
    midi += char(0) + QByteArray(2, '\0') + char(track.size()) + track;
    const QString in = path(QStringLiteral("hours.mid"));
    const QString out = path(QStringLiteral("hours.wav"));
    ASSERT_TRUE(testsupport::writeFile(in, midi));
    int yields = 0;
    desktop.onProcessEvents = [&] {
        ++yields;
        state.bCancelConversion = true; // a render stops at its first chunk
    };

    convert::ConvertToWAV(session, in, out);

    EXPECT_EQ(status(), QStringLiteral("Error"));
    EXPECT_EQ(list->statusReason(0), QStringLiteral("the audio is longer than a WAV file can hold"));
    EXPECT_EQ(yields, 0) << "audio was rendered first";
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).filter(QStringLiteral(".wav")).isEmpty());
}

TEST_F(ConvertToWAVTest, AnExistingFileIsNeverOverwritten)
{
    const QString in = path(QStringLiteral("in.flac"));
    const QString out = path(QStringLiteral("taken.wav"));
    ASSERT_TRUE(testsupport::makeTone(in, 0.3, 8000, 1));
    ASSERT_TRUE(testsupport::writeFile(out, "keep me"));

    // Taken after the name was chosen: the output gets the next free name.
    convert::ConvertToWAV(session, in, out);

    EXPECT_EQ(status(), QStringLiteral("Complete"));
    EXPECT_EQ(readFile(out), QByteArray("keep me"));
    EXPECT_EQ(session.outputMade, path(QStringLiteral("taken_Converted.wav")));
    EXPECT_EQ(readFile(session.outputMade).left(4), QByteArray("RIFF"));
    EXPECT_EQ(session.conversionStream, 0u);
}

TEST_F(ConvertToWAVTest, WithoutARowOrOutsideABatchNothingIsWrittenToTheList)
{
    const QString in = path(QStringLiteral("in.flac"));
    ASSERT_TRUE(testsupport::makeTone(in, 0.3, 8000, 1));

    state.bConverting = false; // progress only while a batch runs
    convert::ConvertToWAV(session, in, path(QStringLiteral("a.wav")));
    for (const QString& s : statuses)
        EXPECT_EQ(s, QStringLiteral("Waiting Conversion"));
    EXPECT_EQ(status(), QStringLiteral("Complete"));

    list->setState(0, filelist::RowState::Waiting);
    session.setCurrentRow(std::nullopt);
    state.bConverting = true;
    convert::ConvertToWAV(session, in, path(QStringLiteral("b.wav")));
    EXPECT_EQ(status(), QStringLiteral("Waiting Conversion"));
    EXPECT_EQ(wavFields(readFile(path(QStringLiteral("b.wav")))).sampleRate, 8000u);
}

} // namespace
