#include "cli/CommandLine.h"
#include "support/Fixtures.h"
#include "support/TonemillRun.h"

#include <gtest/gtest.h>

using testsupport::TonemillResult;

TEST(CommandLine, VersionAndHelpPrintWithoutADisplay)
{
    const testsupport::TonemillRun tonemill;
    ASSERT_TRUE(tonemill.isValid());
    const TonemillResult version = tonemill.run({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_TRUE(version.out.startsWith("tonemill ")) << version.out.constData();
    EXPECT_TRUE(version.out.contains("GPL-3.0-or-later")) << version.out.constData();

    const TonemillResult help = tonemill.run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.contains("probe")) << help.out.constData();
}

TEST(CommandLine, UnknownWordsAndNoDisplayAreUsageErrorsNeverTheWindow)
{
    const testsupport::TonemillRun tonemill;
    ASSERT_TRUE(tonemill.isValid());
    const QString existing = tonemill.programFolder() + QStringLiteral("/Lang/English.ini");
    // The runs have no display: the window is never what answers.
    const struct {
        QStringList arguments;
        const char* says;
    } cases[] = {
        {{"--no-such-flag"}, "unknown option '--no-such-flag'"},
        {{"conver", "x.wav"}, "'conver' is neither a command nor a file (did you mean convert?)"},
        {{"help"}, "(did you mean --help?)"},
        {{}, "no display to open the window on"},
        {{existing}, "no display to open the window on"},
        {{"--", "x.wav"}, "no display to open the window on"},
    };
    for (const auto& c : cases) {
        const TonemillResult r = tonemill.run(c.arguments);
        EXPECT_EQ(r.exitCode, 2) << c.arguments.join(u' ').toStdString() << r.err.constData();
        EXPECT_TRUE(r.err.contains(c.says)) << r.err.constData();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST(CommandLine, CommandsOptionsAndUnknownWordsGoToTheCommandLineAndFilesToTheWindow)
{
    qputenv("QT_QPA_PLATFORM", "offscreen"); // a display for the window
    const QString existing = testsupport::buildBinDir() + QStringLiteral("/Lang/English.ini");
    struct Case {
        QStringList arguments;
        bool commandLine;
    };
    const Case cases[] = {
        {{}, false},
        {{"probe", "a.mp3"}, true},
        {{"convert"}, true},
        {{"--help"}, true},
        {{"-h"}, true},
        {{"--version"}, true},
        {{"--no-such-flag"}, true}, // an unknown option is a usage error, not a file
        {{existing, "clip.mp4"}, false},
        {{"song.mp3"}, true}, // neither a command nor a file: a usage error
        {{"--", "-dash.mp3"}, false},
        {{"Probe"}, true}, // commands are lower case
    };
    for (const Case& c : cases) {
        QList<QByteArray> storage{"tonemill"};
        for (const QString& argument : c.arguments)
            storage << argument.toUtf8();
        std::vector<char*> argv;
        for (QByteArray& argument : storage)
            argv.push_back(argument.data());
        EXPECT_EQ(cli::wantsCommandLine(int(argv.size()), argv.data()), c.commandLine)
            << c.arguments.join(u' ').toStdString();
    }
    EXPECT_EQ(cli::windowFiles({"tonemill", "--", "-dash.mp3", "--"}), (QStringList{"-dash.mp3", "--"}));
    EXPECT_EQ(cli::windowFiles({"tonemill", "a.mp3"}), (QStringList{"a.mp3"}));
}

TEST(CommandLine, ProbeAndConvertPrintTheirOwnUsage)
{
    const testsupport::TonemillRun tonemill;
    ASSERT_TRUE(tonemill.isValid());
    const TonemillResult probe = tonemill.run({QStringLiteral("probe"), QStringLiteral("--help")});
    EXPECT_EQ(probe.exitCode, 0);
    EXPECT_TRUE(probe.out.startsWith("Usage: tonemill probe")) << probe.out.constData();

    // Anywhere before "--", after other options and mistakes too.
    const TonemillResult convert =
        tonemill.run({QStringLiteral("convert"), QStringLiteral("--format"), QStringLiteral("mp3"),
                      QStringLiteral("--no-such"), QStringLiteral("-h")});
    EXPECT_EQ(convert.exitCode, 0);
    EXPECT_TRUE(convert.out.startsWith("Usage: tonemill convert")) << convert.out.constData();
    EXPECT_TRUE(convert.out.contains("--same-folder"));

    // The usage, the help page and the desktop entry name every output format.
    const QByteArray formats = "wav|wma|mp3|ogg|flac|opus|m4a";
    EXPECT_TRUE(convert.out.contains("--format " + formats)) << convert.out.constData();
    const QByteArray page = testsupport::readFile(testsupport::sourceDir() + QStringLiteral("/data/Help.html"));
    EXPECT_TRUE(page.contains("--format " + formats));
    const QByteArray entry =
        testsupport::readFile(testsupport::sourceDir() + QStringLiteral("/data/tonemill.desktop.in"));
    for (const char* name : {"WAV", "WMA", "MP3", "OGG", "FLAC", "Opus", "AAC"}) {
        EXPECT_TRUE(page.contains(QByteArray("<td>") + name + "</td>")) << name;
        EXPECT_TRUE(entry.contains(name)) << name;
    }
}
