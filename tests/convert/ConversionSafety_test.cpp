// Faults that once ended "Complete" or left a half file: encoders that fail
// in every way, inputs that change under us, damaged inputs, and outputs
// that cannot be written.

#include "Mp3OggWmaTestSession.h"
#include "convert/ConvertToFLAC_OPUS_AAC.h"
#include "convert/ConvertToMP3_OGG.h"
#include "convert/ConvertToWAV.h"
#include "convert/ConvertToWMA.h"
#include "convert/OutputFile.h"
#include "filelist/RowWords.h"
#include "tags/ReadMediaTags.h"
#include "tags/WriteFileTags.h"

#include <QFile>
#include <sys/stat.h>

namespace {

using encodertest::EncoderSession;
using encodertest::PathOverride;
using encodertest::probe;

class ConversionSafety : public EncoderSession {
protected:
    //! Writes an executable `lame` into a folder of its own and returns that folder.
    QString fakeLame(const QByteArray& body)
    {
        const QString folder = path(QStringLiteral("fake"));
        QDir().mkpath(folder);
        EXPECT_TRUE(testsupport::writeShellScript(folder + QStringLiteral("/lame"), body + "\n"));
        return folder;
    }
    QString tone(const QString& name, double seconds, int rate = 44100)
    {
        const QString file = path(name);
        EXPECT_TRUE(testsupport::makeTone(file, seconds, rate, 2));
        return file;
    }
    QString reason() const { return list->statusReason(0); }
    //! Every file in `folder` but the inputs: the outputs, final or temporary.
    QStringList outputsIn(const QString& folder, const QString& suffix) const
    {
        return QDir(folder).entryList({QStringLiteral("*") + suffix, QStringLiteral(".*") + suffix},
                                      QDir::Files | QDir::Hidden);
    }
};

TEST_F(ConversionSafety, EncodersThatFailNeverEndComplete)
{
    const QString in = tone(QStringLiteral("tone.wav"), 2.0);
    const struct {
        const char* name;
        QByteArray script;
        const char* reasonHas;
    } encoders[] = {
        {"exits 0 after writing nothing", "/bin/cat > /dev/null; exit 0", "the encoder wrote no audio"},
        {"writes half and exits 3",
         "/usr/bin/head -c 65536 > /dev/null; printf 'ID3half'; echo 'lame: cannot go on' >&2; exit 3", "cannot go on"},
    };
    for (const auto& encoder : encoders) {
        SCOPED_TRACE(encoder.name);
        const PathOverride onlyFake(fakeLame(encoder.script));
        const QString out = path(QStringLiteral("tone.mp3"));
        convert::ConvertToMP3_OGG(session, in, out);
        EXPECT_EQ(status(), QStringLiteral("Error"));
        EXPECT_TRUE(reason().contains(QLatin1String(encoder.reasonHas))) << reason().toStdString();
        EXPECT_TRUE(outputsIn(dir.path(), QStringLiteral(".mp3")).isEmpty()); // nothing half-made is kept
        ASSERT_FALSE(logLines().isEmpty());
        EXPECT_TRUE(logLines().back().contains(QLatin1String(encoder.reasonHas))) << logLines().back().toStdString();
    }
}

TEST_F(ConversionSafety, AHungEncoderGivesWayToStop)
{
    const QString in = tone(QStringLiteral("tone.wav"), 20.0);
    // Reads nothing and never ends: every write to it would wait.
    const PathOverride onlyFake(fakeLame("exec /bin/sleep 600"));
    int yields = 0;
    desktop.onProcessEvents = [&] {
        if (++yields == 3)
            state.bCancelConversion = true;
    };
    convert::ConvertToMP3_OGG(session, in, path(QStringLiteral("tone.mp3")));
    EXPECT_EQ(status(), QStringLiteral("Cancelled"));
    EXPECT_GE(yields, 3); // the waits on the encoder let the Stop click in
    EXPECT_TRUE(outputsIn(dir.path(), QStringLiteral(".mp3")).isEmpty());
}

TEST_F(ConversionSafety, AFifoSwappedInForTheInputCannotBlock)
{
    const QString in = path(QStringLiteral("song.flac"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(in).constData(), 0600), 0);
    const struct {
        const char* format;
        void (*convert)(convert::ConversionSession&, const QString&, const QString&);
    } paths[] = {{"wav", convert::ConvertToWAV}, {"mp3", convert::ConvertToMP3_OGG}, {"wma", convert::ConvertToWMA}};
    options.optFileFormat(options::FormatOptions::MP3).click();
    for (const auto& p : paths) {
        SCOPED_TRACE(p.format);
        p.convert(session, in, path(QStringLiteral("song.") + QLatin1String(p.format)));
        EXPECT_EQ(status(), QStringLiteral("Error"));
        EXPECT_FALSE(reason().isEmpty());
    }
}

TEST_F(ConversionSafety, ADamagedInputCompletesWithWhereTheDamageBegan)
{
    const QString whole = tone(QStringLiteral("whole.flac"), 10.0);
    const QByteArray bytes = testsupport::readFile(whole);
    const QString cut = path(QStringLiteral("cut.flac"));
    ASSERT_TRUE(testsupport::writeFile(cut, bytes.left(bytes.size() * 2 / 5)));

    convert::ConvertToWAV(session, whole, path(QStringLiteral("whole.wav")));
    EXPECT_EQ(list->at(0).state, filelist::RowState::Complete);
    EXPECT_TRUE(reason().isEmpty()) << reason().toStdString();

    convert::ConvertToWAV(session, cut, path(QStringLiteral("cut.wav")));
    EXPECT_EQ(status(), QStringLiteral("Complete"));                   // the end of the stream was reached …
    EXPECT_EQ(list->at(0).state, filelist::RowState::CompleteDamaged); // … and it looks it
    EXPECT_EQ(color(), filelist::words::kDamagedColor);
    EXPECT_TRUE(reason().startsWith(QStringLiteral("input damaged at 00:0"))) << reason().toStdString();
    EXPECT_TRUE(reason().endsWith(QStringLiteral(" of 00:10"))) << reason().toStdString();
    ASSERT_FALSE(logLines().isEmpty());
    EXPECT_TRUE(logLines().back().contains(reason()));
}

TEST_F(ConversionSafety, HiResInputsConvertToWma)
{
    const QString in = tone(QStringLiteral("hires.flac"), 1.5, 96000);
    options.optFileFormat(options::FormatOptions::WMA).click();
    convert::ConvertToWMA(session, in, path(QStringLiteral("hires.wma")));
    expectComplete();
    const auto p = probe(session.outputMade);
    EXPECT_EQ(p.rate, 48000);
    EXPECT_NEAR(p.duration, 1.5, 0.1);
}

//! A tmpfs of a few pages, mounted for the test (root only) and always unmounted.
class FullDisk : public ConversionSafety {
protected:
    void SetUp() override
    {
        ConversionSafety::SetUp();
        if (::geteuid() != 0)
            GTEST_SKIP() << "mounting a small full file system needs root; run the tests as root to cover it";
        disk = path(QStringLiteral("disk"));
        ASSERT_TRUE(QDir().mkpath(disk));
        if (testsupport::runProgram(QStringLiteral("mount"),
                                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                                     QStringLiteral("size=64k"), QStringLiteral("tmpfs"), disk}) != 0)
            GTEST_SKIP() << "this machine does not let the test mount a tmpfs";
        mounted = true;
    }
    void TearDown() override
    {
        if (mounted) {
            EXPECT_EQ(testsupport::runProgram(QStringLiteral("umount"), {disk}), 0);
        }
        ConversionSafety::TearDown();
    }
    //! Gives the disk room for `kb` kilobytes (whole pages).
    bool resize(int kb) const
    {
        return testsupport::runProgram(QStringLiteral("mount"),
                                       {QStringLiteral("-o"), QStringLiteral("remount,size=%1k").arg(kb), disk}) == 0;
    }
    QStringList onDisk() const { return QDir(disk).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }
    QString disk;
    bool mounted = false;
};

TEST_F(FullDisk, NoFormatEndsCompleteOnAFullDisk)
{
    // Noise: no encoder can squeeze it into the few pages of the disk.
    const QString in = path(QStringLiteral("noise.flac"));
    ASSERT_TRUE(testsupport::makeFromLavfi(in, QStringLiteral("anoisesrc=d=20:c=white:a=0.5"),
                                           {QStringLiteral("-ac"), QStringLiteral("2")}));
    const struct {
        const char* extension;
        int format;
        void (*convert)(convert::ConversionSession&, const QString&, const QString&);
    } formats[] = {
        {"wav", options::FormatOptions::WAV, convert::ConvertToWAV},
        {"mp3", options::FormatOptions::MP3, convert::ConvertToMP3_OGG},
        {"ogg", options::FormatOptions::OGG, convert::ConvertToMP3_OGG},
        {"wma", options::FormatOptions::WMA, convert::ConvertToWMA},
    };
    for (const auto& f : formats) {
        SCOPED_TRACE(f.extension);
        options.optFileFormat(f.format).click();
        const QString suffix = u'.' + QLatin1String(f.extension);
        session.outputMade.clear();
        f.convert(session, in, disk + QStringLiteral("/noise") + suffix);
        EXPECT_EQ(status(), QStringLiteral("Error"));
        EXPECT_EQ(reason(), QStringLiteral("No space left on device"));
        EXPECT_TRUE(session.outputMade.isEmpty());
        EXPECT_TRUE(QDir(disk).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).isEmpty())
            << QDir(disk).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot).join(u' ').toStdString();
    }
}

TEST_F(FullDisk, ADiskThatFillsWhileTheTagsGoInNeverGivesAFalseComplete)
{
    // Every format, from an untagged source and from tagged ones whose cover
    // is small or larger than the audio, onto a disk grown page by page until
    // the output fits: each row either ends "Error" with the system's reason
    // and leaves nothing, or ends "Complete" with the whole audio and tags.
    const QString plain = path(QStringLiteral("plain.flac"));
    ASSERT_TRUE(testsupport::makeTone(plain, 0.25, 22050, 1));
    const struct {
        const char* name;
        qsizetype coverBytes;
    } sources[] = {{"plain.flac", 0}, {"small-cover.flac", 9 * 1024}, {"large-cover.flac", 40 * 1024}};
    for (const auto& source : sources) {
        if (source.coverBytes == 0)
            continue;
        const QString tagged = path(QLatin1String(source.name));
        ASSERT_TRUE(QFile::copy(plain, tagged));
        engine::MediaTags tags;
        tags.title = QStringLiteral("Title");
        tags.artist = QStringLiteral("Artist");
        tags.album = QStringLiteral("Album");
        for (qsizetype i = 0; i < source.coverBytes; ++i)
            tags.cover.append(char((i * 7919) % 251)); // does not compress
        tags.coverMime = QStringLiteral("image/png");
        ASSERT_TRUE(tags::WriteFileTags(tagged, tags::TagFormat::Flac, tags));
    }
    const struct {
        const char* extension;
        int format;
        void (*convert)(convert::ConversionSession&, const QString&, const QString&);
    } formats[] = {
        {"wav", options::FormatOptions::WAV, convert::ConvertToWAV},
        {"wma", options::FormatOptions::WMA, convert::ConvertToWMA},
        {"mp3", options::FormatOptions::MP3, convert::ConvertToMP3_OGG},
        {"ogg", options::FormatOptions::OGG, convert::ConvertToMP3_OGG},
        {"flac", options::FormatOptions::FLAC, convert::ConvertToFLAC_OPUS_AAC},
        {"opus", options::FormatOptions::OPUS, convert::ConvertToFLAC_OPUS_AAC},
        {"m4a", options::FormatOptions::AAC, convert::ConvertToFLAC_OPUS_AAC},
    };
    const QString reference = path(QStringLiteral("reference"));
    ASSERT_TRUE(QDir().mkpath(reference));
    for (const auto& f : formats) {
        options.optFileFormat(f.format).click();
        for (const auto& source : sources) {
            const QString in = path(QLatin1String(source.name));
            const QString name = QStringLiteral("/out.") + QLatin1String(f.extension);
            SCOPED_TRACE(QStringLiteral("%1 from %2").arg(name, in).toStdString());
            session.outputMade.clear();
            f.convert(session, in, reference + name);
            ASSERT_EQ(status(), QStringLiteral("Complete")) << qPrintable(reason());
            const QByteArray audio = testsupport::decodeWithFfmpeg(session.outputMade);
            const engine::MediaTags tags = tags::ReadMediaTags(session.outputMade);
            const int enough = int(QFileInfo(session.outputMade).size() / 1024) + 8;
            ASSERT_TRUE(QFile::remove(session.outputMade));
            ASSERT_FALSE(audio.isEmpty());
            EXPECT_EQ(tags.cover.size(), source.coverBytes);

            bool completed = false;
            for (int kb = 4; kb <= enough && !completed; kb += 4) {
                SCOPED_TRACE(kb);
                ASSERT_TRUE(resize(kb));
                session.outputMade.clear();
                f.convert(session, in, disk + name);
                if (status() == QStringLiteral("Complete")) {
                    completed = true;
                    EXPECT_EQ(testsupport::decodeWithFfmpeg(session.outputMade), audio);
                    EXPECT_EQ(tags::ReadMediaTags(session.outputMade), tags);
                    EXPECT_TRUE(QFile::remove(session.outputMade));
                } else {
                    EXPECT_EQ(status(), QStringLiteral("Error"));
                    EXPECT_EQ(reason(), QStringLiteral("No space left on device"));
                    EXPECT_TRUE(session.outputMade.isEmpty());
                }
                EXPECT_TRUE(onDisk().isEmpty()) << onDisk().join(u' ').toStdString();
            }
            EXPECT_TRUE(completed) << "the output never fitted";
        }
    }
}

} // namespace
