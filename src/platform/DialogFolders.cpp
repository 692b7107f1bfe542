#include "platform/DialogFolders.h"

#include "platform/UserSettings.h"

#include <QDir>
#include <QFileInfo>

namespace platform {

namespace {

QString settingKey(const QString& key)
{
    return QStringLiteral("Dialogs/") + key;
}

} // namespace

QString DialogFolders::lastFolder(const QString& key)
{
    if (key.isEmpty())
        return {};
    const QString folder = userValue(settingKey(key)).toString();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QString();
}

QString DialogFolders::startFolder(const QString& key)
{
    const QString folder = lastFolder(key);
    return folder.isEmpty() ? QDir::homePath() : folder;
}

void DialogFolders::remember(const QString& key, const QString& folder)
{
    if (!key.isEmpty() && !folder.isEmpty())
        setUserValue(settingKey(key), QDir::cleanPath(folder));
}

} // namespace platform
