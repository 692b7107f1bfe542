#include "cli/ConsoleText.h"

#include <QDir>

namespace cli {

void writeUtf8(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
}

QString absolutePath(const QString& path)
{
    if (path.isEmpty() || QDir::isAbsolutePath(path))
        return path;
    QString folder = QDir::currentPath();
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder + path;
}

} // namespace cli
