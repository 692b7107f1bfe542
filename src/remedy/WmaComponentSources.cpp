#include "remedy/WmaComponentSources.h"

#include "settings/CRegister.h"

#include <QStandardPaths>

namespace remedy {

const QString WmaComponentSources::kKey = QStringLiteral("Software\\Korvane Tonemill\\Downloads");

WmaComponentSources WmaComponentSources::load(const settings::CRegister& store)
{
    const auto stored = [&store](const char* name, const char* fallback) {
        return store.REGGetSetting(settings::HKEY_LOCAL_MACHINE, kKey, QLatin1String(name), QLatin1String(fallback))
            .trimmed();
    };
    WmaComponentSources sources;
    sources.package = stored(kPackageValue, kDefaultPackage);
    QString installer = stored(kInstallerValue, kDefaultInstallerUrl);
    if (!qEnvironmentVariableIsEmpty(kInstallerVariable))
        installer = qEnvironmentVariable(kInstallerVariable).trimmed();
    sources.installerUrl = QUrl(installer, QUrl::StrictMode);
    sources.playerPageUrl = QUrl(stored(kPlayerPageValue, kDefaultPlayerPageUrl), QUrl::StrictMode);
    return sources;
}

QString WmaComponentSources::installCommand(const QString& package, const ProgramFinder& hasProgram)
{
    const auto onPath = [&hasProgram](const QString& name) {
        return hasProgram ? hasProgram(name) : !QStandardPaths::findExecutable(name).isEmpty();
    };
    static const struct {
        const char* program;
        const char* command;
    } kTools[] = {
        {"apt-get", "sudo apt-get install %1"},
        {"dnf", "sudo dnf install %1"},
        {"zypper", "sudo zypper install %1"},
        {"pacman", "sudo pacman -S %1"},
    };
    for (const auto& tool : kTools)
        if (onPath(QLatin1String(tool.program)))
            return QLatin1String(tool.command).arg(package);
    return QLatin1String(kTools[0].command).arg(package);
}

} // namespace remedy
