#include "app/QtFrontEnd.h"

#include "app/MainWindow.h"
#include "cli/CommandLine.h"
#include "platform/QtDesktop.h"

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

    // A session that ends while a batch runs: stop the batch first.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window, [&window] { window.close(); });

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
