#include "settings/CRegister.h"

#include "platform/ProgramFolder.h"
#include "settings/HiveStore.h"

namespace settings {

namespace {

// The store's own name for a value: "*" (and "") is the unnamed value.
QString valueName(const QString& name)
{
    return name == QLatin1String("*") ? QString() : name;
}

} // namespace

CRegister::CRegister() : CRegister(platform::programPlaces().settingsFolder) {}

CRegister::CRegister(QString hiveFolder) : m_hiveFolder(std::move(hiveFolder)) {}

QString CRegister::hivePath(RegistryRoot root) const
{
    QString name;
    switch (root) {
    case RegistryRoot::LocalMachine:
        name = QStringLiteral("HKEY_LOCAL_MACHINE");
        break;
    }
    return m_hiveFolder + QLatin1Char('/') + name + QLatin1String(".db");
}

QString CRegister::TrimSectionPath(const QString& section)
{
    QString path = section;
    if (path.startsWith(QLatin1Char('\\')))
        path.remove(0, 1);
    if (path.endsWith(QLatin1Char('\\')))
        path.chop(1);
    return path;
}

QString CRegister::REGGetSetting(RegistryRoot root, const QString& section, const QString& name,
                                 const QString& fallback) const
{
    const auto keyPath = HiveStore::splitKeyPath(TrimSectionPath(section));
    if (!keyPath)
        return fallback;
    QString result = fallback;
    HiveStore hive(hivePath(root));
    // A store that cannot be read leaves `result` the fallback, which is the answer then.
    static_cast<void>(hive.read([&](HiveStore& store) {
        const auto data = store.value(*keyPath, valueName(name));
        if (data && !data->isEmpty())
            result = QString::fromUtf8(*data);
        return true;
    }));
    return result;
}

bool CRegister::REGSaveSetting(RegistryRoot root, const QString& section, const QString& name,
                               const QString& value) const
{
    return saveValues(root, section, {{name, value}});
}

QHash<QString, QString> CRegister::readValues(RegistryRoot root, const QString& section, const QStringList& names,
                                              bool* busy, qint64 maxBytes, QStringList* tooLong) const
{
    QHash<QString, QString> result;
    const auto keyPath = HiveStore::splitKeyPath(TrimSectionPath(section));
    if (!keyPath)
        return result;
    HiveStore hive(hivePath(root));
    // A store that cannot be read gives no values; `busy` tells the caller why.
    static_cast<void>(hive.read([&](HiveStore& store) {
        result.clear();
        if (tooLong)
            tooLong->clear();
        for (const QString& name : names) {
            bool overLong = false;
            const auto data = store.value(*keyPath, valueName(name), maxBytes, &overLong);
            if (data && !data->isEmpty())
                result.insert(name, QString::fromUtf8(*data));
            if (overLong && tooLong)
                tooLong->append(name);
        }
        return true;
    }));
    if (busy)
        *busy = hive.busy();
    return result;
}

bool CRegister::saveValues(RegistryRoot root, const QString& section, const QList<std::pair<QString, QString>>& values,
                           bool* busy, bool briefly) const
{
    if (busy)
        *busy = false;
    const auto keyPath = HiveStore::splitKeyPath(TrimSectionPath(section));
    if (!keyPath)
        return false;
    HiveStore hive(hivePath(root));
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

bool CRegister::REGDeleteSetting(RegistryRoot root, const QString& section, const QString& name) const
{
    HiveStore hive(hivePath(root));
    if (name.isEmpty()) {
        // The key itself: its path is taken as given, without trimming.
        const auto keyPath = HiveStore::splitKeyPath(section);
        return keyPath && hive.write(false, [&](HiveStore& store) { return store.deleteKey(*keyPath); });
    }
    const auto keyPath = HiveStore::splitKeyPath(TrimSectionPath(section));
    return keyPath && hive.write(false, [&](HiveStore& store) { return store.deleteValue(*keyPath, valueName(name)); });
}

} // namespace settings
