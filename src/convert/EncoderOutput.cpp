#include "convert/EncoderOutput.h"

#include <QFile>
#include <QFileInfo>

namespace convert {

EncoderOutput::EncoderOutput(QString path) : m_path(std::move(path)) {}

bool EncoderOutput::claim()
{
    QFile file(m_path);
    m_claimed = file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
    return m_claimed;
}

void EncoderOutput::dropIfEmpty()
{
    const QFileInfo info(m_path);
    if (m_claimed && info.isFile() && !info.isSymLink() && info.size() == 0)
        QFile::remove(m_path);
}

bool EncoderOutput::hasContent() const
{
    const QFileInfo info(m_path);
    return info.isFile() && info.size() > 0;
}

} // namespace convert
