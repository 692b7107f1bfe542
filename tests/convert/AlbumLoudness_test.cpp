#include "ReplayGainReadBack.h"
#include "convert/ConversionBatch.h"
#include "engine/AudioEngine.h"
#include "filelist/FileList.h"
#include "loudness/AlbumLoudness.h"
#include "options/FormatOptions.h"
#include "support/Fixtures.h"
#include "support/ReferenceLoudness.h"
#include "support/ScriptedDesktop.h"
#include "support/SuiteMedia.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <gtest/gtest.h>

using replaygaintest::gainOf;
using replaygaintest::readField;
using tags::TagFormat;

namespace {

TEST(AlbumLoudness, AnAlbumIsAFolderOrTheDiscOrSheetOfATrack)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/music/a/b.flac", "/music/a"},       {"/music/rip/album.cue#03", "/music/rip/album.cue"},
        {"/dev/sr0#12", "/dev/sr0"},           {"/music/a#1/b.flac", "/music/a#1"}, // a "#" in a folder name
        {"/music/a/song #2.flac", "/music/a"}, // and in a file name that is no track
        {"/music/a/b.flac#x", "/music/a"},     // no track number after it
    };
    for (const auto& [input, album] : cases)
        EXPECT_EQ(loudness::AlbumLoudness::albumOf(QString::fromLatin1(input)), QString::fromLatin1(album)) << input;
}

class AlbumLoudnessTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(s_media.open());
        engine::LoadFormatModules();
        // Tracks of different loudness: amplitude, frequency, seconds.
        const std::tuple<const char*, double, int, double> tones[] = {{"loud.flac", 0.5, 440, 3.0},
                                                                      {"mid.flac", 0.12, 660, 4.0},
                                                                      {"soft.flac", 0.03, 880, 2.5},
                                                                      {"other.flac", 0.2, 550, 3.0}};
        for (const auto& [name, amplitude, frequency, seconds] : tones)
            ASSERT_TRUE(testsupport::makeFromLavfi(s_media.filePath(QString::fromLatin1(name)),
                                                   QStringLiteral("aevalsrc=%1*sin(2*PI*%2*t):s=44100:d=%3:c=stereo")
                                                       .arg(amplitude)
                                                       .arg(frequency)
                                                       .arg(seconds)));
    }
    static void TearDownTestSuite() { s_media.close(); }

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        options.optFileFormat(options::FormatOptions::WAV).setValue(true);
        options.optOtherFolder.setValue(true);
        list = std::make_unique<filelist::FileList>();
    }

    //! A row for a copy of `source` at `name` (a path inside the test folder).
    void addRow(const QString& name, const QString& source)
    {
        const QString file = dir.filePath(name);
        QDir().mkpath(QFileInfo(file).absolutePath());
        if (!QFile::exists(file)) {
            ASSERT_TRUE(s_media.copy(source, file));
        }
        filelist::FileListRow row;
        row.path = file;
        ASSERT_TRUE(list->append(row));
    }
    //! Two albums: three tracks in "a", two in "b".
    void addTwoAlbums()
    {
        addRow(QStringLiteral("a/1.flac"), QStringLiteral("loud.flac"));
        addRow(QStringLiteral("a/2.flac"), QStringLiteral("mid.flac"));
        addRow(QStringLiteral("b/3.flac"), QStringLiteral("other.flac"));
        addRow(QStringLiteral("a/4.flac"), QStringLiteral("soft.flac"));
        addRow(QStringLiteral("b/5.flac"), QStringLiteral("soft.flac"));
    }
    //! Converts every waiting row with `jobs` at once into `folder`.
    void convertAll(const QString& folder, int jobs)
    {
        options.txtOutPath.setText(dir.filePath(folder));
        options.sliderSimultaneous.setMax(std::max(jobs, options.sliderSimultaneous.Max()));
        options.sliderSimultaneous.setValue(jobs);
        batch.cmdConvert.click();
    }
    QString output(const QString& folder, const QString& name) const { return dir.filePath(folder + u'/' + name); }
    QString field(const QString& file, const char* name) const
    {
        return readField(file, TagFormat::Wav, QString::fromLatin1(name));
    }
    //! libebur128's loudness of the files as one programme.
    static double albumReference(const QStringList& files)
    {
        std::vector<ebur128_state*> states;
        for (const QString& file : files) {
            const std::optional<testsupport::DecodedFile> decoded = testsupport::decodeToFloat(file);
            if (!decoded)
                return 0;
            states.push_back(ebur128_init(decoded->channels, decoded->rate, EBUR128_MODE_I));
            ebur128_add_frames_float(states.back(), decoded->samples.data(),
                                     decoded->samples.size() / decoded->channels);
        }
        double loudness = 0;
        ebur128_loudness_global_multiple(states.data(), states.size(), &loudness);
        for (ebur128_state*& state : states)
            ebur128_destroy(&state);
        return loudness;
    }

    static inline testsupport::SuiteMedia s_media;
    QTemporaryDir dir;
    testsupport::ScriptedDesktop desktop;
    convert::ConversionState state;
    options::FormatOptions options;
    std::unique_ptr<filelist::FileList> list;
    convert::ConversionBatch batch{desktop, state, options, [this] { return list.get(); }};
};

TEST_F(AlbumLoudnessTest, RowsOnTwoWorkersGiveTheAlbumGainOfRowsOneAtATime)
{
    addTwoAlbums();
    convertAll(QStringLiteral("one"), 1);
    for (const filelist::FileListRow& row : list->rows())
        ASSERT_EQ(row.state, filelist::RowState::Complete);
    for (int row = 0; row < list->count(); ++row)
        list->setState(row, filelist::RowState::Waiting);
    convertAll(QStringLiteral("two"), 2);

    const QStringList albumA = {QStringLiteral("1.wav"), QStringLiteral("2.wav"), QStringLiteral("4.wav")};
    const QStringList albumB = {QStringLiteral("3.wav"), QStringLiteral("5.wav")};
    for (const QStringList& album : {albumA, albumB}) {
        QStringList files;
        for (const QString& name : album)
            files << output(QStringLiteral("one"), name);
        const QString gain = field(files.front(), "REPLAYGAIN_ALBUM_GAIN");
        const QString peak = field(files.front(), "REPLAYGAIN_ALBUM_PEAK");
        ASSERT_FALSE(gain.isEmpty()) << files.front().toStdString();
        EXPECT_NEAR(gainOf(gain), -18.0 - albumReference(files), 0.01);
        for (const QString& name : album) {
            SCOPED_TRACE(name.toStdString());
            // The same on every track of the album, and in either run.
            for (const char* run : {"one", "two"}) {
                const QString file = output(QString::fromLatin1(run), name);
                EXPECT_EQ(field(file, "REPLAYGAIN_ALBUM_GAIN"), gain);
                EXPECT_EQ(field(file, "REPLAYGAIN_ALBUM_PEAK"), peak);
            }
            EXPECT_EQ(field(output(QStringLiteral("one"), name), "REPLAYGAIN_TRACK_GAIN"),
                      field(output(QStringLiteral("two"), name), "REPLAYGAIN_TRACK_GAIN"));
        }
    }
    EXPECT_NE(field(output(QStringLiteral("one"), QStringLiteral("1.wav")), "REPLAYGAIN_ALBUM_GAIN"),
              field(output(QStringLiteral("one"), QStringLiteral("3.wav")), "REPLAYGAIN_ALBUM_GAIN"));
    // The loudest track's peak is the album's.
    EXPECT_EQ(field(output(QStringLiteral("one"), QStringLiteral("4.wav")), "REPLAYGAIN_ALBUM_PEAK"),
              field(output(QStringLiteral("one"), QStringLiteral("1.wav")), "REPLAYGAIN_TRACK_PEAK"));
}

TEST_F(AlbumLoudnessTest, AStoppedOrFailedRowLeavesItsAlbumWithoutAlbumTags)
{
    addTwoAlbums();
    // The album "c" holds a file that cannot be decoded.
    addRow(QStringLiteral("c/6.flac"), QStringLiteral("mid.flac"));
    ASSERT_TRUE(testsupport::writeFile(dir.filePath(QStringLiteral("c/7.flac")), QByteArray(5000, 'x')));
    filelist::FileListRow broken;
    broken.path = dir.filePath(QStringLiteral("c/7.flac"));
    ASSERT_TRUE(list->append(broken));
    // Stop when the fifth row ("b/5") starts: album "a" has ended whole,
    // album "b" has a row that was stopped, album "c" rows that never started.
    const QMetaObject::Connection stop =
        QObject::connect(&batch, &convert::ConversionBatch::rowStarted, [this](int row) {
            if (row == 4)
                batch.cmdConvert.click();
        });
    options.optSameFolder.setValue(true);
    convertAll(QString(), 1);
    QObject::disconnect(stop);

    const auto wav = [this](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
    ASSERT_EQ(list->at(3).state, filelist::RowState::Complete);
    ASSERT_EQ(list->at(4).state, filelist::RowState::Cancelled);
    EXPECT_FALSE(field(wav("a/1.wav"), "REPLAYGAIN_ALBUM_GAIN").isEmpty());
    EXPECT_FALSE(field(wav("b/3.wav"), "REPLAYGAIN_TRACK_GAIN").isEmpty());
    EXPECT_TRUE(field(wav("b/3.wav"), "REPLAYGAIN_ALBUM_GAIN").isEmpty());
    EXPECT_FALSE(QFile::exists(wav("b/5.wav"))); // a stop keeps its part under a "stopped at" name
    EXPECT_FALSE(QFile::exists(wav("c/6.wav")));

    // Now the rest, "c" with its broken file among them.
    batch.cmdConvert.click();
    EXPECT_EQ(list->at(6).state, filelist::RowState::Failed);
    EXPECT_FALSE(field(wav("c/6.wav"), "REPLAYGAIN_TRACK_GAIN").isEmpty());
    EXPECT_TRUE(field(wav("c/6.wav"), "REPLAYGAIN_ALBUM_GAIN").isEmpty());
    // "b" is converted again only in part ("b/3" is done): the batch's album
    // is its one row left, which gets album tags of its own.
    const QString again = wav("b/5.wav");
    EXPECT_FALSE(field(again, "REPLAYGAIN_ALBUM_GAIN").isEmpty());
    EXPECT_EQ(field(again, "REPLAYGAIN_ALBUM_GAIN"), field(again, "REPLAYGAIN_TRACK_GAIN"));
}

TEST_F(AlbumLoudnessTest, NormalisingByAlbumKeepsTheTracksApartAndBringsTheAlbumToTheTarget)
{
    addRow(QStringLiteral("a/1.flac"), QStringLiteral("loud.flac"));
    addRow(QStringLiteral("a/2.flac"), QStringLiteral("soft.flac"));
    addRow(QStringLiteral("a/3.flac"), QStringLiteral("mid.flac"));
    options.chkNormalize.setValue(true);
    options.sliderNormalizeTarget.setValue(-20);
    options.optNormalizeAlbum.setValue(true);
    convertAll(QStringLiteral("album"), 2);

    QStringList inputs, outputs;
    for (int row = 0; row < list->count(); ++row) {
        ASSERT_EQ(list->at(row).state, filelist::RowState::Complete);
        inputs << list->at(row).path;
        outputs << output(QStringLiteral("album"), QStringLiteral("%1.wav").arg(row + 1));
    }
    EXPECT_NEAR(albumReference(outputs), -20.0, 0.1);
    // Each track keeps its distance from the others.
    const double before = albumReference({inputs[0]}) - albumReference({inputs[1]});
    const double after = albumReference({outputs[0]}) - albumReference({outputs[1]});
    EXPECT_NEAR(after, before, 0.1);
    // The album gain of normalised outputs is the one to the target.
    EXPECT_NEAR(gainOf(field(outputs[0], "REPLAYGAIN_ALBUM_GAIN")), -18.0 - -20.0, 0.1);

    // By file, each reaches the target on its own.
    for (int row = 0; row < list->count(); ++row)
        list->setState(row, filelist::RowState::Waiting);
    options.optNormalizeTrack.setValue(true);
    convertAll(QStringLiteral("track"), 2);
    for (int row = 0; row < list->count(); ++row)
        EXPECT_NEAR(albumReference({output(QStringLiteral("track"), QStringLiteral("%1.wav").arg(row + 1))}), -20.0,
                    0.1)
            << row;
}

} // namespace
