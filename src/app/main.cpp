#include "app/QtFrontEnd.h"
#include "cli/CommandLine.h"

// Chooses the front end: any argument means the command line, none the window.
int main(int argc, char* argv[])
{
    if (cli::wantsCommandLine(argc, argv))
        return cli::run(argc, argv);
    return runWindow(argc, argv);
}
