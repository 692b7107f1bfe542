#include "app/QtFrontEnd.h"

#include "app/MainWindow.h"
#include "cli/CommandLine.h"
#include "platform/QtDesktop.h"
#include "platform/TerminationSignal.h"

#include <QApplication>
#include <QFileInfo>

namespace app {

int runWindow(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tonemill"));
    QApplication::setOrganizationName(QStringLiteral("Tonemill"));

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
    QObject::connect(&termination, &platform::TerminationSignal::terminationRequested, &window,
                     [&window] { window.endSession(true); });

    window.restoreWindowPlace();
    window.show();
    // Files handed over on the command line ("Open with") are admitted as a
    // drop on the grid would admit them, once the window is up to show any
    // refusal over it.
    QStringList files = cli::windowFiles(QApplication::arguments());
    for (QString& file : files)
        file = QFileInfo(file).absoluteFilePath();
    if (!files.isEmpty())
        window.addFiles(files);
    return app.exec();
}

} // namespace app
