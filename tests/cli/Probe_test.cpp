#include "support/CommandTest.h"
#include "support/Fixtures.h"
#include "support/SuiteMedia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using testsupport::writeFile;
using ProbeRun = testsupport::TonemillResult;

// The probe runs the built program with its own program folder (holding a
// copy of Lang/), its own settings folder and a fixed locale, without a display.
class ProbeTest : public testsupport::CommandTest {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_TRUE(s_media.open());
        ASSERT_TRUE(
            testsupport::makeTone(s_media.filePath(QStringLiteral("tone.wav")), 2.0, 8000, 1,
                                  {QStringLiteral("-c:a"), QStringLiteral("pcm_s16le"), QStringLiteral("-bitexact")}));
        ASSERT_TRUE(testsupport::makeTone(s_media.filePath(QStringLiteral("tone.flac")), 61.0, 8000, 1));
    }
    static void TearDownTestSuite() { s_media.close(); }

    QString tone(const char* name, const QString& to) const
    {
        EXPECT_TRUE(s_media.copy(QLatin1String(name), path(to))) << qPrintable(to);
        return path(to);
    }

    ProbeRun probe(const QStringList& paths) const
    {
        return tonemill.run(QStringList{QStringLiteral("probe")} + paths);
    }

    static inline testsupport::SuiteMedia s_media;
};

TEST_F(ProbeTest, AFolderOfGoodFilesPrintsOneLinePerRowAndExitsZero)
{
    const QString a = tone("tone.wav", QStringLiteral("a.wav"));
    const QString b = tone("tone.flac", QStringLiteral(".hidden.flac"));
    ASSERT_TRUE(QDir(work.path()).mkdir(QStringLiteral("sub")));
    tone("tone.wav", QStringLiteral("sub/inner.wav")); // sub-folders are not entered

    const ProbeRun run = probe({work.path()});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    EXPECT_TRUE(run.err.isEmpty()) << run.err.constData();
    const QList<QByteArray> lines = run.lines();
    ASSERT_EQ(lines.size(), 2) << run.out.constData();
    for (const QByteArray& line : lines) {
        if (line.startsWith(a.toUtf8())) {
            EXPECT_EQ(line, (a + QStringLiteral("\t00:02\t31.29 KB\tWaiting Conversion")).toUtf8());
        } else {
            EXPECT_TRUE(line.startsWith((b + QStringLiteral("\t01:01\t")).toUtf8()) &&
                        line.endsWith("\tWaiting Conversion"))
                << line.constData();
        }
    }
}

TEST_F(ProbeTest, EachRefusedPathIsNamedWithItsReason)
{
    tone("tone.wav", QStringLiteral("good.wav"));
    ASSERT_TRUE(writeFile(work.filePath(QStringLiteral("readme.txt")), "text"));
    ASSERT_TRUE(writeFile(work.filePath(QStringLiteral("noise.ogg")), QByteArray(3000, 'z')));
    ASSERT_TRUE(writeFile(work.filePath(QStringLiteral("empty.mp3")), {}));
    ASSERT_TRUE(QFile::link(work.filePath(QStringLiteral("gone.wav")), work.filePath(QStringLiteral("dangling.wav"))));

    // The folder's text file is passed over; good.wav given again is in the
    // list already; the dangling link given (a folder scan passes over it)
    // is missing, which fails the run.
    const ProbeRun run = probe({work.path(), QStringLiteral("dangling.wav"), QStringLiteral("good.wav")});
    EXPECT_EQ(run.exitCode, 1);
    const QByteArray folder = QFile::encodeName(work.path());
    EXPECT_EQ(run.err.split('\n'), (QList<QByteArray>{"refused: not audio: " + folder + "/readme.txt",
                                                      "refused: missing: " + folder + "/dangling.wav",
                                                      "refused: already in the list: " + folder + "/good.wav", ""}))
        << run.err.constData();

    QMap<QByteArray, QByteArray> statusOf;
    for (const QByteArray& line : run.lines()) {
        const QList<QByteArray> cells = line.split('\t');
        ASSERT_EQ(cells.size(), 4) << line.constData();
        statusOf[cells[0].mid(cells[0].lastIndexOf('/') + 1)] = cells[3];
        if (cells[3] == "Codec Not Supported") {
            EXPECT_EQ(cells[1], "Error");
        }
    }
    EXPECT_EQ(statusOf.size(), 3);
    EXPECT_EQ(statusOf.value("good.wav"), "Waiting Conversion");
    EXPECT_EQ(statusOf.value("noise.ogg"), "Codec Not Supported");
    EXPECT_EQ(statusOf.value("empty.mp3"), "Codec Not Supported");

    // Without the missing link, the text file and the second good.wav do not fail it.
    EXPECT_EQ(probe({work.path() + QStringLiteral("/good.wav"), QStringLiteral("good.wav")}).exitCode, 0);
}

TEST_F(ProbeTest, JsonGivesNumbersAndTheTotals)
{
    const QString a = tone("tone.wav", QStringLiteral("a.wav"));
    ASSERT_TRUE(writeFile(work.filePath(QStringLiteral("cover.jpg")), "jpeg"));
    const ProbeRun run = probe({QStringLiteral("--json"), QStringLiteral("--name-pattern={title}"), work.path()});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    const QByteArray size = QByteArray::number(QFileInfo(a).size());
    EXPECT_EQ(run.lines(), (QList<QByteArray>{
                               "{\"input\":\"" + a.toUtf8() +
                                   "\",\"status\":\"Waiting Conversion\",\"seconds\":2,\"bytes\":" + size +
                                   ",\"cd_track\":false,\"output_name\":\"a\"}",
                               "{\"input\":\"" + work.filePath(QStringLiteral("cover.jpg")).toUtf8() +
                                   "\",\"output\":null,\"status\":\"Refused\",\"reason\":\"not audio\"}",
                               "{\"totals\":{\"schema\":1,\"rows\":1,\"refused\":1,\"files_as_tracks\":0,\"seconds\":2,"
                               "\"bytes\":" +
                                   size + "}}"}))
        << run.out.constData();
}

TEST_F(ProbeTest, ArgumentsUsageAndPathsThatLookLikeOptions)
{
    EXPECT_EQ(probe({}).exitCode, 2);
    const ProbeRun unknown = probe({QStringLiteral("-x.wav")});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_TRUE(unknown.err.contains("'--'")) << unknown.err.constData();
    EXPECT_TRUE(unknown.out.isEmpty());

    tone("tone.wav", QStringLiteral("-x.wav"));
    const ProbeRun dashed = probe({QStringLiteral("--"), QStringLiteral("-x.wav")});
    EXPECT_EQ(dashed.exitCode, 0) << dashed.err.constData();
    EXPECT_EQ(
        dashed.out,
        (work.filePath(QStringLiteral("-x.wav")) + QStringLiteral("\t00:02\t31.29 KB\tWaiting Conversion\n")).toUtf8());
}

TEST_F(ProbeTest, KeepTreeAndNamePatternShowTheOutputsNameInAFifthField)
{
    ASSERT_TRUE(QDir(work.path()).mkpath(QStringLiteral("lib/Disc 1")));
    tone("tone.wav", QStringLiteral("lib/top.wav"));
    ASSERT_TRUE(testsupport::makeTone(work.filePath(QStringLiteral("lib/Disc 1/t.flac")), 0.2, 8000, 1,
                                      {QStringLiteral("-metadata"), QStringLiteral("title=Hi/There"),
                                       QStringLiteral("-metadata"), QStringLiteral("track=7")}));
    // A doubled slash in the folder is repaired in the place kept as in the paths.
    for (const QString& folder : {QStringLiteral("lib"), work.path() + QStringLiteral("//lib//")}) {
        const ProbeRun run =
            tonemill.run({QStringLiteral("probe"), QStringLiteral("--recursive"), QStringLiteral("--keep-tree"),
                          QStringLiteral("--name-pattern"), QStringLiteral("{track:02} {title}"), folder});
        EXPECT_EQ(run.exitCode, 0) << run.err.constData();
        ASSERT_EQ(run.lines().size(), 2) << run.out.constData();
        EXPECT_TRUE(run.lines()[0].endsWith("\tWaiting Conversion\ttop")) << run.lines()[0].constData();
        EXPECT_TRUE(run.lines()[1].endsWith("\tWaiting Conversion\tDisc 1/07 Hi_There")) << run.lines()[1].constData();
    }

    const ProbeRun refused =
        tonemill.run({QStringLiteral("probe"), QStringLiteral("--name-pattern={nope}"), QStringLiteral("lib")});
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.err.contains("unknown field: {nope}")) << refused.err.constData();
}

TEST_F(ProbeTest, NamesAreNeverInterpretedAndControlCharactersAreEscaped)
{
    const QString odd = QStringLiteral("$(touch pwned) `touch pwned2` 'q\" ü 音.wav");
    tone("tone.wav", odd);
    // A real tab, a backslash, and a backslash followed by "t": each reads back as it was.
    const QString names[] = {QStringLiteral("tab\there.wav"), QStringLiteral("back\\slash.wav"),
                             QStringLiteral("not\\tab.wav")};
    const char* const printed[] = {"/tab\\there.wav\t", "/back\\\\slash.wav\t", "/not\\\\tab.wav\t"};
    for (const QString& name : names)
        tone("tone.wav", name);
    const ProbeRun run = probe({odd, names[0], names[1], names[2]});
    EXPECT_EQ(run.exitCode, 0) << run.err.constData();
    const QList<QByteArray> lines = run.lines();
    ASSERT_EQ(lines.size(), 4);
    EXPECT_TRUE(lines[0].startsWith((work.filePath(odd) + u'\t').toUtf8())) << lines[0].constData();
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(lines[i + 1].startsWith(work.path().toUtf8() + printed[i])) << lines[i + 1].constData();
    EXPECT_FALSE(QFile::exists(work.filePath(QStringLiteral("pwned"))));
    EXPECT_FALSE(QFile::exists(work.filePath(QStringLiteral("pwned2"))));
}

TEST_F(ProbeTest, AnEmptyFolderSaysSoAndCountsAsNotAdmitted)
{
    ASSERT_TRUE(QDir(work.path()).mkdir(QStringLiteral("only-folders")));
    ASSERT_TRUE(QDir(work.path()).mkpath(QStringLiteral("only-folders/sub")));
    const ProbeRun run = probe({QStringLiteral("only-folders")});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "Selected Folder is empty.\n");
    EXPECT_TRUE(run.out.isEmpty());
}

// Messages for a person follow the remembered language; the fields that
// scripts read stay English.
TEST_F(ProbeTest, MessagesFollowTheRememberedLanguageAndFieldsStayEnglish)
{
    ASSERT_TRUE(writeFile(tonemill.programFolder() + QStringLiteral("/Lang/Test.ini"),
                          "[Tonemill]\n20007=En attente\n20013=Erreur\n20015=Codec inconnu\n"
                          "30003=Dossier vide\n"));
    ASSERT_TRUE(QDir(work.path()).mkdir(QStringLiteral("empty")));
    ASSERT_TRUE(QDir(tonemill.configFolder()).mkpath(QStringLiteral("Tonemill")));
    ASSERT_TRUE(
        writeFile(tonemill.configFolder() + QStringLiteral("/Tonemill/Tonemill.conf"), "[Language]\nName=Test.ini\n"));
    tone("tone.wav", QStringLiteral("a.wav"));
    ASSERT_TRUE(writeFile(work.filePath(QStringLiteral("bad.ogg")), QByteArray(100, 'b')));
    ASSERT_TRUE(writeFile(work.filePath(QStringLiteral("c.txt")), "x"));

    const ProbeRun run =
        probe({QStringLiteral("a.wav"), QStringLiteral("bad.ogg"), QStringLiteral("c.txt"), QStringLiteral("empty")});
    EXPECT_EQ(run.exitCode, 1);
    const QList<QByteArray> lines = run.lines();
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].endsWith("\tWaiting Conversion")) << lines[0].constData();
    EXPECT_TRUE(lines[1].endsWith("\tError\t100 Bytes\tCodec Not Supported")) << lines[1].constData();
    EXPECT_EQ(run.err, "refused: not audio: " + work.filePath(QStringLiteral("c.txt")).toUtf8() + "\nDossier vide\n");
}

TEST_F(ProbeTest, TheWmaPromptIsAnsweredCancelAndTheFileStillAdmitted)
{
    ASSERT_TRUE(writeFile(work.filePath(QStringLiteral("broken.wma")), QByteArray(2000, 'w')));
    const QByteArray row =
        (work.filePath(QStringLiteral("broken.wma")) + QStringLiteral("\tError\t1.95 KB\tCodec Not Supported\n"))
            .toUtf8();

    // A program folder where nothing can be written has no say in WMA support.
    ASSERT_TRUE(QDir(tonemill.programFolder()).mkdir(QStringLiteral("CheckWMASupport.wma")));
    ProbeRun run = probe({QStringLiteral("broken.wma")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.err.isEmpty()) << run.err.constData();
    EXPECT_EQ(run.out, row);

    tonemill.setVariable(QStringLiteral("TONEMILL_NO_WMA_ENCODER"), QStringLiteral("1"));
    run = probe({QStringLiteral("broken.wma")});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(run.err.startsWith("Your System does not support Windows Media Audio Encoding."))
        << run.err.constData();
    EXPECT_TRUE(run.err.endsWith("Click Cancel to manaully install it by yourself.\n")) << run.err.constData();
    EXPECT_FALSE(run.err.contains("restart"));
    EXPECT_EQ(run.out, row);
}

} // namespace
