#include "platform/DesktopNotification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QVariantMap>

namespace platform {

namespace {

// How long the notification stays, in milliseconds.
constexpr int kShownMs = 10000;

} // namespace

bool SendDesktopNotification(const QString& title, const QString& text)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage notify = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("tonemill"));
    notify << QStringLiteral("Tonemill") << uint(0) << QStringLiteral("tonemill") << title << text << QStringList()
           << hints << kShownMs;
    // Sent without waiting for the answer: a slow notification service must
    // never hold the window up.
    notify.setAutoStartService(false);
    return bus.send(notify);
}

} // namespace platform
