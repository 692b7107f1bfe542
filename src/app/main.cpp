#include "cli/CommandLine.h"

#include <cstdio>

// Chooses the front end: any argument means the command line, none the window.
int main(int argc, char* argv[])
{
    if (cli::wantsCommandLine(argc, argv))
        return cli::run(argc, argv);
    std::fputs("tonemill: the window is not available in this build yet\n", stderr);
    return 1;
}
