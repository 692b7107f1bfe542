#include "cli/CommandLine.h"

#include <QCoreApplication>
#include <QString>

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
    "  probe PATH...      admit files (and the files of folders) as the window would\n"
    "                     and print FilePath, Duration, FileSize, Status per row\n"
    "  convert [--format wav|wma|mp3|ogg] [--output DIR | --same-folder]\n"
    "          [--option NAME=VALUE]... PATH...\n"
    "                     convert the admitted files with the saved settings\n"
    "\n"
    "Options:\n"
    "  --help             print this help and exit\n"
    "  --version          print the version and exit\n";

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
    (void)argc;
    std::fprintf(stderr, "tonemill: unknown command '%s'\n\n%s", argv[1], kUsage);
    return kUsageError;
}

} // namespace cli
