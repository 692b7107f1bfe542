#include "cli/CommandHelp.h"

namespace cli {

QString programHelp()
{
    return QStringLiteral("Usage: tonemill [COMMAND] [OPTIONS]\n"
                          "       tonemill [--] [FILE]...\n"
                          "\n"
                          "With no command, opens the Tonemill window, with the FILEs added to its\n"
                          "list as if they had been dropped on it. A first word that is neither a\n"
                          "command nor an existing file is a usage error; without a display the\n"
                          "window cannot open, and only the commands work.\n"
                          "\n"
                          "Commands:\n"
                          "  probe              admit files (and the files of folders) as the window would\n"
                          "                     and print FilePath, Duration, FileSize, Status per row\n"
                          "  convert            convert the admitted files with the saved options, changed\n"
                          "                     for this run by the options given, and print one line per\n"
                          "                     row: FilePath, the output kept, Status and its reason\n"
                          "\n"
                          "'tonemill COMMAND --help' describes a command, its options and its exit status.\n"
                          "\n"
                          "Options:\n"
                          "  -h, --help         print this help and exit\n"
                          "  --version          print the version and exit\n");
}

QString commandHelp(Command command)
{
    if (command == Command::Probe)
        return QStringLiteral("Usage: tonemill probe [OPTIONS] [--] PATH...\n"
                              "\n"
                              "Admits files (and the files of folders) as the window would and prints\n"
                              "FilePath, Duration, FileSize and Status of each row, separated by tabs; with\n"
                              "--keep-tree, --tree-root or --name-pattern a fifth field, the name the output\n"
                              "would get inside the output folder. Each path refused gets a line on standard\n"
                              "error with its reason ('refused: not audio: PATH'). Paths that begin with '-'\n"
                              "go after '--'.\n") +
               optionHelp(command) +
               QStringLiteral("\n"
                              "Exit status: 0 when every path was admitted, but for files that are not audio\n"
                              "found in a folder or a list and paths given twice; 1 when a path was missing,\n"
                              "unreadable, outside the tree root or named and not audio, or a folder was\n"
                              "empty; 2 on a usage error.\n");
    return QStringLiteral("Usage: tonemill convert [OPTIONS] [--] PATH...\n"
                          "       tonemill convert --list-options [OPTIONS]\n"
                          "\n"
                          "Converts the files (and the files of folders) with the saved options, changed\n"
                          "for this run by the options given, and prints each row's result: FilePath,\n"
                          "the output kept, Status and the reason it ended so, separated by tabs (a tab,\n"
                          "line end or backslash inside a field is written as \\t, \\n, \\r or \\\\). The\n"
                          "status words are English whatever language the window uses: Complete,\n"
                          "Skipped, Cancelled, Error, Codec Not Supported, Waiting Conversion (a row an\n"
                          "interrupted run never reached). Each path refused gets a line on standard\n"
                          "error with its reason: not audio, missing, unreadable, already in the list,\n"
                          "taken as a sheet's track, outside the tree root ('refused: not audio:\n"
                          "PATH'); with --json a row whose status is Refused. The PATH '-' converts\n"
                          "standard input (its outputs are named stdin).\n") +
           optionHelp(command) +
           QStringLiteral("\n"
                          "Exit status: 0 when every row ended Complete or Skipped; files that are not\n"
                          "audio found in a folder or a list (covers, logs, playlists), paths given twice\n"
                          "and the audio of a CUE sheet's tracks are refused without failing the run. 1\n"
                          "when a path was missing, unreadable, outside the tree root or named and not\n"
                          "audio, or a row failed or was stopped; 2 on a usage error (a --tree-root that\n"
                          "is not there too); 130 when Ctrl+C (SIGINT) interrupted the run. SIGTERM and\n"
                          "SIGHUP stop it the same way, with 143 and 129.\n");
}

} // namespace cli
