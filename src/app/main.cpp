#include "app/QtFrontEnd.h"
#include "cli/CommandLine.h"

// Chooses the front end: a command or an option means the command line;
// nothing, or files, the window.
int main(int argc, char* argv[])
{
    if (cli::wantsCommandLine(argc, argv))
        return cli::run(argc, argv);
    return app::runWindow(argc, argv);
}
