#include "convert/EncoderCommand.h"
#include "engine/EncoderCommandLine.h"
#include "options/FormatOptions.h"
#include "platform/FileName.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using convert::BuildEncoderCommandLine;
using convert::numberFromListText;
using options::FormatOptions;

namespace {

const QString kOut = QStringLiteral("/music/out file.mp3");

std::vector<std::string> split(const QString& line)
{
    return engine::splitCommandLine(line.toStdString());
}

// A folder without encoders, so the commands name the bare programs.
const QString kNoFolder;

} // namespace

TEST(EncoderCommand, NumbersTakenFromListTexts)
{
    EXPECT_EQ(numberFromListText(QStringLiteral("44.1 KHz")), QStringLiteral("44.1"));
    EXPECT_EQ(numberFromListText(QStringLiteral("11.025 KHz")), QStringLiteral("11.025"));
    EXPECT_EQ(numberFromListText(QStringLiteral("128 Kbps")), QStringLiteral("128"));
    EXPECT_EQ(numberFromListText(QStringLiteral("Auto Sampling")), QStringLiteral("0"));
    EXPECT_EQ(numberFromListText(QString()), QStringLiteral("0"));
    EXPECT_EQ(numberFromListText(QStringLiteral("  048.500 x")), QStringLiteral("48.5"));
    EXPECT_EQ(numberFromListText(QStringLiteral("8. KHz")), QStringLiteral("8"));
}

TEST(EncoderCommand, Mp3ModesWithTheDocumentedExample)
{
    FormatOptions o;
    o.optFileFormat(FormatOptions::MP3).click();
    o.optMP3CBR.click();
    o.cmbMP3CBitrate.setListIndex(o.cmbMP3CBitrate.items().indexOf(QStringLiteral("128 Kbps")));
    o.cmbMP3StereoMode.setListIndex(o.cmbMP3StereoMode.items().indexOf(QStringLiteral("Joint Stereo")));
    o.cmbMP3Freq.setListIndex(o.cmbMP3Freq.items().indexOf(QStringLiteral("44.1 KHz")));
    o.SliderMP3EncoderQuality.setValue(5);
    EXPECT_EQ(BuildEncoderCommandLine(o, kOut, kNoFolder),
              QStringLiteral("lame --cbr -b 128 -m j --resample 44.1 -q 4 - \"/music/out file.mp3\""));

    // The first average bitrate is 310, "Auto Sampling" resamples to 0, the
    // inverted encoder quality slider at 9 gives -q 0.
    o.optMP3ABR.click();
    o.cmbMP3ABitrate.setListIndex(0);
    o.cmbMP3Freq.setListIndex(0);
    o.SliderMP3EncoderQuality.setValue(9);
    o.cmbMP3StereoMode.setListIndex(o.cmbMP3StereoMode.items().indexOf(QStringLiteral("Forced Joint Stereo")));
    EXPECT_EQ(BuildEncoderCommandLine(o, kOut, kNoFolder),
              QStringLiteral("lame --abr 310 -m f --resample 0 -q 0 - \"/music/out file.mp3\""));

    // VBR: the inverted slider, both ends.
    o.optMP3VBR.click();
    o.SliderMP3VBR.setValue(9);
    o.cmbMP3StereoMode.setListIndex(o.cmbMP3StereoMode.items().indexOf(QStringLiteral("Dual Channels")));
    o.cmbMP3Freq.setListIndex(o.cmbMP3Freq.items().indexOf(QStringLiteral("11.025 KHz")));
    EXPECT_EQ(BuildEncoderCommandLine(o, kOut, kNoFolder),
              QStringLiteral("lame -V 0 -m d --resample 11.025 -q 0 - \"/music/out file.mp3\""));
    o.SliderMP3VBR.setValue(0);
    o.SliderMP3EncoderQuality.setValue(0);
    o.cmbMP3StereoMode.setListIndex(0);
    EXPECT_EQ(BuildEncoderCommandLine(o, kOut, kNoFolder),
              QStringLiteral("lame -V 9 -m m --resample 11.025 -q 9 - \"/music/out file.mp3\""));

    // No mode chosen: the encoder keeps its default instead of reading the
    // next option as a mode.
    o.cmbMP3StereoMode.setListIndex(-1);
    EXPECT_EQ(BuildEncoderCommandLine(o, kOut, kNoFolder),
              QStringLiteral("lame -V 9 --resample 11.025 -q 9 - \"/music/out file.mp3\""));
}

TEST(EncoderCommand, OggModes)
{
    FormatOptions o;
    o.optFileFormat(FormatOptions::OGG).click();
    o.optOGGVBR.click();
    o.cmbOGGVBitrate.setListIndex(o.cmbOGGVBitrate.items().indexOf(QStringLiteral("128 Kbps")));
    o.sliderOGG.setValue(3);
    const QString out = QStringLiteral("/a/b.ogg");
    EXPECT_EQ(BuildEncoderCommandLine(o, out, kNoFolder),
              QStringLiteral("oggenc -b 128 --quality 3 - -o \"/a/b.ogg\""));
    // "Low" (-2) is below what oggenc takes: it gets its lowest, -1; the
    // slider keeps -2.
    o.sliderOGG.setValue(-2);
    EXPECT_EQ(BuildEncoderCommandLine(o, out, kNoFolder),
              QStringLiteral("oggenc -b 128 --quality -1 - -o \"/a/b.ogg\""));
    EXPECT_EQ(o.sliderOGG.Value(), -2);
    o.sliderOGG.setValue(-1);
    EXPECT_EQ(BuildEncoderCommandLine(o, QStringLiteral("-"), kNoFolder),
              QStringLiteral("oggenc -b 128 --quality -1 - -o -"));

    // The constant-bitrate command has no quality option.
    o.optOGGCBR.click();
    o.cmbOGGCBitrate.setListIndex(0);
    EXPECT_EQ(BuildEncoderCommandLine(o, out, kNoFolder), QStringLiteral("oggenc --managed -b 320 - -o \"/a/b.ogg\""));

    o.optFileFormat(FormatOptions::WAV).click();
    EXPECT_TRUE(BuildEncoderCommandLine(o, out, kNoFolder).isEmpty());
}

TEST(EncoderCommand, OutputPathsReachTheEncoderAsOneDataArgument)
{
    FormatOptions o;
    o.optFileFormat(FormatOptions::OGG).click();
    const QStringList paths = {
        QStringLiteral("/tmp/say \"hi\" $(rm -rf ~) `id`; x.ogg"),
        QStringLiteral("/tmp/tab\there/Ünïcödé ノート.ogg"),
        QStringLiteral("/tmp/trailing\\"),
        QStringLiteral("/tmp/\"\""),
        // A folder whose name holds the byte 0xE9, which is not UTF-8.
        platform::fromNativeName(QByteArrayLiteral("/tmp/caf\xe9/out.ogg")),
    };
    for (const QString& path : paths) {
        // The line becomes bytes as file names do: each byte comes back.
        const auto arguments =
            engine::splitCommandLine(platform::nativeName(BuildEncoderCommandLine(o, path, kNoFolder)).toStdString());
        ASSERT_FALSE(arguments.empty());
        EXPECT_EQ(arguments.back(), platform::nativeName(path).toStdString());
        EXPECT_EQ(arguments.front(), "oggenc");
    }
    // A path that begins with a dash is never taken for an option.
    const auto arguments = split(BuildEncoderCommandLine(o, QStringLiteral("-V9.ogg"), kNoFolder));
    EXPECT_EQ(arguments.back(), "./-V9.ogg");
}

TEST(EncoderCommand, EncoderInTheProgramFolderComesFirst)
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tonemill \"folder\" XXXXXX"));
    ASSERT_TRUE(dir.isValid());
    FormatOptions o;
    o.optFileFormat(FormatOptions::MP3).click();
    EXPECT_EQ(split(BuildEncoderCommandLine(o, kOut, dir.path())).front(), "lame");

    // Present but not executable: still looked up on PATH.
    QFile lame(dir.filePath(QStringLiteral("lame")));
    ASSERT_TRUE(lame.open(QIODevice::WriteOnly));
    lame.close();
    EXPECT_EQ(split(BuildEncoderCommandLine(o, kOut, dir.path())).front(), "lame");

    lame.setPermissions(lame.permissions() | QFileDevice::ExeOwner);
    EXPECT_EQ(split(BuildEncoderCommandLine(o, kOut, dir.path())).front(), lame.fileName().toStdString());
}
