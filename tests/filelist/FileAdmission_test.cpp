#include "engine/AudioEngine.h"
#include "filelist/FileAdmission.h"
#include "filelist/FileList.h"
#include "support/Fixtures.h"
#include "support/ScriptedDesktop.h"
#include "support/SuiteMedia.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using testsupport::ScriptedDesktop;
using Box = ScriptedDesktop::Box;
using testsupport::readFile;
using testsupport::writeFile;

namespace {

constexpr filelist::RowState kWaiting = filelist::RowState::Waiting;
constexpr filelist::RowState kUnsupported = filelist::RowState::NotSupported;
const QString kError = QStringLiteral("Error");

QByteArray noise(int size)
{
    QByteArray bytes(size, '\0');
    quint32 x = 12345;
    for (char& c : bytes) {
        x = x * 1103515245u + 12345u;
        c = char(x >> 24);
    }
    return bytes;
}

class FileAdmissionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(engine::InitDecodingEngine());
        ASSERT_TRUE(s_media.open());
        // 8000 Hz PCM keeps the lengths exact and the files small.
        const QStringList pcm{QStringLiteral("-c:a"), QStringLiteral("pcm_s16le")};
        ASSERT_TRUE(testsupport::makeTone(media("tone2_5.wav"), 2.5, 8000, 1, pcm));
        ASSERT_TRUE(testsupport::makeTone(media("tone3_5.wav"), 3.5, 8000, 1, pcm));
        ASSERT_TRUE(testsupport::makeTone(media("tone125_5.wav"), 125.5, 8000, 1, pcm));
        ASSERT_TRUE(testsupport::makeTone(media("tone.flac"), 1.0, 8000, 1));
    }
    static void TearDownTestSuite() { s_media.close(); }
    static QString media(const char* name) { return s_media.filePath(QLatin1String(name)); }

    void SetUp() override
    {
        QLocale::setDefault(QLocale::c());
        ASSERT_TRUE(dir.isValid());
        admission.setClearSelectAll([this] { ++selectAllCleared; });
        admission.setWmaSupportCheck([this] {
            ++wmaChecks;
            return wmaSupported;
        });
    }

    QString path(const QString& name) const { return dir.filePath(name); }
    QString copyOf(const char* mediaName, const QString& name) const
    {
        const QString to = path(name);
        EXPECT_TRUE(s_media.copy(QLatin1String(mediaName), to)) << qPrintable(to);
        return to;
    }
    qint16 add(QString p) { return admission.AddFile2Grid(p); }

    QTemporaryDir dir;
    filelist::FileList list;
    ScriptedDesktop desktop;
    filelist::FileAdmission admission{desktop, [this] { return &list; }};
    int selectAllCleared = 0;
    int wmaChecks = 0;
    bool wmaSupported = true;
    static inline testsupport::SuiteMedia s_media;
};

TEST_F(FileAdmissionTest, AnOpenableFileBecomesAWaitingRowAndTheCursorGoesToTheFirstRow)
{
    ASSERT_EQ(add(copyOf("tone2_5.wav", QStringLiteral("a.wav"))), 1);
    QString second = copyOf("tone125_5.wav", QStringLiteral("b.WAV"));
    ASSERT_EQ(add(second), 1);

    ASSERT_EQ(list.count(), 2);
    EXPECT_EQ(list.cursor(), 0);
    EXPECT_EQ(selectAllCleared, 2);
    const filelist::FileListRow& row = list.at(1);
    EXPECT_EQ(row.ID, 0);
    EXPECT_EQ(row.CheckBox, 0);
    EXPECT_EQ(row.path, second);
    EXPECT_EQ(row.Duration, QStringLiteral("02:06"));
    EXPECT_EQ(row.FileSize, QStringLiteral("1.92 MB"));
    EXPECT_EQ(row.state, kWaiting);
    EXPECT_EQ(list.at(0).Duration, QStringLiteral("00:02")); // 2.5 s: halves go to even
    EXPECT_FALSE(list.textColor(1, filelist::FileList::Status).has_value());
    EXPECT_TRUE(desktop.boxes.isEmpty());
    EXPECT_EQ(wmaChecks, 0);
}

TEST_F(FileAdmissionTest, DurationsOfStreamsRoundHalvesToEven)
{
    EXPECT_EQ(admission.GetMediaDuration(media("tone3_5.wav")), QStringLiteral("00:04"));
    EXPECT_EQ(admission.GetMediaDuration(media("tone.flac")), QStringLiteral("00:01"));
    EXPECT_EQ(admission.GetMediaDuration(path(QStringLiteral("missing.wav"))), kError);
}

TEST_F(FileAdmissionTest, M4aOpusAiffAndWavPackFilesAreAdmittedWithExactDurations)
{
    // Halves go to even: 2.5 s reads 00:02 only when not one sample too long,
    // 3.5 s reads 00:04 only when not one sample too short.
    // AAC in MP4 decodes to whole frames of 1024 samples (the padding of the
    // last one is not trimmed), so only the 3.5 s case is exact for it.
    struct Kind {
        const char* extension;
        QStringList options;
        QList<double> lengths;
    };
    const Kind kinds[] = {
        {"m4a", {QStringLiteral("-c:a"), QStringLiteral("aac")}, {3.5}},
        {"opus", {QStringLiteral("-c:a"), QStringLiteral("libopus")}, {2.5, 3.5}},
        {"aiff", {}, {2.5, 3.5}},
        {"AIF", {QStringLiteral("-f"), QStringLiteral("aiff")}, {2.5, 3.5}},
        {"wv", {}, {2.5, 3.5}},
    };
    for (const Kind& kind : kinds) {
        for (const double seconds : kind.lengths) {
            const QString file = path(QStringLiteral("tone%1.%2").arg(seconds).arg(QLatin1String(kind.extension)));
            ASSERT_TRUE(testsupport::makeTone(file, seconds, 48000, 2, kind.options)) << kind.extension;
            ASSERT_EQ(add(file), 1) << kind.extension;
            const filelist::FileListRow& row = list.at(list.count() - 1);
            EXPECT_EQ(row.Duration, seconds < 3 ? QStringLiteral("00:02") : QStringLiteral("00:04"))
                << qPrintable(file);
            EXPECT_EQ(row.state, kWaiting) << qPrintable(file);
        }
    }
    EXPECT_TRUE(desktop.boxes.isEmpty());
}

TEST_F(FileAdmissionTest, DuplicatesAndUnknownExtensionsAreRefusedSilently)
{
    const QString a = copyOf("tone2_5.wav", QStringLiteral("a.wav"));
    ASSERT_EQ(add(a), 1);
    EXPECT_EQ(add(a), 0);
    for (const char* name : {"song", "song.", "song.mod", "song.mo3", "song.txt"}) {
        const QString p = path(QLatin1String(name));
        ASSERT_TRUE(writeFile(p, noise(100)));
        EXPECT_EQ(add(p), 0) << name;
    }
    EXPECT_EQ(list.count(), 1);
    EXPECT_TRUE(desktop.boxes.isEmpty());
    EXPECT_EQ(selectAllCleared, 1);
}

TEST_F(FileAdmissionTest, AnUnopenableFileIsAdmittedAsCodecNotSupportedInRed)
{
    const QString p = path(QStringLiteral("file.mp")); // ".mp" occurs in the admitted list
    ASSERT_TRUE(writeFile(p, noise(3000)));
    ASSERT_EQ(add(p), 1);
    const filelist::FileListRow& row = list.at(0);
    // No length to show, and the engine's reason as the status's tooltip.
    EXPECT_EQ(list.cell(0, filelist::FileList::Duration).toString(), QString());
    EXPECT_FALSE(list.statusReason(0).isEmpty());
    EXPECT_EQ(row.state, kUnsupported);
    EXPECT_EQ(row.FileSize, QStringLiteral("2.93 KB"));
    EXPECT_EQ(list.textColor(0, filelist::FileList::Status), std::optional<quint32>(0xB50808));
    EXPECT_EQ(list.textColor(0, filelist::FileList::Duration), std::optional<quint32>(0xB50808));
    EXPECT_FALSE(list.textColor(0, filelist::FileList::FilePath).has_value());
    EXPECT_FALSE(list.textColor(0, filelist::FileList::FileSize).has_value());
    EXPECT_EQ(wmaChecks, 1); // the probe runs for every file that fails to open
    EXPECT_TRUE(desktop.boxes.isEmpty());
}

TEST_F(FileAdmissionTest, DamagedFilesEndAsCodecNotSupportedWithoutACrash)
{
    ASSERT_TRUE(writeFile(path(QStringLiteral("empty.flac")), {}));
    ASSERT_TRUE(writeFile(path(QStringLiteral("header-only.wav")), readFile(media("tone2_5.wav")).left(20)));
    ASSERT_TRUE(writeFile(path(QStringLiteral("noise.ogg")), noise(50000)));
    ASSERT_TRUE(writeFile(path(QStringLiteral("noise.mp3")), noise(50000)));
    ASSERT_TRUE(writeFile(path(QStringLiteral("noise.avi")), noise(50000)));

    for (const QString& name : {QStringLiteral("empty.flac"), QStringLiteral("header-only.wav"),
                                QStringLiteral("noise.ogg"), QStringLiteral("noise.avi")}) {
        ASSERT_EQ(add(path(name)), 1) << qPrintable(name);
        EXPECT_EQ(list.at(list.count() - 1).state, kUnsupported) << qPrintable(name);
    }
    EXPECT_EQ(list.at(0).FileSize, QStringLiteral("0 Bytes"));
    // An MP3 decoder resynchronises on anything: whatever it makes of noise,
    // the file is admitted with one of the two statuses.
    ASSERT_EQ(add(path(QStringLiteral("noise.mp3"))), 1);
    const filelist::RowState status = list.at(list.count() - 1).state;
    EXPECT_TRUE(status == kWaiting || status == kUnsupported);
    EXPECT_TRUE(desktop.boxes.isEmpty());
}

TEST_F(FileAdmissionTest, CdTracksAreSizedAsCdTrackInAnyCase)
{
    QString missing = path(QStringLiteral("Track01.cda"));
    ASSERT_EQ(add(missing), 1);
    const QString upper = path(QStringLiteral("TRACK02.CDA"));
    ASSERT_TRUE(writeFile(upper, noise(44)));
    ASSERT_EQ(add(QString(upper)), 1);
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(list.cell(r, filelist::FileList::FileSize).toString(), QStringLiteral("CD Track"));
        EXPECT_EQ(list.at(r).state, kUnsupported);
    }
}

TEST_F(FileAdmissionTest, DoubledSlashesAreRepairedInTheCallersPathUnlessItBeginsWithTwo)
{
    copyOf("tone2_5.wav", QStringLiteral("a.wav"));
    QString doubled = dir.path() + QStringLiteral("//a.wav");
    ASSERT_EQ(admission.AddFile2Grid(doubled), 1);
    EXPECT_EQ(doubled, path(QStringLiteral("a.wav")));
    EXPECT_EQ(list.at(0).path, doubled);

    // A path beginning with "//" is kept exactly, later doubled slashes too.
    QString network = QStringLiteral("/") + dir.path() + QStringLiteral("//a.wav");
    const QString given = network;
    ASSERT_EQ(admission.AddFile2Grid(network), 1);
    EXPECT_EQ(network, given);
    EXPECT_EQ(list.at(1).path, given);
}

TEST_F(FileAdmissionTest, UnusualNamesAreAdmittedAsTheyStand)
{
    const QStringList names{QStringLiteral("with space.wav"),
                            QStringLiteral("quote ' and \" and $(touch x) and `id`.wav"),
                            QStringLiteral("-leading dash.wav"), QString::fromUtf8("Ünïcødé 音楽 музыка.wav"),
                            QString(196, u'n') + QStringLiteral(".wav")};
    for (const QString& name : names) {
        const QString p = copyOf("tone2_5.wav", name);
        ASSERT_EQ(add(p), 1) << qPrintable(name);
        EXPECT_EQ(list.at(list.count() - 1).path, p);
        EXPECT_EQ(list.at(list.count() - 1).state, kWaiting) << qPrintable(name);
    }
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("x"))));
}

TEST_F(FileAdmissionTest, FilesThatCannotBeReadShowTheAddingErrorAndLeaveTheListUnchanged)
{
    copyOf("tone2_5.wav", QStringLiteral("a.wav"));
    ASSERT_EQ(add(path(QStringLiteral("a.wav"))), 1);
    ASSERT_TRUE(QFile::link(path(QStringLiteral("gone.wav")), path(QStringLiteral("dangling.wav"))));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("folder.mp3")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path(QStringLiteral("pipe.wav"))).constData(), 0600), 0);
    const QString tooLong = dir.path() + u'/' + QString(4100, u'd') + QStringLiteral(".wav");

    const QList<std::pair<QString, QString>> cases{
        {path(QStringLiteral("dangling.wav")), QStringLiteral("2:No such file or directory")},
        {path(QStringLiteral("missing.wav")), QStringLiteral("2:No such file or directory")},
        {path(QStringLiteral("folder.mp3")), QStringLiteral("21:Is a directory")},
        {path(QStringLiteral("pipe.wav")), QStringLiteral("22:Not a regular file")},
        {tooLong, QStringLiteral("36:File name too long")},
    };
    for (const auto& [p, line] : cases) {
        desktop.boxes.clear();
        EXPECT_EQ(add(p), 0) << qPrintable(line);
        ASSERT_EQ(desktop.boxes.size(), 1);
        const Box& box = desktop.boxes.front();
        EXPECT_EQ(box.text, QStringLiteral("An error occured while Adding File\n") + line);
        EXPECT_EQ(box.title, QStringLiteral("Tonemill"));
        EXPECT_EQ(box.icon, platform::Desktop::Icon::Critical);
        EXPECT_EQ(box.buttons, platform::Desktop::Buttons::Ok);
    }
    EXPECT_EQ(list.count(), 1);
    EXPECT_EQ(selectAllCleared, 1);
}

TEST_F(FileAdmissionTest, AFolderThatCannotBeSearchedShowsTheAddingError)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the super-user";
    const QString locked = path(QStringLiteral("locked"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("locked")));
    ASSERT_TRUE(s_media.copy(QStringLiteral("tone2_5.wav"), locked + QStringLiteral("/a.wav")));
    ASSERT_EQ(::chmod(QFile::encodeName(locked).constData(), 0), 0);
    EXPECT_EQ(add(locked + QStringLiteral("/a.wav")), 0);
    ::chmod(QFile::encodeName(locked).constData(), 0700);
    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_TRUE(desktop.boxes.front().text.endsWith(QStringLiteral("\n13:Permission denied")));
}

TEST_F(FileAdmissionTest, AFullListRefusesANewFileWithTheAddingError)
{
    for (int i = 0; i < filelist::FileList::kMaxRows; ++i) {
        filelist::FileListRow row;
        row.path = QString::number(i);
        ASSERT_TRUE(list.append(row));
    }
    const QString a = copyOf("tone2_5.wav", QStringLiteral("a.wav"));
    EXPECT_EQ(add(a), 0);
    EXPECT_EQ(list.count(), filelist::FileList::kMaxRows);
    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_TRUE(desktop.boxes.front().text.startsWith(QStringLiteral("An error occured while Adding File\n75:")));

    // A duplicate is still refused silently.
    desktop.boxes.clear();
    EXPECT_EQ(add(QStringLiteral("7")), 0);
    EXPECT_TRUE(desktop.boxes.isEmpty());
}

class WmaPromptTest : public FileAdmissionTest {
protected:
    void SetUp() override
    {
        FileAdmissionTest::SetUp();
        wmaSupported = false;
        admission.setWmaRemedies([this] { ++downloads; }, [this] { ++siteOpenings; });
        broken = path(QStringLiteral("broken.wma"));
        ASSERT_TRUE(writeFile(broken, noise(4000)));
    }
    static QString promptText()
    {
        return QStringLiteral(
            "Your System does not support Windows Media Audio Encoding. To Support it, you have to do one of the "
            "following\nClick Yes to download and install Windows Media Format (~3.9 MB).\nClick No to open Microsoft "
            "Media Player web site to download and install Media Player Version 9.0 or later.\nClick Cancel to "
            "manaully "
            "install it by yourself.");
    }
    void expectRowAdmittedAsUnsupported()
    {
        ASSERT_EQ(list.count(), 1);
        EXPECT_EQ(list.cell(0, filelist::FileList::Duration).toString(), QString());
        EXPECT_EQ(list.at(0).state, kUnsupported);
    }

    QString broken;
    int downloads = 0;
    int siteOpenings = 0;
};

TEST_F(WmaPromptTest, CancelOnlyClosesThePrompt)
{
    desktop.answers = {platform::Desktop::Answer::Cancel};
    ASSERT_EQ(add(broken), 1);
    ASSERT_EQ(desktop.boxes.size(), 1);
    EXPECT_EQ(desktop.boxes[0].text, promptText());
    EXPECT_EQ(desktop.boxes[0].icon, platform::Desktop::Icon::Critical);
    EXPECT_EQ(desktop.boxes[0].buttons, platform::Desktop::Buttons::YesNoCancel);
    EXPECT_EQ(desktop.boxes[0].title, QStringLiteral("Tonemill"));
    EXPECT_EQ(downloads + siteOpenings, 0);
    expectRowAdmittedAsUnsupported();
}

TEST_F(WmaPromptTest, YesAndNoShowTheRestartNoticeThenTheirRemedy)
{
    desktop.answers = {platform::Desktop::Answer::Yes};
    ASSERT_EQ(add(broken), 1);
    ASSERT_EQ(desktop.boxes.size(), 2);
    EXPECT_EQ(desktop.boxes[1].text, QStringLiteral("You have to restart Tonemill after installing"));
    EXPECT_EQ(desktop.boxes[1].icon, platform::Desktop::Icon::Information);
    EXPECT_EQ(desktop.boxes[1].buttons, platform::Desktop::Buttons::Ok);
    EXPECT_EQ(downloads, 1);
    EXPECT_EQ(siteOpenings, 0);
    expectRowAdmittedAsUnsupported();

    desktop.boxes.clear();
    desktop.answers = {platform::Desktop::Answer::No};
    const QString other = path(QStringLiteral("broken.ASF"));
    ASSERT_TRUE(writeFile(other, noise(4000)));
    ASSERT_EQ(add(QString(other)), 1);
    ASSERT_EQ(desktop.boxes.size(), 2);
    EXPECT_EQ(desktop.boxes[1].text, QStringLiteral("You have to restart Tonemill after installing"));
    EXPECT_EQ(siteOpenings, 1);
    EXPECT_EQ(downloads, 1);
}

TEST_F(WmaPromptTest, OnlyWindowsMediaNamesAskAndOnlyWithoutWmaSupport)
{
    const QString notWma = path(QStringLiteral("broken.ogg"));
    ASSERT_TRUE(writeFile(notWma, noise(4000)));
    ASSERT_EQ(add(QString(notWma)), 1);
    EXPECT_TRUE(desktop.boxes.isEmpty());
    EXPECT_EQ(wmaChecks, 1);

    wmaSupported = true;
    ASSERT_EQ(add(broken), 1);
    EXPECT_TRUE(desktop.boxes.isEmpty());
    EXPECT_EQ(wmaChecks, 2);

    // Each failing Windows Media file asks once.
    wmaSupported = false;
    desktop.answers = {platform::Desktop::Answer::Cancel, platform::Desktop::Answer::Cancel};
    for (const char* name : {"one.wmv", "two.wma"}) {
        ASSERT_TRUE(writeFile(path(QLatin1String(name)), noise(100)));
        ASSERT_EQ(add(path(QLatin1String(name))), 1);
    }
    EXPECT_EQ(desktop.boxes.size(), 2);
}

} // namespace
