#include "settings/CRegister.h"

#include "platform/ProgramFolder.h"
#include "settings/HiveStore.h"

namespace {

// The store's own name for a value: "*" (and "") is the unnamed value.
QString valueName(const QString& sKey)
{
    return sKey == QLatin1String("*") ? QString() : sKey;
}

} // namespace

CRegister::CRegister() : CRegister(programFolder() + QLatin1String("/settings")) {}

CRegister::CRegister(QString hiveFolder) : m_hiveFolder(std::move(hiveFolder)) {}

QString CRegister::hivePath(RegistryRoot regHKEY) const
{
    QString name;
    switch (regHKEY) {
    case RegistryRoot::LocalMachine:
        name = QStringLiteral("HKEY_LOCAL_MACHINE");
        break;
    }
    return m_hiveFolder + QLatin1Char('/') + name + QLatin1String(".db");
}

QString CRegister::TrimSectionPath(const QString& sSection)
{
    QString path = sSection;
    if (path.startsWith(QLatin1Char('\\')))
        path.remove(0, 1);
    if (path.endsWith(QLatin1Char('\\')))
        path.chop(1);
    return path;
}

QString CRegister::REGGetSetting(RegistryRoot regHKEY, const QString& sSection, const QString& sKey,
                                 const QString& sDefault) const
{
    const auto keyPath = HiveStore::splitKeyPath(TrimSectionPath(sSection));
    if (!keyPath)
        return sDefault;
    QString result = sDefault;
    HiveStore hive(hivePath(regHKEY));
    hive.read([&](HiveStore& store) {
        const auto data = store.value(*keyPath, valueName(sKey));
        if (data && !data->isEmpty())
            result = QString::fromUtf8(*data);
        return true;
    });
    return result;
}

bool CRegister::REGSaveSetting(RegistryRoot regHKEY, const QString& sSection, const QString& sKey,
                               const QString& sValue) const
{
    return saveValues(regHKEY, sSection, {{sKey, sValue}});
}

QHash<QString, QString> CRegister::readValues(RegistryRoot regHKEY, const QString& sSection, const QStringList& names,
                                              bool* busy) const
{
    QHash<QString, QString> result;
    const auto keyPath = HiveStore::splitKeyPath(TrimSectionPath(sSection));
    if (!keyPath)
        return result;
    HiveStore hive(hivePath(regHKEY));
    hive.read([&](HiveStore& store) {
        for (const QString& name : names) {
            const auto data = store.value(*keyPath, valueName(name));
            if (data && !data->isEmpty())
                result.insert(name, QString::fromUtf8(*data));
        }
        return true;
    });
    if (busy)
        *busy = hive.busy();
    return result;
}

bool CRegister::saveValues(RegistryRoot regHKEY, const QString& sSection,
                           const QList<std::pair<QString, QString>>& values, bool* busy, bool briefly) const
{
    if (busy)
        *busy = false;
    const auto keyPath = HiveStore::splitKeyPath(TrimSectionPath(sSection));
    if (!keyPath)
        return false;
    HiveStore hive(hivePath(regHKEY));
    const bool written = hive.write(
        true,
        [&](HiveStore& store) {
            for (const auto& [name, text] : values)
                if (!store.setValue(*keyPath, valueName(name), text.toUtf8()))
                    return false;
            return true;
        },
        briefly);
    if (busy)
        *busy = hive.busy();
    return written;
}

bool CRegister::REGDeleteSetting(RegistryRoot regHKEY, const QString& sSection, const QString& sKey) const
{
    HiveStore hive(hivePath(regHKEY));
    if (sKey.isEmpty()) {
        // The key itself: its path is taken as given, without trimming.
        const auto keyPath = HiveStore::splitKeyPath(sSection);
        return keyPath && hive.write(false, [&](HiveStore& store) { return store.deleteKey(*keyPath); });
    }
    const auto keyPath = HiveStore::splitKeyPath(TrimSectionPath(sSection));
    return keyPath && hive.write(false, [&](HiveStore& store) { return store.deleteValue(*keyPath, valueName(sKey)); });
}
