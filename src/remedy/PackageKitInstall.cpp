#include "remedy/PackageKitInstall.h"

#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>

namespace remedy {

namespace {

// The installer asks the user and downloads before it answers: wait a day.
constexpr int kAnswerTimeoutMs = 24 * 60 * 60 * 1000;

// Errors that mean nobody on the bus offers the interface.
bool meansUnavailable(QDBusError::ErrorType type)
{
    switch (type) {
    case QDBusError::ServiceUnknown:
    case QDBusError::UnknownObject:
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownMethod:
    case QDBusError::Disconnected:
        return true;
    default:
        return false;
    }
}

} // namespace

PackageKitInstall::PackageKitInstall(QDBusConnection bus, QStringList packages, QObject* parent)
    : TransferJob(parent), m_bus(std::move(bus)), m_packages(std::move(packages))
{
}

bool PackageKitInstall::isAvailable(const QDBusConnection& bus)
{
    if (!bus.isConnected() || !bus.interface())
        return false;
    const QString service = QLatin1String(kService);
    if (bus.interface()->isServiceRegistered(service))
        return true;
    const QDBusReply<QStringList> activatable = bus.interface()->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(service);
}

void PackageKitInstall::start()
{
    if (m_outcome != Outcome::Running || m_watcher)
        return;
    if (!m_bus.isConnected()) {
        end(Outcome::Unavailable);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                                       QLatin1String(kInterface), QLatin1String(kMethod));
    // No window to attach to (0), the packages, and the installer's own
    // choice of what to ask and show (empty interaction).
    call << quint32(0) << m_packages << QString();
    m_watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, kAnswerTimeoutMs), this);
    connect(m_watcher, &QDBusPendingCallWatcher::finished, this, &PackageKitInstall::answered);
    Q_EMIT progressed(0, -1);
}

void PackageKitInstall::cancel()
{
    if (m_outcome == Outcome::Running)
        end(Outcome::Cancelled);
}

void PackageKitInstall::answered(QDBusPendingCallWatcher* watcher)
{
    if (watcher != m_watcher || m_outcome != Outcome::Running)
        return;
    const QDBusPendingReply<> reply = *watcher;
    if (reply.isError()) {
        m_error = reply.error().name() + QStringLiteral(": ") + reply.error().message();
        end(meansUnavailable(reply.error().type()) ? Outcome::Unavailable : Outcome::Refused);
        return;
    }
    end(Outcome::Installed);
}

void PackageKitInstall::end(Outcome outcome)
{
    m_outcome = outcome;
    if (m_watcher) {
        m_watcher->disconnect(this);
        m_watcher->deleteLater();
        m_watcher = nullptr;
    }
    markFinished();
}

} // namespace remedy
