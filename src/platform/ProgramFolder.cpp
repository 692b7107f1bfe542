#include "platform/ProgramFolder.h"

#include "platform/FileSystem.h"
#include "platform/Path.h"

#include <QCoreApplication>
#include <QDir>

namespace platform {

QString programFolder()
{
    const QString home = environmentPath("TONEMILL_HOME");
    if (!home.isEmpty())
        return QDir::cleanPath(home);
    // The executable's own folder, its bytes kept (Qt's applicationDirPath()
    // decodes them as UTF-8).
    const QString executable = canonicalPath(QStringLiteral("/proc/self/exe"));
    if (!executable.isEmpty())
        return Path(executable).parent().toString();
    return QCoreApplication::applicationDirPath();
}

} // namespace platform
