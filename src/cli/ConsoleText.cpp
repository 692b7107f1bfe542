#include "cli/ConsoleText.h"

#include "platform/FileName.h"

#include <QDir>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace cli {

void writeUtf8(std::FILE* stream, const QString& text)
{
    // A file name's bytes that are not UTF-8 are written back as they came.
    const QByteArray bytes = platform::nativeName(text);
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream);
}

QStringList commandArguments(int argc, char* argv[], int skip)
{
    QStringList words;
    for (int i = skip; i < argc; ++i)
        words << platform::fromNativeName(QByteArray(argv[i]));
    return words;
}

bool isFolderPath(const QString& path)
{
    struct stat st {};
    return ::stat(platform::nativeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

QString absolutePath(const QString& path)
{
    if (path.isEmpty() || QDir::isAbsolutePath(path))
        return path;
    char* here = ::getcwd(nullptr, 0);
    QString folder = here ? platform::fromNativeName(QByteArray(here)) : QDir::currentPath();
    std::free(here);
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder + path;
}

} // namespace cli
