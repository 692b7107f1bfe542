#include "cli/ProbeCommand.h"

#include "cli/ConsoleText.h"
#include "cli/ConvertArguments.h"
#include "cli/PathAdmission.h"
#include "cli/PathList.h"
#include "convert/OutputNamePattern.h"
#include "convert/OutputPath.h"
#include "engine/ReadMediaTags.h"
#include "filelist/AddFilesSelection.h"
#include "filelist/FileAdmission.h"
#include "filelist/FileList.h"
#include "filelist/RowWords.h"
#include "filelist/ScanFolder.h"
#include "lang/StringLookup.h"
#include "platform/Desktop.h"

#include <QDir>
#include <QFileInfo>
#include <optional>

namespace cli {

namespace {

constexpr int kAllAdmitted = 0;
constexpr int kSomeNotAdmitted = 1;
constexpr int kUsageError = 2;

struct ProbeArguments {
    QStringList paths;
    bool recursive = false;
    bool keepTree = false;
    std::optional<QString> namePattern;
    QString treeRoot;
    QStringList filesFrom;
    bool nulSeparated = false;
};

//! The value of `--name VALUE` or `--name=VALUE` at `i` (moved past it);
//! nothing when `argument` is not that option. A missing value is empty.
std::optional<QString> optionValue(const QStringList& arguments, qsizetype& i, const QString& name)
{
    const QString& argument = arguments.at(i);
    if (argument.startsWith(name + u'='))
        return argument.mid(name.size() + 1);
    if (argument != name)
        return std::nullopt;
    return i + 1 < arguments.size() ? arguments.at(++i) : QString();
}

//! Parses the probe's arguments; false (with a message) on a usage error.
bool parseArguments(const QStringList& arguments, ProbeArguments& parsed, std::FILE* usageErrors)
{
    QStringList& paths = parsed.paths;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && argument == QLatin1String("--recursive")) {
            parsed.recursive = true;
            continue;
        }
        if (!optionsEnded && argument == QLatin1String("--keep-tree")) {
            parsed.keepTree = true;
            continue;
        }
        if (!optionsEnded && (argument == QLatin1String("-0") || argument == QLatin1String("--null"))) {
            parsed.nulSeparated = true;
            continue;
        }
        if (const auto list = optionsEnded ? std::nullopt : optionValue(arguments, i, QStringLiteral("--files-from"))) {
            if (list->isEmpty()) {
                writeUtf8(usageErrors, QStringLiteral("tonemill probe: --files-from needs a file\n"));
                return false;
            }
            parsed.filesFrom << *list;
            continue;
        }
        if (const auto root = optionsEnded ? std::nullopt : optionValue(arguments, i, QStringLiteral("--tree-root"))) {
            if (root->isEmpty()) {
                writeUtf8(usageErrors, QStringLiteral("tonemill probe: --tree-root needs a folder\n"));
                return false;
            }
            parsed.treeRoot = *root;
            parsed.keepTree = true;
            continue;
        }
        const QString namePattern = QStringLiteral("--name-pattern");
        if (!optionsEnded && (argument == namePattern || argument.startsWith(namePattern + u'='))) {
            if (argument == namePattern && i + 1 >= arguments.size()) {
                writeUtf8(usageErrors, QStringLiteral("tonemill probe: --name-pattern needs a value\n"));
                return false;
            }
            const QString value = argument == namePattern ? arguments.at(++i) : argument.mid(namePattern.size() + 1);
            const QString error = ConvertArguments::namePatternError(value);
            if (!error.isEmpty()) {
                writeUtf8(usageErrors, QStringLiteral("tonemill probe: %1\n").arg(error));
                return false;
            }
            parsed.namePattern = value;
            continue;
        }
        if (!optionsEnded && argument.startsWith(u'-')) {
            writeUtf8(usageErrors, QStringLiteral("tonemill probe: unknown option '%1' (put paths that begin "
                                                  "with '-' after '--')\n")
                                       .arg(argument));
            return false;
        }
        paths << argument;
    }
    if (parsed.nulSeparated && parsed.filesFrom.isEmpty()) {
        writeUtf8(usageErrors, QStringLiteral("tonemill probe: -0 applies to --files-from, which is not given\n"));
        return false;
    }
    if (paths.isEmpty() && parsed.filesFrom.isEmpty()) {
        writeUtf8(usageErrors, QStringLiteral("Usage: tonemill probe [--recursive] [--keep-tree] "
                                              "[--name-pattern PATTERN] [--] PATH...\n"));
        return false;
    }
    for (const QString& file : parsed.filesFrom) {
        QString error;
        const std::optional<QStringList> listed = readPathList(file, parsed.nulSeparated, error);
        if (!listed) {
            writeUtf8(usageErrors, QStringLiteral("tonemill probe: --files-from %1\n").arg(error));
            return false;
        }
        paths << *listed;
    }
    return true;
}

//! The name a row's output would get inside the output folder, without its
//! extension: its place in the added folder's tree and its own (or tagged) name.
QString outputName(const filelist::FileListRow& row, const ProbeArguments& arguments)
{
    QString name = convert::OutputBaseName(row.path);
    if (arguments.namePattern)
        name = convert::OutputNamePattern(*arguments.namePattern).expand(engine::ReadMediaTags(row.path), name);
    const QString folder = arguments.keepTree ? convert::RelativeFolder(row.path, row.baseFolder) : QString();
    return folder.isEmpty() ? name : folder + u'/' + name;
}

} // namespace

QString probeCell(const QString& cell)
{
    QString escaped;
    escaped.reserve(cell.size());
    for (const QChar c : cell) {
        const char16_t u = c.unicode();
        if (u == u'\\')
            escaped += QStringLiteral("\\\\");
        else if (u == u'\t')
            escaped += QStringLiteral("\\t");
        else if (u == u'\n')
            escaped += QStringLiteral("\\n");
        else if (u == u'\r')
            escaped += QStringLiteral("\\r");
        else if (u < 0x20 || u == 0x7F)
            escaped += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
        else
            escaped += c;
    }
    return escaped;
}

int runProbe(const QStringList& arguments, std::FILE* out, std::FILE* usageErrors, platform::Desktop& desktop)
{
    ProbeArguments parsed;
    if (!parseArguments(arguments, parsed, usageErrors))
        return kUsageError;
    const bool namesOutputs = parsed.keepTree || parsed.namePattern;

    filelist::FileList list;
    filelist::FileAdmission admission(desktop, [&list] { return &list; });
    const bool all =
        AdmitPaths(parsed.paths, {parsed.recursive, parsed.treeRoot, {}}, list, admission, desktop, [&](int at) {
            const filelist::FileListRow& row = list.at(at);
            // The words are English whatever the window's language: scripts read them.
            const QString duration = row.state == filelist::RowState::NotSupported && row.Duration.isEmpty()
                                         ? lang::englishText(lang::StringId::Error)
                                         : row.Duration;
            const QString size = row.cdTrack ? lang::englishText(lang::StringId::CdTrack) : row.FileSize;
            QString line = probeCell(row.path) + u'\t' + probeCell(duration) + u'\t' + probeCell(size) + u'\t' +
                           probeCell(filelist::words::englishStatus(row.state));
            if (namesOutputs)
                line += u'\t' + probeCell(outputName(row, parsed));
            writeUtf8(out, line + u'\n');
            std::fflush(out);
        });
    return all ? kAllAdmitted : kSomeNotAdmitted;
}

} // namespace cli
