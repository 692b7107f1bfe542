#include "convert/OutputPath.h"

#include "lang/StringLookup.h"
#include "options/FormatOptions.h"
#include "platform/Desktop.h"
#include "platform/FileName.h"

#include <QDir>
#include <QRegularExpression>
#include <cerrno>
#include <sys/stat.h>

namespace {

constexpr int kLastNumber = 10000;

// A name is taken by anything at all: a file, a folder (the output could not
// get its name) or a link, even one that points nowhere.
bool isTaken(const QString& path)
{
    struct stat st {};
    return ::lstat(platform::nativeName(path).constData(), &st) == 0 || errno != ENOENT;
}

bool isFolder(const QString& folder)
{
    struct stat st {};
    return ::stat(platform::nativeName(folder).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ensureFolder(const QString& folder)
{
    if (isFolder(folder))
        return true;
    if (folder.isEmpty())
        return false;
    ::mkdir(platform::nativeName(folder).constData(), 0777); // one level only: the parent must exist
    return isFolder(folder);
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

QString NextOutputPath(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    const qsizetype dot = path.lastIndexOf(u'.');
    const qsizetype stemEnd = dot > slash + 1 ? dot : path.size();
    const QString stem = path.left(stemEnd);
    const QString suffix = path.mid(stemEnd);
    static const QRegularExpression numbered(QStringLiteral("_Converted_(\\d+)$"));
    const QRegularExpressionMatch match = numbered.match(stem);
    if (match.hasMatch()) {
        const int number = match.captured(1).toInt();
        if (number >= kLastNumber)
            return {};
        return stem.left(match.capturedStart(1)) + QString::number(number + 1) + suffix;
    }
    if (stem.endsWith(QLatin1String("_Converted")))
        return stem + QStringLiteral("_0") + suffix;
    return stem + QStringLiteral("_Converted") + suffix;
}

QString BuildOutputPath(Desktop& desktop, const options::FormatOptions& options, const QString& inputPath,
                        const QString& extension, const std::function<bool(const QString&)>& reserved)
{
    const auto taken = [&reserved](const QString& path) { return isTaken(path) || (reserved && reserved(path)); };
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
