#include "support/ProgramFolderEnvironment.h"

#include "support/Fixtures.h"

#include <QDir>
#include <QFile>

namespace testsupport {

void ProgramFolderEnvironment::SetUp()
{
    qputenv("TONEMILL_HOME", m_home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", m_config.path().toUtf8());
    if (!m_withLanguages)
        return;
    const QDir home(m_home.path());
    home.mkpath(QStringLiteral("Lang"));
    const QDir shipped(buildBinDir() + QStringLiteral("/Lang"));
    const QStringList files = shipped.entryList(QDir::Files);
    for (const QString& file : files)
        QFile::copy(shipped.filePath(file), home.filePath(QStringLiteral("Lang/") + file));
}

} // namespace testsupport
