#include "filelist/FileAdmissionRules.h"
#include "support/Fixtures.h"

#include <QLocale>
#include <QMimeDatabase>
#include <algorithm>
#include <gtest/gtest.h>
#include <limits>

TEST(FileAdmissionRules, DoubledSlashesCollapseUnlessThePathBeginsWithTwo)
{
    EXPECT_EQ(filelist::NormaliseAdmissionPath(QStringLiteral("/media//song.wav")), QStringLiteral("/media/song.wav"));
    EXPECT_EQ(filelist::NormaliseAdmissionPath(QStringLiteral("/a////b")), QStringLiteral("/a//b"));
    EXPECT_EQ(filelist::NormaliseAdmissionPath(QStringLiteral("/a///b")), QStringLiteral("/a//b"));
    EXPECT_EQ(filelist::NormaliseAdmissionPath(QStringLiteral("//server//share/x.wav")),
              QStringLiteral("//server//share/x.wav"));
    EXPECT_EQ(filelist::NormaliseAdmissionPath(QStringLiteral("/a\\\\b.wav")), QStringLiteral("/a\\\\b.wav"));
}

TEST(FileAdmissionRules, ExtensionIsTheTextAfterTheLastDotOfTheName)
{
    EXPECT_EQ(filelist::AdmissionExtension(QStringLiteral("/m/song.tar.MP3")), QStringLiteral("MP3"));
    EXPECT_EQ(filelist::AdmissionExtension(QStringLiteral("/m/song")), QString());
    EXPECT_EQ(filelist::AdmissionExtension(QStringLiteral("/m/song.")), QString());
    EXPECT_EQ(filelist::AdmissionExtension(QStringLiteral("/m.d/song")), QString());
}

TEST(FileAdmissionRules, ExtensionTestIsASubstringSearchIgnoringCase)
{
    for (const char* admitted :
         {"a.MP3",  "a.wav",  "a.Flac", "a.mp",   "a.mid",  "a.m",   "a.a",  "a.cda", "a.dat",  "a.mpeg", "a.mov",
          "a.midi", "a.alac", "a.m4a",  "a.OPUS", "a.aiff", "a.aif", "a.wv", "a.mkv", "a.WEBM", "a.mka",  "a.flv"})
        EXPECT_TRUE(filelist::HasAdmittedExtension(QStringLiteral("/x/") + QLatin1String(admitted))) << admitted;
    for (const char* refused : {"a", "a.", "a.mod", "a.mo3", "a.txt", "a.wavx", "a.3", "a.mp3.", "a.wav.mp3x"})
        EXPECT_FALSE(filelist::HasAdmittedExtension(QStringLiteral("/x/") + QLatin1String(refused))) << refused;
}

TEST(FileAdmissionRules, TheDesktopEntryOffersTonemillForEveryTypeItReads)
{
    // For each admitted extension that the system's MIME database knows,
    // the entry lists one of its types (or an alias), so "Open with" offers it.
    const QByteArray entry =
        testsupport::readFile(testsupport::sourceDir() + QStringLiteral("/data/tonemill.desktop.in"));
    const qsizetype at = entry.indexOf("\nMimeType=");
    ASSERT_GE(at, 0);
    const QStringList listed = QString::fromUtf8(entry.mid(at + 10, entry.indexOf('\n', at + 1) - at - 10)).split(u';');
    const QMimeDatabase types;
    int known = 0;
    for (const QString& extension : filelist::AdmittedExtensions()) {
        const QList<QMimeType> candidates = types.mimeTypesForFileName(QStringLiteral("a.") + extension);
        if (candidates.isEmpty())
            continue;
        ++known;
        const bool offered = std::any_of(candidates.begin(), candidates.end(), [&listed](const QMimeType& type) {
            const QStringList names = QStringList{type.name()} + type.aliases();
            return std::any_of(names.begin(), names.end(),
                               [&listed](const QString& name) { return listed.contains(name); });
        });
        EXPECT_TRUE(offered) << qPrintable(extension) << ": " << qPrintable(candidates.first().name());
    }
    EXPECT_GT(known, 25);
}

TEST(FileAdmissionRules, CdTracksAndWindowsMediaNamesByTheirLastThreeCharacters)
{
    EXPECT_TRUE(filelist::IsCdTrackPath(QStringLiteral("/cd/Track01.cda")));
    EXPECT_TRUE(filelist::IsCdTrackPath(QStringLiteral("/cd/TRACK01.CDA")));
    EXPECT_FALSE(filelist::IsCdTrackPath(QStringLiteral("/cd/Track01.wav")));
    EXPECT_TRUE(filelist::IsWindowsMediaPath(QStringLiteral("/a.WMA")));
    EXPECT_TRUE(filelist::IsWindowsMediaPath(QStringLiteral("/a.asf")));
    EXPECT_TRUE(filelist::IsWindowsMediaPath(QStringLiteral("/a.wmv")));
    EXPECT_FALSE(filelist::IsWindowsMediaPath(QStringLiteral("/a.mp3")));
}

TEST(FileAdmissionRules, FileSizeBoundaries)
{
    QLocale::setDefault(QLocale::c());
    EXPECT_EQ(filelist::FormatFileSize(0), QStringLiteral("0 Bytes"));
    EXPECT_EQ(filelist::FormatFileSize(512), QStringLiteral("512 Bytes"));
    EXPECT_EQ(filelist::FormatFileSize(1023), QStringLiteral("1023 Bytes"));
    EXPECT_EQ(filelist::FormatFileSize(1024), QStringLiteral("1 KB"));
    EXPECT_EQ(filelist::FormatFileSize(1536), QStringLiteral("1.5 KB"));
    EXPECT_EQ(filelist::FormatFileSize(1048575), QStringLiteral("1024 KB"));
    EXPECT_EQ(filelist::FormatFileSize(1048576), QStringLiteral("1 MB"));
    EXPECT_EQ(filelist::FormatFileSize(qint64(4.68 * 1048576)), QStringLiteral("4.68 MB"));
    EXPECT_EQ(filelist::FormatFileSize(1073741824), QStringLiteral("1 GB"));
    EXPECT_EQ(filelist::FormatFileSize(qint64(1) << 50), QStringLiteral("1048576 GB"));
    EXPECT_EQ(filelist::FormatFileSize(std::numeric_limits<qint64>::max()),
              QStringLiteral("8589934592 GB")); // no overflow
    EXPECT_EQ(filelist::FormatFileSize(-1), QString());
}

TEST(FileAdmissionRules, FileSizeRoundsHalvesToEvenAndUsesTheLocaleSeparator)
{
    QLocale::setDefault(QLocale::c());
    // 1.125 KB and 1.375 KB are exact halves of a hundredth.
    EXPECT_EQ(filelist::FormatFileSize(1152), QStringLiteral("1.12 KB"));
    EXPECT_EQ(filelist::FormatFileSize(1408), QStringLiteral("1.38 KB"));
    EXPECT_EQ(filelist::FormatFileSize(1034), QStringLiteral("1.01 KB")); // 1.00976...
    EXPECT_EQ(filelist::FormatFileSize(1029), QStringLiteral("1 KB"));    // 1.00488...

    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(filelist::FormatFileSize(1536), QStringLiteral("1,5 KB"));
    EXPECT_EQ(filelist::FormatFileSize(2047LL * 1048576), QStringLiteral("2 GB")); // 1.999... rounds up
    EXPECT_EQ(filelist::FormatFileSize(1234567890), QStringLiteral("1,15 GB"));
    QLocale::setDefault(QLocale::c());
}

TEST(FileAdmissionRules, DurationRoundsHalvesToEvenSeconds)
{
    EXPECT_EQ(filelist::FormatDuration(0), QStringLiteral("00:00"));
    EXPECT_EQ(filelist::FormatDuration(0.4), QStringLiteral("00:00"));
    EXPECT_EQ(filelist::FormatDuration(59.5), QStringLiteral("01:00"));
    EXPECT_EQ(filelist::FormatDuration(60.5), QStringLiteral("01:00"));
    EXPECT_EQ(filelist::FormatDuration(125.5), QStringLiteral("02:06"));
    EXPECT_EQ(filelist::FormatDuration(187), QStringLiteral("03:07"));
    EXPECT_EQ(filelist::FormatDuration(3725), QStringLiteral("62:05"));
    EXPECT_EQ(filelist::FormatDuration(7500), QStringLiteral("125:00"));
    EXPECT_EQ(filelist::FormatDuration(-3), QStringLiteral("00:00"));
}
