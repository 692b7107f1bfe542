#include "platform/UserSettings.h"

#include <QSettings>

namespace platform {

// The file is named explicitly so every part of the program reads the same
// one whatever the application object is called.

QVariant userValue(const QString& key)
{
    const QSettings settings(QSettings::UserScope, QStringLiteral("Tonemill"), QStringLiteral("Tonemill"));
    return settings.value(key);
}

void setUserValue(const QString& key, const QVariant& value)
{
    QSettings settings(QSettings::UserScope, QStringLiteral("Tonemill"), QStringLiteral("Tonemill"));
    settings.setValue(key, value);
}

} // namespace platform
