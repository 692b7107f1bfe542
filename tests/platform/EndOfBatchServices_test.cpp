// What the desktop does for the end of a batch and of the program: the
// power-off countdown, the notification, SIGTERM as an event and the
// deadline behind a stop that a signal asked for.

#include "platform/DesktopNotification.h"
#include "platform/PowerOffCountdownDialog.h"
#include "platform/StopDeadline.h"
#include "platform/TerminationSignal.h"
#include "support/PrivateSessionBus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

//! Answers, as the desktop's notification service, by recording what it got.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")
public:
    QStringList received;
public Q_SLOTS:
    uint Notify(const QString& app, uint, const QString&, const QString& title, const QString& text, const QStringList&,
                const QVariantMap&, int)
    {
        received << app + u'|' + title + u'|' + text;
        return 1;
    }
};

bool waitFor(const std::function<bool()>& done)
{
    QElapsedTimer waited;
    waited.start();
    while (!done() && waited.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

} // namespace

TEST(PowerOffCountdown, CancelKeepsTheMachineOnPowerOffNowAndTheEndOfTheCountDoNot)
{
    const QString text = QStringLiteral("Off in %1 s.");
    const struct {
        const char* press; // the button pressed, or none: let it run out
        int seconds;
        int result;
    } cases[] = {{"cmdCancelPowerOff", 60, QDialog::Rejected},
                 {"cmdPowerOffNow", 60, QDialog::Accepted},
                 {nullptr, 1, QDialog::Accepted}};
    for (const auto& c : cases) {
        platform::PowerOffCountdownDialog countdown(text, QStringLiteral("Now"), QStringLiteral("No"), c.seconds);
        EXPECT_EQ(countdown.findChild<QLabel*>(QStringLiteral("lblPowerOffCountdown"))->text(), text.arg(c.seconds));
        EXPECT_TRUE(countdown.cancelButton()->isDefault()); // Enter by chance does not power off
        if (c.press)
            QTimer::singleShot(0, countdown.findChild<QPushButton*>(QLatin1String(c.press)), &QPushButton::click);
        EXPECT_EQ(countdown.exec(), c.result) << (c.press ? c.press : "ran out");
    }
}

TEST(DesktopNotification, ReachesTheNotificationServiceOfTheSession)
{
    testsupport::PrivateSessionBus bus;
    ASSERT_TRUE(bus.isRunning());
    qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address().toUtf8());
    FakeNotifications service;
    QDBusConnection serviceSide = bus.connect(QStringLiteral("notifications"));
    ASSERT_TRUE(serviceSide.registerService(QStringLiteral("org.freedesktop.Notifications")));
    ASSERT_TRUE(serviceSide.registerObject(QStringLiteral("/org/freedesktop/Notifications"), &service,
                                           QDBusConnection::ExportAllSlots));

    ASSERT_TRUE(
        platform::SendDesktopNotification(QStringLiteral("Conversion finished"), QStringLiteral("3 converted")));
    ASSERT_TRUE(waitFor([&] { return !service.received.isEmpty(); }));
    EXPECT_EQ(service.received, QStringList{QStringLiteral("Tonemill|Conversion finished|3 converted")});
}

TEST(TerminationSignal, SigtermBecomesAnEvent)
{
    platform::TerminationSignal termination;
    QSignalSpy requested(&termination, &platform::TerminationSignal::terminationRequested);
    ASSERT_EQ(::raise(SIGTERM), 0); // handled: the process goes on
    EXPECT_TRUE(waitFor([&] { return requested.count() == 1; }));
}

TEST(StopDeadline, AProcessThatDoesNotEndAfterTheFirstSignalIsEndedWithItsCode)
{
    struct Case {
        const char* what;
        bool hangs;     //!< the stop never unwinds
        int exitStatus; //!< how the child ends
    };
    const Case cases[] = {{"a stop that hangs", true, 128 + SIGTERM}, {"a stop that unwinds", false, 0}};
    for (const Case& c : cases) {
        int ends[2];
        ASSERT_EQ(::pipe(ends), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(ends[0]);
            {
                const platform::StopDeadline deadline(std::chrono::milliseconds(200), [&ends] {
                    [[maybe_unused]] const ssize_t told = ::write(ends[1], "x", 1); // the unfinished outputs go
                });
                struct sigaction action {};
                action.sa_handler = [](int signal) { platform::StopDeadline::arm(signal); };
                ::sigaction(SIGTERM, &action, nullptr);
                ::raise(SIGTERM);
                std::this_thread::sleep_for(std::chrono::milliseconds(c.hangs ? 60000 : 50));
            }
            ::_exit(0);
        }
        ::close(ends[1]);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        char told = 0;
        const bool hookRan = ::read(ends[0], &told, 1) == 1;
        ::close(ends[0]);
        EXPECT_TRUE(WIFEXITED(status)) << c.what;
        EXPECT_EQ(WEXITSTATUS(status), c.exitStatus) << c.what;
        EXPECT_EQ(hookRan, c.hangs) << c.what;
    }
}

#include "EndOfBatchServices_test.moc"
