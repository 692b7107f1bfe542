#pragma once

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QString>

//! The program folder: where Lang/, the settings store, the error log and the
//! encoders beside the program are looked for. TONEMILL_HOME overrides the
//! executable's own folder.
inline QString programFolder()
{
    const QString home = qEnvironmentVariable("TONEMILL_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(home);
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(QLatin1Char('/'), 0, -2);
}
