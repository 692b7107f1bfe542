#include "platform/ProgramFolder.h"

#include "platform/FileSystem.h"
#include "platform/Path.h"

#include <QCoreApplication>
#include <QDir>

// The install's program and state folders, full paths fixed when the build
// is configured (cmake/Install.cmake); only this file sees them.
#ifndef TONEMILL_INSTALLED_PROGRAM_FOLDER
#error "TONEMILL_INSTALLED_PROGRAM_FOLDER must name the installed program folder"
#endif
#ifndef TONEMILL_INSTALLED_STATE_FOLDER
#error "TONEMILL_INSTALLED_STATE_FOLDER must name the installed state folder"
#endif

namespace platform {

namespace {

QString executableFolder()
{
    // The executable's own folder, its bytes kept (Qt's applicationDirPath()
    // decodes them as UTF-8).
    const QString executable = canonicalPath(QStringLiteral("/proc/self/exe"));
    if (!executable.isEmpty())
        return Path(executable).parent().toString();
    return QCoreApplication::applicationDirPath();
}

//! The folder with its links resolved when it exists (/lib may be a link to
//! /usr/lib), else as written.
QString resolved(const QString& folder)
{
    const QString canonical = canonicalPath(folder);
    return canonical.isEmpty() ? QDir::cleanPath(folder) : canonical;
}

} // namespace

QString programFolder()
{
    const QString home = environmentPath("TONEMILL_HOME");
    return home.isEmpty() ? executableFolder() : QDir::cleanPath(home);
}

ProgramPlaces programPlaces(const QString& executableFolder, const QString& home, const QString& installedProgramFolder,
                            const QString& installedStateFolder)
{
    ProgramPlaces places;
    places.programFolder = home.isEmpty() ? executableFolder : QDir::cleanPath(home);
    places.installed = home.isEmpty() && !installedProgramFolder.isEmpty() &&
                       resolved(executableFolder) == resolved(installedProgramFolder);
    places.settingsFolder =
        places.installed ? QDir::cleanPath(installedStateFolder) : places.programFolder + QStringLiteral("/settings");
    return places;
}

ProgramPlaces programPlaces()
{
    return programPlaces(executableFolder(), environmentPath("TONEMILL_HOME"),
                         QStringLiteral(TONEMILL_INSTALLED_PROGRAM_FOLDER),
                         QStringLiteral(TONEMILL_INSTALLED_STATE_FOLDER));
}

} // namespace platform
