#include "app/QtFrontEnd.h"

#include "app/MainWindow.h"
#include "cli/CommandLine.h"
#include "cli/ConsoleText.h"
#include "convert/OutputFile.h"
#include "disc/DiscTrackOpening.h"
#include "engine/SoundServerName.h"
#include "platform/FileSystem.h"
#include "platform/QtDesktop.h"
#include "platform/StopDeadline.h"
#include "platform/TerminationSignal.h"
#include "player/PlayerPanel.h"
#include "player/QtMprisService.h"

#include <QApplication>
#include <QDBusConnection>

namespace app {

int runWindow(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tonemill"));
    QApplication::setOrganizationName(QStringLiteral("Tonemill"));
    // The menu entry's name: the desktop shows the window with its icon and name.
    QApplication::setDesktopFileName(QStringLiteral("tonemill"));

    // The desktop's sound settings list the player as the program itself.
    engine::NameSoundServerClient("Tonemill", "tonemill");
    // The list's rows may be tracks of sheets and discs.
    disc::InstallTrackOpener();

    platform::QtDesktop desktop;
    MainWindow window(desktop);
    desktop.setWindow(&window);

    // An engine that cannot start ends the program before any window shows.
    if (!window.Form_Load())
        return 1;

    // A session that ends, or SIGTERM: a running batch is stopped (its rows
    // keep what they made under stopped-at names) and the options saved.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window, [&window] { window.endSession(false); });
    platform::TerminationSignal termination;
    // The last resort: a window that has not closed a second after SIGTERM
    // (a read that never returns) ends at once, without its unfinished outputs.
    const platform::StopDeadline deadline(std::chrono::seconds(1), [] { convert::OutputFile::removeUnfinished(); });
    QObject::connect(&termination, &platform::TerminationSignal::terminationRequested, &window,
                     [&window] { window.endSession(true); });

    // The desktop's media keys and media controls reach the player.
    player::QtMprisService mpris(*window.playerPanel, QDBusConnection::sessionBus());
    QObject::connect(&mpris, &player::QtMprisService::raiseRequested, &window, [&window] {
        window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
        window.raise();
        window.activateWindow();
    });

    window.restoreWindowPlace();
    window.show();
    // Files handed over on the command line ("Open with") are admitted as a
    // drop on the grid would admit them, once the window is up to show any
    // refusal over it.
    // From argv, which QApplication left without its own options: the bytes
    // of a name that is not UTF-8 are kept.
    QStringList files = cli::windowFiles(cli::commandArguments(argc, argv, 0));
    for (QString& file : files)
        file = platform::absolutePath(file);
    if (!files.isEmpty())
        window.addFiles(files);
    return QApplication::exec();
}

} // namespace app
