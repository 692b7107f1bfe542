// Tracks of CUE sheets through the engine's ordinary calls: listing, sample-
// exact decoding of BIN images (through libcdio's image driver and paranoia)
// and of single-file rips, and the tags a track carries.

#include "disc/DiscTrackOpening.h"
#include "disc/DiscTracks.h"
#include "disc/TrackPath.h"
#include "engine/StreamTestHelpers.h"
#include "support/DiscImage.h"
#include "support/Fixtures.h"
#include "tags/ReadMediaTags.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace streamtest;

namespace {

using testsupport::DiscImage;
using Kind = disc::DiscProblem::Kind;

class DiscTracksTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        engine::LoadFormatModules();
        s_dir = new QTemporaryDir;
        s_image = new DiscImage;
        // Ten tracks of different lengths, gaps before tracks 3 and 7, and a
        // hidden track before track 1.
        std::vector<DiscImage::Track> tracks;
        for (int t = 1; t <= 10; ++t)
            tracks.push_back({40 + 7 * t, t == 3 ? 30 : t == 7 ? 2 : 0});
        s_made = s_dir->isValid() && s_image->make(s_dir->filePath(QStringLiteral("album.bin")), tracks, 20) &&
                 testsupport::writeFile(s_dir->filePath(QStringLiteral("album.cue")),
                                        s_image->sheet(QStringLiteral("album.bin"))) &&
                 testsupport::runProgram(QStringLiteral("ffmpeg"),
                                         {QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
                                          QStringLiteral("error"), QStringLiteral("-f"), QStringLiteral("s16le"),
                                          QStringLiteral("-ar"), QStringLiteral("44100"), QStringLiteral("-ac"),
                                          QStringLiteral("2"), QStringLiteral("-i"),
                                          s_dir->filePath(QStringLiteral("album.bin")), QStringLiteral("-c:a"),
                                          QStringLiteral("flac"), s_dir->filePath(QStringLiteral("rip.flac"))}) == 0 &&
                 testsupport::writeFile(s_dir->filePath(QStringLiteral("rip.cue")),
                                        s_image->sheet(QStringLiteral("rip.flac"), QStringLiteral("WAVE")));
    }
    static void TearDownTestSuite()
    {
        delete s_image;
        delete s_dir;
    }
    void SetUp() override { ASSERT_TRUE(s_made); }

    static QString path(const QString& name) { return s_dir->filePath(name); }

    static QTemporaryDir* s_dir;
    static DiscImage* s_image;
    static bool s_made;
};

QTemporaryDir* DiscTracksTest::s_dir = nullptr;
DiscImage* DiscTracksTest::s_image = nullptr;
bool DiscTracksTest::s_made = false;

TEST(TrackPath, NamesATrackOfASheetOrADrive)
{
    EXPECT_EQ(disc::TrackPath::make(QStringLiteral("/m/a.cue"), 3), QStringLiteral("/m/a.cue#03"));
    struct Case {
        const char* path;
        const char* source; // null: no track
        int track;
    };
    const Case cases[] = {
        {"/m/a b#c.CUE#12", "/m/a b#c.CUE", 12},
        {"/m/a.cue#3", "/m/a.cue", 3},
        {"/m/a.cue#03", "/m/a.cue", 3},
        {"/m/a.cue#99", "/m/a.cue", 99},
        {"/m/a.cue", nullptr, 0},
        {"/m/a.cue#00", nullptr, 0},
        {"/m/a.cue#0", nullptr, 0},
        {"/m/a.cue#100", nullptr, 0},
        {"/m/a.cue#003", nullptr, 0},
        {"/m/a.cue#", nullptr, 0},
        {"/m/a.cue#3a", nullptr, 0},
        {"/m/a.flac#03", nullptr, 0},
        {"#03", nullptr, 0},
        {".cue#03", nullptr, 0},
    };
    for (const Case& c : cases) {
        const auto track = disc::TrackPath::parse(QString::fromLatin1(c.path));
        ASSERT_EQ(track.has_value(), c.source != nullptr) << c.path;
        if (track) {
            EXPECT_EQ(track->source, QString::fromLatin1(c.source)) << c.path;
            EXPECT_EQ(track->track, c.track) << c.path;
        }
    }
}

TEST_F(DiscTracksTest, ListsEveryTrackWithItsLengthAndKind)
{
    for (const QString& sheet : {QStringLiteral("album.cue"), QStringLiteral("rip.cue")}) {
        SCOPED_TRACE(sheet.toStdString());
        std::vector<disc::DiscTrackEntry> tracks;
        ASSERT_FALSE(disc::ListDiscTracks(path(sheet), tracks));
        ASSERT_EQ(tracks.size(), 10u);
        for (int t = 1; t <= 10; ++t) {
            const disc::DiscTrackEntry& entry = tracks[std::size_t(t - 1)];
            EXPECT_EQ(entry.path, disc::TrackPath::make(path(sheet), t));
            EXPECT_DOUBLE_EQ(entry.seconds, double(s_image->track(t).size()) / 4 / 44100);
            EXPECT_EQ(entry.cdTrack, sheet == QLatin1String("album.cue"));
        }
        if (sheet == QLatin1String("rip.cue")) {
            // A track cut from a file shows its share of the file's size.
            qint64 shares = 0;
            for (const disc::DiscTrackEntry& entry : tracks)
                shares += entry.shareBytes;
            const qint64 audioShare =
                QFileInfo(path(QStringLiteral("rip.flac"))).size() * s_image->audio().size() / s_image->bytes().size();
            EXPECT_NEAR(double(shares), double(audioShare), 10.0);
        }
    }
}

TEST_F(DiscTracksTest, EveryTrackDecodesToExactlyItsSamples)
{
    // BIN images go through libcdio and paranoia, FLAC rips through FFmpeg
    // with a seek; both must give the image's bytes, gaps ending the track
    // before them and the hidden track left out.
    for (const QString& sheet : {QStringLiteral("album.cue"), QStringLiteral("rip.cue")}) {
        for (const DWORD flags : {BASS_STREAM_DECODE, BASS_STREAM_DECODE | BASS_SAMPLE_FLOAT}) {
            if ((flags & BASS_SAMPLE_FLOAT) && sheet == QLatin1String("album.cue"))
                continue;
            // The last track first: a seek far into the file, then the others in order.
            QByteArray all;
            QByteArray last;
            for (const int t : {10, 1, 2, 3, 4, 5, 6, 7, 8, 9}) {
                SCOPED_TRACE(QStringLiteral("%1 track %2 flags %3").arg(sheet).arg(t).arg(flags).toStdString());
                const HSTREAM stream = engine::OpenStream(false, disc::TrackPath::make(path(sheet), t), 0, 0, flags);
                ASSERT_NE(stream, 0u) << BASS_ErrorGetCode();
                const QByteArray expected = s_image->track(t);
                EXPECT_EQ(BASS_ChannelGetLength(stream, BASS_POS_BYTE),
                          QWORD(expected.size()) * ((flags & BASS_SAMPLE_FLOAT) ? 2 : 1));
                QByteArray got = readToEnd(stream);
                if (flags & BASS_SAMPLE_FLOAT) {
                    QByteArray ints;
                    const auto* samples = reinterpret_cast<const float*>(got.constData());
                    for (qsizetype i = 0; i < got.size() / 4; ++i) {
                        const auto value = qint16(qRound(samples[i] * 32768.0f));
                        ints.append(reinterpret_cast<const char*>(&value), 2);
                    }
                    got = ints;
                }
                EXPECT_TRUE(got == expected) << got.size() << " bytes for " << expected.size();
                (t == 10 ? last : all) += got;
                BASS_StreamFree(stream);
            }
            EXPECT_TRUE(all + last == s_image->audio());
        }
    }
}

TEST_F(DiscTracksTest, APlayedTrackStartsAgainAtItsFirstSample)
{
    // The player loops a channel by rewinding it: a track starts again at its
    // own first sample, not at the start of the image or the file.
    for (const QString& sheet : {QStringLiteral("album.cue"), QStringLiteral("rip.cue")}) {
        SCOPED_TRACE(sheet.toStdString());
        int error = 0;
        const auto channel = disc::OpenDiscTrack({path(sheet), 6}, false, error);
        ASSERT_TRUE(channel) << error;
        for (int pass = 0; pass < 2; ++pass) {
            QByteArray all(int(channel->length()), '\0');
            qint64 got = 0;
            for (qint64 n; (n = channel->read(all.data() + got, std::min<qint64>(7000, all.size() - got))) > 0;)
                got += n;
            EXPECT_EQ(got, s_image->track(6).size());
            EXPECT_TRUE(all == s_image->track(6)) << pass;
            ASSERT_TRUE(channel->rewind());
            EXPECT_EQ(channel->position(), 0);
        }
    }
}

TEST(DiscTracks, NinetyNineTracksOfAnImage)
{
    QTemporaryDir dir;
    DiscImage image;
    ASSERT_TRUE(image.make(dir.filePath(QStringLiteral("many.bin")), std::vector<DiscImage::Track>(99, {3, 0})));
    ASSERT_TRUE(
        testsupport::writeFile(dir.filePath(QStringLiteral("many.cue")), image.sheet(QStringLiteral("many.bin"))));
    std::vector<disc::DiscTrackEntry> tracks;
    ASSERT_FALSE(disc::ListDiscTracks(dir.filePath(QStringLiteral("many.cue")), tracks));
    ASSERT_EQ(tracks.size(), 99u);
    EXPECT_TRUE(tracks.back().path.endsWith(QLatin1String("many.cue#99")));
    for (const int t : {1, 50, 99}) {
        const HSTREAM stream = engine::OpenStream(false, tracks[std::size_t(t - 1)].path, 0, 0, BASS_STREAM_DECODE);
        ASSERT_NE(stream, 0u);
        EXPECT_TRUE(readToEnd(stream) == image.track(t)) << t;
        BASS_StreamFree(stream);
    }
}

TEST_F(DiscTracksTest, TagsOfATrackComeFromTheSheet)
{
    const engine::MediaTags tags = tags::ReadMediaTags(disc::TrackPath::make(path(QStringLiteral("rip.cue")), 7));
    EXPECT_EQ(tags.title, QStringLiteral("Title 7"));
    EXPECT_EQ(tags.artist, QStringLiteral("Artist 7"));
    EXPECT_EQ(tags.album, QStringLiteral("Album"));
    EXPECT_EQ(tags.albumArtist, QStringLiteral("Band"));
    EXPECT_EQ(tags.track, QStringLiteral("7/10"));
    EXPECT_EQ(tags.date, QStringLiteral("2001"));
    EXPECT_EQ(tags.genre, QStringLiteral("Rock"));
    EXPECT_TRUE(tags::ReadMediaTags(disc::TrackPath::make(path(QStringLiteral("rip.cue")), 11)).isEmpty());
}

TEST_F(DiscTracksTest, ATrackThatBeginsPastTheEndOfItsFileIsRefused)
{
    const qint64 end = s_image->bytes().size() / DiscImage::kSectorBytes;
    QByteArray sheet = s_image->sheet(QStringLiteral("rip.flac"), QStringLiteral("WAVE"));
    sheet += "  TRACK 11 AUDIO\n    INDEX 01 " + DiscImage::msf(end + 75).toUtf8() + "\n";
    ASSERT_TRUE(testsupport::writeFile(path(QStringLiteral("past.cue")), sheet));
    std::vector<disc::DiscTrackEntry> tracks;
    const disc::DiscProblem problem = disc::ListDiscTracks(path(QStringLiteral("past.cue")), tracks);
    EXPECT_EQ(problem.kind, Kind::PastEnd);
    EXPECT_EQ(problem.track, 11);
    EXPECT_EQ(problem.file, QStringLiteral("rip.flac"));
    EXPECT_TRUE(tracks.empty());
    EXPECT_EQ(
        engine::OpenStream(false, disc::TrackPath::make(path(QStringLiteral("past.cue")), 1), 0, 0, BASS_STREAM_DECODE),
        0u);
    EXPECT_EQ(BASS_ErrorGetCode(), BASS_ERROR_FILEOPEN);
}

TEST_F(DiscTracksTest, AGapEndsTheTrackBeforeItWhicheverFileItLiesIn)
{
    // One disc ripped two ways with one file per track: the gap before
    // track 2 at the end of the first file, or at the head of the second
    // (INDEX 00 00:00:00, INDEX 01 after it). Either way track 1 ends with
    // the gap and track 2 begins at its INDEX 01; as WAV files and as BIN
    // images alike.
    const QByteArray one = s_image->track(1);
    const QByteArray two = s_image->track(2);
    constexpr int kGapSectors = 10;
    const qsizetype gapBytes = qsizetype(kGapSectors) * DiscImage::kSectorBytes;
    const QByteArray gapAt = DiscImage::msf(one.size() / DiscImage::kSectorBytes - kGapSectors).toUtf8();
    const auto write = [](const QString& file, const QByteArray& pcm) {
        if (file.endsWith(QLatin1String(".bin")))
            return testsupport::writeFile(file, pcm);
        return testsupport::writeFile(file + QStringLiteral(".raw"), pcm) &&
               testsupport::runProgram(QStringLiteral("ffmpeg"),
                                       {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-y"),
                                        QStringLiteral("-f"), QStringLiteral("s16le"), QStringLiteral("-ar"),
                                        QStringLiteral("44100"), QStringLiteral("-ac"), QStringLiteral("2"),
                                        QStringLiteral("-i"), file + QStringLiteral(".raw"), file}) == 0;
    };
    for (const char* kind : {"wav", "bin"}) {
        const QByteArray type = QByteArray(kind) == "wav" ? "WAVE" : "BINARY";
        const QString first = QStringLiteral("01.") + QLatin1String(kind);
        const QString second = QStringLiteral("02.") + QLatin1String(kind);
        for (const bool gapAtHead : {false, true}) {
            SCOPED_TRACE(std::string(kind) +
                         (gapAtHead ? ", gap at the head of file 2" : ", gap at the end of file 1"));
            ASSERT_TRUE(write(path(first), gapAtHead ? one.left(one.size() - gapBytes) : one));
            ASSERT_TRUE(write(path(second), gapAtHead ? one.right(gapBytes) + two : two));
            QByteArray sheet =
                "FILE \"" + first.toUtf8() + "\" " + type + "\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
            if (gapAtHead)
                sheet += "FILE \"" + second.toUtf8() + "\" " + type + "\n  TRACK 02 AUDIO\n    INDEX 00 00:00:00\n" +
                         "    INDEX 01 " + DiscImage::msf(kGapSectors).toUtf8() + "\n";
            else
                sheet += "  TRACK 02 AUDIO\n    INDEX 00 " + gapAt + "\nFILE \"" + second.toUtf8() + "\" " + type +
                         "\n    INDEX 01 00:00:00\n";
            ASSERT_TRUE(testsupport::writeFile(path(QStringLiteral("files.cue")), sheet));
            std::vector<disc::DiscTrackEntry> listed;
            ASSERT_FALSE(disc::ListDiscTracks(path(QStringLiteral("files.cue")), listed));
            ASSERT_EQ(listed.size(), 2u);
            for (int t = 1; t <= 2; ++t) {
                const QByteArray& expected = t == 1 ? one : two;
                EXPECT_DOUBLE_EQ(listed[std::size_t(t - 1)].seconds, double(expected.size()) / 4 / 44100) << t;
                const HSTREAM stream =
                    engine::OpenStream(false, listed[std::size_t(t - 1)].path, 0, 0, BASS_STREAM_DECODE);
                ASSERT_NE(stream, 0u) << t;
                EXPECT_EQ(BASS_ChannelGetLength(stream, BASS_POS_BYTE), QWORD(expected.size())) << t;
                const QByteArray got = readToEnd(stream);
                EXPECT_TRUE(got == expected) << t << ": " << got.size() << " bytes for " << expected.size();
                BASS_StreamFree(stream);
            }
        }
    }
}

TEST_F(DiscTracksTest, ADataTrackCostsNoAudioTrackAndItsFirstIndexEndsTheAudio)
{
    // Tracks 1 and 2 of the image, then a data track with an INDEX 00 five
    // sectors before where track 3 begins, and no INDEX 01 (a CD-Extra rip).
    const qint64 start1 = (s_image->bytes().size() - s_image->audio().size()) / DiscImage::kSectorBytes;
    const qint64 start2 = start1 + s_image->track(1).size() / DiscImage::kSectorBytes;
    const qint64 start3 = start2 + s_image->track(2).size() / DiscImage::kSectorBytes;
    const QByteArray sheet = "FILE \"album.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 " +
                             DiscImage::msf(start1).toUtf8() + "\n  TRACK 02 AUDIO\n    INDEX 01 " +
                             DiscImage::msf(start2).toUtf8() + "\n  TRACK 03 MODE1/2352\n    INDEX 00 " +
                             DiscImage::msf(start3 - 5).toUtf8() + "\n";
    ASSERT_TRUE(testsupport::writeFile(path(QStringLiteral("extra.cue")), sheet));
    std::vector<disc::DiscTrackEntry> listed;
    ASSERT_FALSE(disc::ListDiscTracks(path(QStringLiteral("extra.cue")), listed));
    ASSERT_EQ(listed.size(), 2u);
    const HSTREAM stream = engine::OpenStream(false, listed[1].path, 0, 0, BASS_STREAM_DECODE);
    ASSERT_NE(stream, 0u);
    const QByteArray two = s_image->track(2);
    EXPECT_TRUE(readToEnd(stream) == two.left(two.size() - 5 * DiscImage::kSectorBytes));
    BASS_StreamFree(stream);
    EXPECT_EQ(tags::ReadMediaTags(listed[1].path).track, QStringLiteral("2/2"));
}

} // namespace
