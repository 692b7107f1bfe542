#include "cli/CommandLine.h"

#include "settings/CRegister.h"
#include "settings/Settings.h"
#include "cli/ConsoleDesktop.h"
#include "cli/ConvertCommand.h"
#include "cli/DecodingEngine.h"
#include "cli/ProbeCommand.h"
#include "engine/Bass.h"
#include "lang/LanguageChoice.h"
#include "lang/StringLookup.h"
#include "options/FormatOptions.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <cstdio>

namespace cli {

namespace {

constexpr int kUsageError = 2;

const char* const kUsage =
    "Usage: tonemill [COMMAND] [OPTIONS]\n"
    "\n"
    "With no arguments, opens the Tonemill window.\n"
    "\n"
    "Commands:\n"
    "  probe [--option NAME=VALUE]... [--] PATH...\n"
    "                     admit files (and the files of folders) as the window would\n"
    "                     and print FilePath, Duration, FileSize, Status per row,\n"
    "                     separated by tabs; exit 0 when every path was admitted,\n"
    "                     1 when any was refused or failed (paths that begin with\n"
    "                     '-' go after '--')\n"
    "  convert [--format wav|wma|mp3|ogg|flac|opus|m4a] [--output DIR | --same-folder]\n"
    "          [--option NAME=VALUE]... PATH...\n"
    "                     convert the admitted files with the saved settings\n"
    "\n"
    "Options:\n"
    "  --option NAME=VALUE  set one saved option by its value name and stored form\n"
    "                     (such as optFileFormat=3) for this run only\n"
    "  --help             print this help and exit\n"
    "  --version          print the version and exit\n";

//! Takes the `--option NAME=VALUE` (or `--option=NAME=VALUE`) arguments before
//! a "--" out of `arguments` into `assignments`; false with a message in
//! `error` when one lacks its value.
bool takeSettingOverrides(QStringList& arguments, QStringList& assignments, QString& error)
{
    const QString option = QStringLiteral("--option");
    for (qsizetype i = 0; i < arguments.size();) {
        const QString argument = arguments.at(i);
        if (argument == QLatin1String("--"))
            break;
        if (argument == option) {
            if (i + 1 >= arguments.size()) {
                error = QStringLiteral("--option needs NAME=VALUE");
                return false;
            }
            assignments << arguments.at(i + 1);
            arguments.remove(i, 2);
        } else if (argument.startsWith(option + u'=')) {
            assignments << argument.mid(option.size() + 1);
            arguments.remove(i);
        } else {
            ++i;
        }
    }
    return true;
}

//! `probe`: the application object (no display), the language the user
//! chose, the engine without an output device, then the probe itself.
int runProbeCommand(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Tonemill"));
    QCoreApplication::setOrganizationName(QStringLiteral("Tonemill"));
    lang::sLanguageFile = lang::rememberedLanguageFile();

    QStringList arguments = QCoreApplication::arguments();
    arguments.erase(arguments.begin(), arguments.begin() + 2); // the program and "probe"

    // The saved options, loaded as the window loads them (with its write-backs)
    // and never saved; --option changes one of them for this run only.
    QStringList assignments;
    QString error;
    if (!takeSettingOverrides(arguments, assignments, error)) {
        std::fprintf(stderr, "tonemill probe: %s\n", error.toUtf8().constData());
        return kUsageError;
    }
    options::FormatOptions formatOptions;
    if (!loadSettingsForRun(formatOptions, CRegister(), assignments, &error)) {
        std::fprintf(stderr, "tonemill probe: %s\n", error.toUtf8().constData());
        return kUsageError;
    }

    if (!InitDecodingEngine()) {
        std::fprintf(stderr, "tonemill: the audio engine could not start\n");
        return 1;
    }
    ConsoleDesktop desktop(stderr);
    const int status = runProbe(arguments, stdout, stderr, desktop);
    BASS_Free();
    return status;
}

} // namespace

bool wantsCommandLine(int argc, char* /*argv*/[])
{
    return argc > 1;
}

int run(int argc, char* argv[])
{
    const QString first = QString::fromLocal8Bit(argv[1]);
    if (first == QLatin1String("--version")) {
        std::printf("tonemill %s\n", TONEMILL_VERSION);
        return 0;
    }
    if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (first == QLatin1String("probe"))
        return runProbeCommand(argc, argv);
    if (first == QLatin1String("convert"))
        return runConvertCommand(argc, argv);
    std::fprintf(stderr, "tonemill: unknown command '%s'\n\n%s", argv[1], kUsage);
    return kUsageError;
}

} // namespace cli
