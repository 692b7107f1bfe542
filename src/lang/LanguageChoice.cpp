#include "lang/LanguageChoice.h"

#include <QSettings>

namespace lang {

namespace {

const QString& key()
{
    static const QString k = QStringLiteral("Language/Name");
    return k;
}

} // namespace

QString storedLanguageFile()
{
    // Named explicitly so the command line and the window read the same file
    // whatever the application object is called. A file that cannot be read
    // or parsed gives no value.
    const QSettings settings(QSettings::UserScope, QStringLiteral("Tonemill"), QStringLiteral("Tonemill"));
    return settings.value(key()).toString();
}

QString rememberedLanguageFile()
{
    const QString name = storedLanguageFile();
    return name.isEmpty() ? defaultLanguageFile() : name;
}

QString defaultLanguageFile()
{
    return QStringLiteral("English.ini");
}

void rememberLanguageFile(const QString& fileName)
{
    QSettings settings(QSettings::UserScope, QStringLiteral("Tonemill"), QStringLiteral("Tonemill"));
    settings.setValue(key(), fileName);
}

} // namespace lang
