#include "disc/DiscTrackOpening.h"

#include <QApplication>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// Every test runs inside a QApplication on the offscreen platform, so widget
// and event-loop code behaves as in the program without a display.
int main(int argc, char* argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // A cache of their own (the stored loudness analyses): the tests neither
    // read what the user's runs kept nor leave anything there.
    QTemporaryDir cache;
    qputenv("XDG_CACHE_HOME", cache.path().toUtf8());
    // As each front end does: tracks of sheets and discs open as files do.
    disc::InstallTrackOpener();
    ::testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
