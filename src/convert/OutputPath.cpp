#include "convert/OutputPath.h"

#include "platform/Desktop.h"
#include "lang/StringLookup.h"
#include "options/FormatOptions.h"

#include <QDir>
#include <QFileInfo>

namespace {

constexpr int kLastNumber = 10000;

// A name is taken by anything but a folder; a link counts even when it points
// nowhere, so no output is ever written through one.
bool taken(const QString& path)
{
    const QFileInfo info(path);
    return info.isSymLink() || (info.exists() && !info.isDir());
}

bool ensureFolder(const QString& folder)
{
    if (QFileInfo(folder).isDir())
        return true;
    if (folder.isEmpty())
        return false;
    QDir().mkdir(folder); // one level only: the parent must exist
    return QFileInfo(folder).isDir();
}

} // namespace

QString ParentFolder(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    if (slash < 0)
        return QStringLiteral(".");
    if (slash == 0)
        return QStringLiteral("/");
    return path.left(slash);
}

QString BuildOutputPath(Desktop& desktop, const options::FormatOptions& options, const QString& inputPath,
                        const QString& extension)
{
    const QString folder = options.optSameFolder.Value() ? ParentFolder(inputPath) : options.txtOutPath.Text();
    if (!ensureFolder(folder)) {
        desktop.messageBox(lang::caption(lang::StringId::OutputFolderNotCreated),
                           lang::caption(lang::StringId::ProductName), Desktop::Icon::Critical, Desktop::Buttons::Ok);
        return {};
    }

    const QString name = inputPath.mid(inputPath.lastIndexOf(u'/') + 1);
    const qsizetype dot = name.lastIndexOf(u'.');
    QString base = dot < 0 ? name : name.left(dot);
    const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
    const QString suffix = u'.' + extension;

    QString candidate = prefix + base + suffix;
    if (!taken(candidate))
        return candidate;
    if (!base.endsWith(QLatin1String("_Converted"))) {
        base += QLatin1String("_Converted");
        candidate = prefix + base + suffix;
        if (!taken(candidate))
            return candidate;
    }
    for (int i = 0; i <= kLastNumber; ++i) {
        candidate = prefix + base + u'_' + QString::number(i) + suffix;
        if (!taken(candidate))
            return candidate;
    }
    return {};
}
