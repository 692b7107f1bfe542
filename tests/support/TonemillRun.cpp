#include "support/TonemillRun.h"

#include "support/Fixtures.h"

#include <QProcess>

namespace testsupport {

QList<QByteArray> TonemillResult::lines() const
{
    QList<QByteArray> result = out.split('\n');
    if (!result.isEmpty() && result.back().isEmpty())
        result.removeLast();
    return result;
}

TonemillRun::TonemillRun()
{
    m_valid = m_program.isValid() && m_config.isValid() && m_home.isValid() &&
              copyFolder(buildBinDir() + QStringLiteral("/Lang"), m_program.filePath(QStringLiteral("Lang")));
}

QString TonemillRun::program() const
{
    return buildBinDir() + QStringLiteral("/tonemill");
}

QProcessEnvironment TonemillRun::environment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // No display, no language but the fixed locale, and no state folder of the
    // user running the tests (the error log and the cache go under the
    // isolated home).
    for (const char* name :
         {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LANG", "LANGUAGE", "XDG_STATE_HOME", "XDG_CACHE_HOME"})
        env.remove(QLatin1String(name));
    env.insert(QStringLiteral("TONEMILL_HOME"), m_program.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_config.path());
    env.insert(QStringLiteral("HOME"), m_home.path());
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    for (auto it = m_extra.cbegin(); it != m_extra.cend(); ++it)
        env.insert(it.key(), it.value());
    return env;
}

void TonemillRun::start(QProcess& process, const QStringList& arguments) const
{
    process.setProcessEnvironment(environment());
    if (!m_workingFolder.isEmpty())
        process.setWorkingDirectory(m_workingFolder);
    process.start(program(), arguments);
}

TonemillResult TonemillRun::run(const QStringList& arguments) const
{
    QProcess process;
    start(process, arguments);
    return finish(process);
}

TonemillResult TonemillRun::finish(QProcess& process)
{
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

} // namespace testsupport
