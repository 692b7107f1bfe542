#include "cli/CommandOptions.h"
#include "cli/NearestNames.h"
#include "cli/OptionsFile.h"

#include <gtest/gtest.h>

using cli::Command;
using cli::CommandArguments;

namespace {

std::optional<CommandArguments> parse(Command command, const QStringList& words, QString& error)
{
    return CommandArguments::parse(command, words, error);
}

} // namespace

TEST(CommandOptions, ProbeAndConvertReadTheirSharedOptionsAlike)
{
    const QStringList words = {
        "--recursive", "--tree-root=lib", "--name-pattern", "{title}",     "--files-from",   "list", "-0",
        "--json",      "--quiet",         "--option",       "sliderOGG=5", "--options-from", "opts", "a.flac",
        "--",          "--recursive"};
    for (const Command command : {Command::Probe, Command::Convert}) {
        QString error;
        const std::optional<CommandArguments> a = parse(command, words, error);
        ASSERT_TRUE(a) << error.toStdString();
        EXPECT_TRUE(a->recursive && a->keepTree && a->nulSeparated && a->json && a->quiet);
        EXPECT_EQ(a->treeRoot, QStringLiteral("lib"));
        EXPECT_EQ(a->namePattern, QStringLiteral("{title}"));
        EXPECT_EQ(a->filesFrom, QStringList{"list"});
        EXPECT_EQ(a->assignments, QStringList{"sliderOGG=5"});
        EXPECT_EQ(a->optionFiles, QStringList{"opts"});
        EXPECT_EQ(a->paths, (QStringList{"a.flac", "--recursive"}));
    }
}

TEST(CommandOptions, EncoderFlagsKeepTheirOrderAndValuesThatLookLikeOptions)
{
    QString error;
    const std::optional<CommandArguments> a = parse(
        Command::Convert, {"--format", "OGG", "--quality", "-2", "--bitrate=192", "--normalize", "-16", "x"}, error);
    ASSERT_TRUE(a) << error.toStdString();
    EXPECT_EQ(a->format, 3);
    const std::vector<std::pair<QString, QString>> given = {{"--quality", "-2"}, {"--bitrate", "192"}};
    EXPECT_EQ(a->encoder.given, given);
    EXPECT_EQ(a->normalize, -16);
}

TEST(CommandOptions, HelpAnywhereBeforeTheEndOfOptionsWinsOverErrors)
{
    const struct {
        Command command;
        QStringList words;
        bool help;
    } cases[] = {
        {Command::Convert, {"--format", "mp3", "--help"}, true},
        {Command::Convert, {"--no-such", "x", "-h"}, true},
        {Command::Probe, {"a.wav", "--help"}, true},
        {Command::Probe, {"--", "--help"}, false},
        {Command::Convert, {"--name-pattern", "-h", "x"}, false}, // a value, not an option
    };
    for (const auto& c : cases) {
        QString error;
        const std::optional<CommandArguments> a = parse(c.command, c.words, error);
        EXPECT_EQ(a && a->help, c.help) << c.words.join(u' ').toStdString();
    }
}

TEST(CommandOptions, UsageErrorsSayWhatIsWrong)
{
    const struct {
        Command command;
        QStringList words;
        const char* error;
    } cases[] = {
        {Command::Convert, {"--bitrat", "192", "x"}, "unknown option '--bitrat' (did you mean --bitrate?)"},
        {Command::Convert, {"--loud", "x"}, "did you mean --loudness?"},
        {Command::Probe, {"--format", "mp3", "x"}, "unknown option '--format'"},
        {Command::Convert, {"--format", "aiff", "x"}, "unknown format 'aiff'"},
        {Command::Convert, {"--json=yes", "x"}, "--json takes no value"},
        {Command::Convert, {"--jobs", "0", "x"}, "--jobs needs a whole number of 1 or more"},
        {Command::Convert, {"--normalize=-50", "x"}, "from -40 to -5"},
        {Command::Convert, {"--quality"}, "--quality needs Q"},
        {Command::Convert, {}, "no PATH given"},
        {Command::Convert, {"--quiet", "--verbose", "x"}, "exclude each other"},
        {Command::Convert, {"-", "x"}, "'-' (standard input) must be the one input"},
        {Command::Convert, {"--output", "-", "--json", "x"}, "excludes --json"},
        {Command::Convert, {"--output", "-", "--tree-root", "/", "x"}, "--output - excludes"},
        {Command::Probe, {"-"}, "probe reads no audio from standard input"},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_FALSE(parse(c.command, c.words, error)) << c.words.join(u' ').toStdString();
        EXPECT_TRUE(error.contains(QLatin1String(c.error))) << error.toStdString();
    }
    // Nothing near: no guess.
    EXPECT_EQ(cli::didYouMean(QStringLiteral("--zzzzzzzz"), {"--json", "--jobs"}), QString());
    EXPECT_EQ(cli::didYouMean(QStringLiteral("conver"), {"probe", "convert"}),
              QStringLiteral(" (did you mean convert?)"));
}

TEST(CommandOptions, AnOptionsFileHoldsAssignmentsAndComments)
{
    QString error;
    EXPECT_EQ(cli::parseOptionsFile("# comment\r\nsliderOGG=5\r\n\n  # indented\ntxtOutPath=~/a=b\n", error),
              (QStringList{"sliderOGG=5", "txtOutPath=~/a=b"}));
    EXPECT_FALSE(cli::parseOptionsFile("sliderOGG=5\n=3\n", error));
    EXPECT_EQ(error, QStringLiteral("line 2 is not NAME=VALUE"));
}
