#include "cli/CommandLine.h"

#include "cli/CommandHelp.h"
#include "cli/CommandOptions.h"
#include "cli/ConsoleText.h"
#include "cli/ConvertCommand.h"
#include "cli/NearestNames.h"
#include "cli/ProbeCommand.h"
#include "disc/DiscTrackOpening.h"

#include <QString>
#include <QStringList>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace cli {

namespace {

constexpr int kUsageError = 2;

// What --version says after the version: who holds the copyright and the licence.
const char* const kLicence = "Copyright (C) 2026 Korvane\n"
                             "License GPL-3.0-or-later: GNU GPL version 3 or later "
                             "<https://gnu.org/licenses/gpl.html>.\n"
                             "This is free software: you are free to change and redistribute it.\n"
                             "There is NO WARRANTY, to the extent permitted by law.\n";

bool isHelp(const char* argument)
{
    return std::strcmp(argument, "--help") == 0 || std::strcmp(argument, "-h") == 0;
}

std::optional<Command> commandNamed(const char* word)
{
    if (std::strcmp(word, "probe") == 0)
        return Command::Probe;
    if (std::strcmp(word, "convert") == 0)
        return Command::Convert;
    return std::nullopt;
}

bool exists(const char* path)
{
    struct stat st {};
    return ::stat(path, &st) == 0;
}

//! Whether the window has a screen to open on: an X or Wayland display, or a
//! Qt platform chosen by name (offscreen, vnc, ...).
bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

//! Whether the words ask for the window: none, files that exist, or any
//! words after a leading "--".
bool asksForWindow(int argc, char* argv[])
{
    if (argc < 2 || std::strcmp(argv[1], "--") == 0)
        return true;
    return argv[1][0] != '-' && !commandNamed(argv[1]) && exists(argv[1]);
}

int runCommand(Command command, int argc, char* argv[])
{
    const char* name = command == Command::Probe ? "probe" : "convert";
    QString error;
    const std::optional<CommandArguments> arguments =
        CommandArguments::parse(command, commandArguments(argc, argv, 2), error);
    if (arguments && arguments->help) {
        writeUtf8(stdout, commandHelp(command));
        return 0;
    }
    if (!arguments) {
        writeUtf8(stderr, QStringLiteral("tonemill %1: %2\n").arg(QLatin1String(name), error));
        return kUsageError;
    }
    return command == Command::Probe ? runProbeCommand(argc, argv, *arguments)
                                     : runConvertCommand(argc, argv, *arguments);
}

} // namespace

bool wantsCommandLine(int argc, char* argv[])
{
    return !asksForWindow(argc, argv) || !hasDisplay();
}

QStringList windowFiles(const QStringList& arguments)
{
    QStringList files = arguments.mid(1);
    if (!files.isEmpty() && files.first() == QLatin1String("--"))
        files.removeFirst();
    return files;
}

int run(int argc, char* argv[])
{
    if (asksForWindow(argc, argv)) {
        std::fputs("tonemill: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not\n"
                   "set); the commands need none: see 'tonemill --help'\n",
                   stderr);
        return kUsageError;
    }
    if (const std::optional<Command> command = commandNamed(argv[1])) {
        disc::InstallTrackOpener(); // the rows may be tracks of sheets and discs
        return runCommand(*command, argc, argv);
    }
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (isHelp(argv[i])) {
            writeUtf8(stdout, programHelp());
            return 0;
        }
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("tonemill %s\n%s", TONEMILL_VERSION, kLicence);
        return 0;
    }
    const QString first = commandArguments(argc, argv, 1).first();
    const QString problem =
        first.startsWith(u'-')
            ? QStringLiteral("unknown option '%1'%2")
                  .arg(first, didYouMean(first, {QStringLiteral("--help"), QStringLiteral("--version")}))
            : QStringLiteral("'%1' is neither a command nor a file%2")
                  .arg(first, didYouMean(first, {QStringLiteral("probe"), QStringLiteral("convert"),
                                                 QStringLiteral("--help")}));
    writeUtf8(stderr, QStringLiteral("tonemill: %1; see 'tonemill --help'\n").arg(problem));
    return kUsageError;
}

} // namespace cli
