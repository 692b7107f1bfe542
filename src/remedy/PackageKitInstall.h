#pragma once

#include "remedy/TransferJob.h"

#include <QDBusConnection>
#include <QPointer>
#include <QStringList>

class QDBusPendingCallWatcher;

namespace remedy {

//! Installs packages by name through the desktop's package installer:
//! PackageKit's session service on the session bus (`InstallPackageNames` of
//! its `Modify` interface), which asks the user, downloads and installs in
//! its own windows and answers when it is done.
class PackageKitInstall : public TransferJob {
    Q_OBJECT
public:
    enum class Outcome {
        Running,
        Installed,   //!< the installer reported success
        Refused,     //!< the installer answered with an error (declined, not found, failed)
        Unavailable, //!< no installer answers on this bus
        Cancelled,   //!< the user stopped waiting for it
    };

    static constexpr const char* kService = "org.freedesktop.PackageKit";
    static constexpr const char* kPath = "/org/freedesktop/PackageKit";
    static constexpr const char* kInterface = "org.freedesktop.PackageKit.Modify";
    static constexpr const char* kMethod = "InstallPackageNames";

    PackageKitInstall(QDBusConnection bus, QStringList packages, QObject* parent = nullptr);

    //! Whether an installer is running on `bus` or can be started by it.
    static bool isAvailable(const QDBusConnection& bus);

    void start() override;
    //! Stops waiting; the installer's own windows stay the user's to close.
    void cancel() override;

    Outcome outcome() const { return m_outcome; }
    //! The installer's error, for the diagnostics log.
    QString errorString() const { return m_error; }

private:
    void answered(QDBusPendingCallWatcher* watcher);
    void end(Outcome outcome);

    QDBusConnection m_bus;
    QStringList m_packages;
    QPointer<QDBusPendingCallWatcher> m_watcher;
    Outcome m_outcome = Outcome::Running;
    QString m_error;
};

} // namespace remedy
