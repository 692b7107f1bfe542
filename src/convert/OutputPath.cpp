#include "convert/OutputPath.h"

#include "convert/OutputNamePattern.h"
#include "disc/TrackPath.h"
#include "lang/StringLookup.h"
#include "options/FormatOptions.h"
#include "platform/Desktop.h"
#include "platform/FileName.h"
#include "platform/Path.h"
#include "tags/ReadMediaTags.h"

#include <QDir>
#include <QRegularExpression>
#include <cerrno>
#include <sys/stat.h>

namespace convert {

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

// Makes the folders of `relative` below `root`, one level at a time. A part
// that exists must be a real folder: a link there could lead out of the tree.
bool ensureTree(const QString& root, const QString& relative)
{
    QString folder = root.endsWith(u'/') ? root.chopped(1) : root;
    for (const QString& part : relative.split(u'/', Qt::SkipEmptyParts)) {
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
        folder += u'/' + part;
        const QByteArray name = platform::nativeName(folder);
        struct stat st {};
        if (::lstat(name.constData(), &st) != 0) {
            if (errno != ENOENT || (::mkdir(name.constData(), 0777) != 0 && errno != EEXIST))
                return false;
            if (::lstat(name.constData(), &st) != 0)
                return false;
        }
        if (!S_ISDIR(st.st_mode))
            return false;
    }
    return true;
}

//! Where an output goes before any collision suffix: the folder it is
//! written below, the folders inside it and the name without extension.
struct OutputPlace {
    QString root;
    QString relative;
    QString base;
};

OutputPlace placeFor(const options::FormatOptions& options, const OutputRequest& request)
{
    const QString& inputPath = request.inputPath;
    const std::optional<disc::TrackPath> track = disc::TrackPath::parse(inputPath);
    const bool sameFolder = options.optSameFolder.Value() && !(track && disc::isDevicePath(track->source));
    OutputPlace place;
    place.root = sameFolder ? platform::Path(inputPath).parent().toString() : options.txtOutPath.Text();
    // Below the root: the input's place in its tree, then the folders the name pattern makes.
    place.relative =
        !sameFolder && options.chkKeepTree.Value() ? RelativeFolder(inputPath, request.baseFolder) : QString();
    place.base = OutputBaseName(inputPath);
    if (options.chkNamePattern.Value()) {
        const OutputNamePattern pattern(options.txtNamePattern.Text());
        if (pattern.usable()) {
            const platform::Path expanded(pattern.expand(tags::ReadMediaTags(inputPath), place.base));
            place.base = expanded.fileName();
            // The folders the pattern makes ("Artist/Album/" of "Artist/Album/Title").
            const QString folders = expanded.toString().chopped(place.base.size());
            if (folders.size() > 1)
                place.relative = (platform::Path(place.relative) / folders.chopped(1)).toString();
        }
    }
    return place;
}

QString folderPrefix(const OutputPlace& place)
{
    QString prefix = place.root.endsWith(u'/') ? place.root : place.root + u'/';
    if (!place.relative.isEmpty())
        prefix += place.relative + u'/';
    return prefix;
}

void showFolderFailure(platform::Desktop& desktop)
{
    desktop.messageBox(lang::caption(lang::StringId::OutputFolderNotCreated),
                       lang::caption(lang::StringId::ProductName), platform::Desktop::Icon::Critical,
                       platform::Desktop::Buttons::Ok);
}

} // namespace

QString OutputBaseName(const QString& inputPath)
{
    if (const std::optional<disc::TrackPath> track = disc::TrackPath::parse(inputPath))
        return QStringLiteral("Track%1").arg(track->track, 2, 10, QLatin1Char('0'));
    return platform::Path(inputPath).stem();
}

QString NextOutputPath(const QString& path)
{
    const platform::Path taken(path);
    // The extension with its dot ("" for none).
    const QString suffix = taken.fileName().mid(taken.stem().size());
    const QString stem = path.chopped(suffix.size());
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

QString WantedOutputPath(const options::FormatOptions& options, const OutputRequest& request)
{
    const OutputPlace place = placeFor(options, request);
    return folderPrefix(place) + place.base + u'.' + request.extension;
}

QString RelativeFolder(const QString& inputPath, const QString& baseFolder)
{
    const std::optional<QString> relative = platform::Path(inputPath).relativeTo(platform::Path(baseFolder));
    if (!relative)
        return {};
    const QString folders = relative->chopped(platform::Path(*relative).fileName().size());
    const QStringList parts = folders.split(u'/', Qt::SkipEmptyParts);
    // A path that climbs is not one the folder scan made: it goes nowhere but the output folder.
    for (const QString& part : parts)
        if (part == QLatin1String(".") || part == QLatin1String(".."))
            return {};
    return parts.join(u'/');
}

bool CheckOutputNaming(platform::Desktop& desktop, const options::FormatOptions& options)
{
    if (!options.chkNamePattern.Value())
        return true;
    const OutputNamePattern pattern(options.txtNamePattern.Text());
    if (pattern.usable())
        return true;
    desktop.messageBox(NamePatternProblemsText(pattern), lang::caption(lang::StringId::ProductName),
                       platform::Desktop::Icon::Exclamation, platform::Desktop::Buttons::Ok);
    return false;
}

QString NamePatternProblemsText(const OutputNamePattern& pattern)
{
    const QStringList problems = pattern.problemTexts();
    if (problems.size() <= 1)
        return problems.value(0);
    return lang::caption(lang::StringId::NamePatternProblems) + QStringLiteral("\n\n\u2022 ") +
           problems.join(QStringLiteral("\n\u2022 "));
}

QString BuildOutputPath(platform::Desktop& desktop, const options::FormatOptions& options, const QString& inputPath,
                        const QString& extension, const std::function<bool(const QString&)>& reserved)
{
    return BuildOutputPath(desktop, options, OutputRequest{inputPath, QString(), extension}, reserved);
}

QString BuildOutputPath(platform::Desktop& desktop, const options::FormatOptions& options, const OutputRequest& request,
                        const std::function<bool(const QString&)>& reserved, filelist::RowReason* why)
{
    const auto failed = [why](filelist::RowReason::Code code) {
        if (why)
            *why = filelist::RowReason::coded(code);
        return QString();
    };
    const auto taken = [&reserved](const QString& path) { return isTaken(path) || (reserved && reserved(path)); };
    const OutputPlace place = placeFor(options, request);
    if (!ensureFolder(place.root)) {
        showFolderFailure(desktop);
        return failed(filelist::RowReason::Code::NoOutputFolder);
    }
    if (!place.relative.isEmpty() && !ensureTree(place.root, place.relative)) {
        showFolderFailure(desktop);
        return failed(filelist::RowReason::Code::NoOutputFolder);
    }

    const QString prefix = folderPrefix(place);
    QString base = place.base;
    const QString suffix = u'.' + request.extension;

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
    return failed(filelist::RowReason::Code::NoFreeName);
}

} // namespace convert
