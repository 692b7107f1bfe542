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

QString rememberedLanguageFile()
{
    // Named explicitly so the command line and the window read the same file
    // whatever the application object is called.
    const QSettings settings(QSettings::UserScope, QStringLiteral("Tonemill"), QStringLiteral("Tonemill"));
    const QString name = settings.value(key()).toString();
    return name.isEmpty() ? QStringLiteral("English.ini") : name;
}

void rememberLanguageFile(const QString& fileName)
{
    QSettings settings(QSettings::UserScope, QStringLiteral("Tonemill"), QStringLiteral("Tonemill"));
    settings.setValue(key(), fileName);
}

} // namespace lang
