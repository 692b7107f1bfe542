#include "lang/LanguageFolder.h"

#include "platform/FileSystem.h"
#include "platform/Path.h"

#include <algorithm>

namespace lang {

namespace {

bool endsWith(const QString& name, QLatin1StringView suffix)
{
    return name.endsWith(suffix, Qt::CaseInsensitive);
}

} // namespace

QStringList LanguageFolder::fileNames(const QString& folder)
{
    if (folder.isEmpty())
        return {};
    // Hidden files are left out; the rest by name, whatever the case.
    QStringList names = platform::fileNamesIn(folder);
    names.removeIf([](const QString& name) { return name.startsWith(u'.'); });
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}

QString LanguageFolder::displayName(const QString& fileName)
{
    return fileName.left(fileName.indexOf(QLatin1StringView(".ini"), 0, Qt::CaseInsensitive));
}

LanguageListing LanguageFolder::list(const QString& folder, const QString& languageFile, const AddImage& addImage)
{
    LanguageListing listing;
    const QStringList names = fileNames(folder);
    const platform::Path dir(folder);

    for (const QString& name : names) {
        if (!endsWith(name, QLatin1StringView(".bmp")))
            continue;
        QString failure;
        if (!addImage((dir / name).toString(), failure)) {
            listing.failure = failure;
            return listing;
        }
        ++listing.images;
    }

    for (const QString& name : names) {
        if (!endsWith(name, QLatin1StringView(".ini")))
            continue;
        const QString display = displayName(name);
        listing.entries.append({display, int(listing.entries.size()) + 1, name});
        if (QString::compare(display + QStringLiteral(".ini"), languageFile, Qt::CaseInsensitive) == 0)
            listing.marked = int(listing.entries.size()) - 1;
    }
    return listing;
}

} // namespace lang
