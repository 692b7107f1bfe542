#include "platform/DesktopNotification.h"

#include "platform/LogCategories.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
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
    QDBusInterface service(QStringLiteral("org.freedesktop.Notifications"),
                           QStringLiteral("/org/freedesktop/Notifications"),
                           QStringLiteral("org.freedesktop.Notifications"), bus);
    if (!service.isValid())
        return false;
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("tonemill"));
    const QDBusReply<uint> reply =
        service.call(QStringLiteral("Notify"), QStringLiteral("Tonemill"), uint(0), QStringLiteral("tonemill"), title,
                     text, QStringList(), hints, kShownMs);
    if (!reply.isValid())
        qCInfo(lcPlatform, "The desktop did not take the notification: %s", qUtf8Printable(reply.error().message()));
    return reply.isValid();
}

} // namespace platform
