#include "support/SuiteMedia.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace testsupport {

bool SuiteMedia::open()
{
    m_folder = std::make_unique<QTemporaryDir>();
    return m_folder->isValid();
}

void SuiteMedia::close()
{
    m_folder.reset();
}

QString SuiteMedia::filePath(const QString& name) const
{
    return m_folder ? m_folder->filePath(name) : QString();
}

bool SuiteMedia::copy(const QString& name, const QString& to) const
{
    return m_folder && QDir().mkpath(QFileInfo(to).path()) && QFile::copy(filePath(name), to);
}

} // namespace testsupport
