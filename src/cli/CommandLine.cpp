#include "cli/CommandLine.h"

#include "cli/CommandApplication.h"
#include "cli/ConsoleDesktop.h"
#include "cli/ConsoleText.h"
#include "cli/ConvertCommand.h"
#include "cli/ProbeCommand.h"
#include "engine/AudioEngine.h"
#include "engine/Bass.h"
#include "platform/FileName.h"
#include "settings/CRegister.h"
#include "settings/RunOptions.h"

#include <QString>
#include <QStringList>
#include <cstdio>
#include <cstring>

namespace cli {

namespace {

constexpr int kUsageError = 2;

const char* const kUsage = "Usage: tonemill [COMMAND] [OPTIONS]\n"
                           "       tonemill [--] [FILE]...\n"
                           "\n"
                           "With no command, opens the Tonemill window, with the FILEs added to its\n"
                           "list as if they had been dropped on it.\n"
                           "\n"
                           "Commands:\n"
                           "  probe [--recursive] [--keep-tree] [--tree-root DIR] [--name-pattern PATTERN]\n"
                           "        [--files-from FILE [-0]] [--option NAME=VALUE]... [--] PATH...\n"
                           "                     admit files (and the files of folders) as the window would\n"
                           "                     and print FilePath, Duration, FileSize, Status per row,\n"
                           "                     separated by tabs; exit 0 when every path was admitted,\n"
                           "                     1 when any was refused or failed (paths that begin with\n"
                           "                     '-' go after '--'); with --keep-tree or --name-pattern\n"
                           "                     a fifth field, the output's name inside the output folder\n"
                           "  convert [--format wav|wma|mp3|ogg|flac|opus|m4a] [--output DIR | --same-folder]\n"
                           "          [--recursive] [--keep-tree] [--tree-root DIR] [--name-pattern PATTERN]\n"
                           "          [--jobs N] [--skip-existing] [--json] [--files-from FILE [-0]]\n"
                           "          [--normalize LUFS] [--loudness] [--option NAME=VALUE]... [--] PATH...\n"
                           "                     convert the admitted files with the saved settings and\n"
                           "                     print one line per row: FilePath, the output file kept\n"
                           "                     (empty when none), Status and the reason it ended so\n"
                           "                     (the encoder's complaint, the system's error such as\n"
                           "                     'No space left on device', or 'input damaged at 04:12\n"
                           "                     of 10:00'; empty when there is none), separated by tabs;\n"
                           "                     see 'tonemill convert --help' for --json and exit codes\n"
                           "\n"
                           "  --recursive        a folder's sub-folders too (hidden and linked ones are\n"
                           "                     not entered); files come in natural name order\n"
                           "  --keep-tree        each output goes below the output folder at its input's\n"
                           "                     place inside the folder it was found in\n"
                           "  --tree-root DIR    files given one by one (by a list, say) that lie below DIR\n"
                           "                     count as found in DIR: their outputs keep their place in\n"
                           "                     its tree (implies --keep-tree)\n"
                           "  --name-pattern PATTERN  name outputs from tags, such as\n"
                           "                     '{artist}/{album}/{track:02} - {title}'; fields: artist,\n"
                           "                     album, albumartist, title, track, disc, year, date, genre,\n"
                           "                     composer; a file missing one keeps its own name\n"
                           "  --jobs N           convert up to N files at once (1 to the number of\n"
                           "                     processors; the saved choice when not given)\n"
                           "  --normalize LUFS   normalise the loudness of each output to LUFS (a whole\n"
                           "                     number from -40 to -5, such as -18), in a second pass\n"
                           "                     unless the file was measured before; by file, or by\n"
                           "                     album with --option optNormalizeAlbum=True\n"
                           "  --loudness         add a fifth field: the output's integrated loudness and\n"
                           "                     true peak ('-14.23 LUFS, -0.31 dBTP')\n"
                           "  --files-from FILE  also take the paths listed in FILE ('-': standard input),\n"
                           "                     one a line, or with -0 (--null) each ended by a NUL, as\n"
                           "                     'find -print0' writes them; bytes are kept as they are\n"
                           "\n"
                           "Options:\n"
                           "  --option NAME=VALUE  set one saved option by its value name and stored form\n"
                           "                     (such as optFileFormat=3) for this run only\n"
                           "  --help             print this help and exit\n"
                           "  --version          print the version and exit\n";

const char* const kProbeUsage = "Usage: tonemill probe [--recursive] [--keep-tree] [--tree-root DIR]\n"
                                "                      [--name-pattern PATTERN] [--files-from FILE [-0]]\n"
                                "                      [--option NAME=VALUE]... [--] PATH...\n"
                                "\n"
                                "Admits files (and the files of folders) as the window would and prints\n"
                                "FilePath, Duration, FileSize and Status of each row, separated by tabs.\n"
                                "Exits 0 when every path was admitted, 1 when any was refused or failed,\n"
                                "2 on a usage error. Paths that begin with '-' go after '--'.\n"
                                "\n"
                                "  --recursive          a folder's sub-folders too\n"
                                "  --keep-tree, --tree-root DIR, --name-pattern PATTERN  add a fifth field:\n"
                                "                       the name the output would get inside the output folder\n"
                                "  --files-from FILE    also the paths listed in FILE ('-': standard input),\n"
                                "                       one a line, or NUL-ended with -0\n"
                                "  --option NAME=VALUE  set one saved option by its value name and stored\n"
                                "                       form (such as optFileFormat=3) for this run only\n"
                                "  --help               print this help and exit\n";

const char* const kConvertUsage =
    "Usage: tonemill convert [--format wav|wma|mp3|ogg|flac|opus|m4a] [--output DIR | --same-folder]\n"
    "                        [--recursive] [--keep-tree] [--tree-root DIR] [--name-pattern PATTERN]\n"
    "                        [--jobs N] [--skip-existing] [--json] [--files-from FILE [-0]]\n"
    "                        [--normalize LUFS] [--loudness] [--option NAME=VALUE]... [--] PATH...\n"
    "\n"
    "Converts the admitted files with the saved options, printing each row's result:\n"
    "FilePath, the output kept, Status and its reason, separated by tabs. The status\n"
    "words are English whatever language the window uses: Complete, Skipped,\n"
    "Cancelled, Error, Codec Not Supported, Waiting Conversion (a row an interrupted\n"
    "run never reached).\n"
    "\n"
    "  --format FORMAT      the output format for this run\n"
    "  --output DIR         write every output into DIR\n"
    "  --same-folder        write each output beside its input\n"
    "  --recursive          a folder's sub-folders too\n"
    "  --keep-tree          mirror each added folder's tree below the output folder\n"
    "  --tree-root DIR      files given one by one that lie below DIR keep their\n"
    "                       place in its tree (implies --keep-tree)\n"
    "  --name-pattern PATTERN  name outputs from tags, such as\n"
    "                       '{artist}/{album}/{track:02} - {title}'\n"
    "  --jobs N             convert up to N files at once (at most the processors)\n"
    "  --skip-existing      pass over a file whose output name (after --name-pattern\n"
    "                       and --keep-tree) already holds a complete output: the\n"
    "                       chosen format, as long as the input within a frame,\n"
    "                       and its last second decodes; the row reads Skipped.\n"
    "                       A run started again after an\n"
    "                       interruption so finishes without duplicates\n"
    "  --json               print one JSON object per row instead: input, output,\n"
    "                       status, reason (null when none), seconds (audio\n"
    "                       converted), bytes (of the output), wall (seconds the row\n"
    "                       took), samples (in, in_rate, out, out_rate: the sample\n"
    "                       frames of input and output, each at its own rate); then\n"
    "                       {\"totals\": {...}}. Bytes of a name that are\n"
    "                       not UTF-8 are written as \\udc80 to \\udcff, as Python's\n"
    "                       surrogateescape reads them\n"
    "  --files-from FILE    also take the paths listed in FILE ('-': standard input),\n"
    "                       one a line; with -0 (--null) each ended by a NUL\n"
    "  --normalize LUFS     normalise each output's loudness to LUFS (-40 to -5)\n"
    "  --loudness           add a field: the output's loudness and true peak\n"
    "                       (\"loudness\" in JSON)\n"
    "  --option NAME=VALUE  set one saved option by its value name and stored\n"
    "                       form (such as SliderMP3VBR=2) for this run only\n"
    "  --help               print this help and exit\n"
    "\n"
    "Exit status: 0 when every path was admitted and every row ended Complete or\n"
    "Skipped; 1 when a path was refused or a row failed or was stopped; 2 on a usage\n"
    "error; 130 when Ctrl+C (SIGINT) interrupted the run. SIGTERM and SIGHUP stop it\n"
    "the same way, with 143 and 129.\n";

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
    CommandApplication app(argc, argv);

    QStringList arguments = commandArguments(argc, argv, 2); // after the program and "probe"

    // The saved options, loaded as the window loads them but never written;
    // --option changes one of them for this run only.
    QStringList assignments;
    QString error;
    if (!takeSettingOverrides(arguments, assignments, error)) {
        std::fprintf(stderr, "tonemill probe: %s\n", error.toUtf8().constData());
        return kUsageError;
    }
    ConsoleDesktop desktop(stderr);
    settings::RunOptions runOptions;
    if (!runOptions.load(settings::CRegister(), assignments, &error, &desktop)) {
        std::fprintf(stderr, "tonemill probe: %s\n", error.toUtf8().constData());
        return kUsageError;
    }

    if (!engine::InitDecodingEngine()) {
        std::fprintf(stderr, "tonemill: the audio engine could not start\n");
        return 1;
    }
    const int status = runProbe(arguments, stdout, stderr, desktop);
    BASS_Free();
    return status;
}

} // namespace

bool wantsCommandLine(int argc, char* argv[])
{
    if (argc < 2)
        return false;
    // A command, or an option ("--" starts the window's files); anything
    // else is a file for the window, as a desktop's "Open with" passes it.
    const char* first = argv[1];
    return std::strcmp(first, "probe") == 0 || std::strcmp(first, "convert") == 0 ||
           (first[0] == '-' && std::strcmp(first, "--") != 0);
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
    const QString first = platform::fromNativeName(QByteArray(argv[1]));
    if (first == QLatin1String("--version")) {
        std::printf("tonemill %s\n%s", TONEMILL_VERSION, kLicence);
        return 0;
    }
    if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    const bool wantsHelp = argc > 2 && isHelp(argv[2]);
    if (first == QLatin1String("probe")) {
        if (wantsHelp) {
            std::fputs(kProbeUsage, stdout);
            return 0;
        }
        return runProbeCommand(argc, argv);
    }
    if (first == QLatin1String("convert")) {
        if (wantsHelp) {
            std::fputs(kConvertUsage, stdout);
            return 0;
        }
        return runConvertCommand(argc, argv);
    }
    std::fprintf(stderr, "tonemill: unknown command '%s'\n\n%s", argv[1], kUsage);
    return kUsageError;
}

} // namespace cli
