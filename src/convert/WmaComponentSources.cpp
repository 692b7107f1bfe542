#include "convert/WmaComponentSources.h"

#include "settings/CRegister.h"

namespace convert {

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

} // namespace convert
