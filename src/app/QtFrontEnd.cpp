#include "app/QtFrontEnd.h"

#include "app/MainWindow.h"
#include "platform/QtDesktop.h"

#include <QApplication>

int runWindow(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tonemill"));
    QApplication::setOrganizationName(QStringLiteral("Tonemill"));

    QtDesktop desktop;
    frmMain window(desktop);
    desktop.setWindow(&window);

    // An engine that cannot start ends the program before any window shows.
    if (!window.Form_Load())
        return 1;

    // A session that ends while a batch runs: stop the batch first.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &window, [&window] { window.close(); });

    window.show();
    return app.exec();
}
