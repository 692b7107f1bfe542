#include "platform/PowerOff.h"

#include "platform/LogCategories.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>
#include <QProcess>
#include <QtGlobal>

namespace platform {

namespace {

constexpr int kCommandTimeoutMs = 60000;

bool PowerOffThroughLoginManager()
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return false;
    QDBusInterface manager(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                           QStringLiteral("org.freedesktop.login1.Manager"), bus);
    if (!manager.isValid())
        return false;
    const QDBusReply<void> reply = manager.call(QStringLiteral("PowerOff"), false); // interactive = false
    if (!reply.isValid())
        qCInfo(lcPlatform, "The login manager refused to power off: %s", qUtf8Printable(reply.error().message()));
    return reply.isValid();
}

} // namespace

bool RunPowerOffCommand(const QString& command)
{
    QStringList arguments = QProcess::splitCommand(command);
    if (arguments.isEmpty())
        return false;
    QProcess process;
    process.setProgram(arguments.takeFirst());
    process.setArguments(arguments);
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.start();
    if (!process.waitForStarted() || !process.waitForFinished(kCommandTimeoutMs))
        return false;
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

bool RequestPowerOff()
{
    if (qEnvironmentVariableIsSet(kPowerOffCommandVariable))
        return RunPowerOffCommand(qEnvironmentVariable(kPowerOffCommandVariable));
    return PowerOffThroughLoginManager();
}

} // namespace platform
