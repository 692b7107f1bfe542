#include "cli/ConsoleText.h"

#include "platform/FileName.h"
#include "platform/FileSystem.h"

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
    return platform::isFolder(path);
}

QString absolutePath(const QString& path)
{
    return platform::absolutePath(path);
}

} // namespace cli
