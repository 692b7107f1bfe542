#include "cli/ProbeCommand.h"

#include "cli/ConsoleText.h"
#include "cli/PathAdmission.h"
#include "filelist/AddFilesSelection.h"
#include "filelist/FileAdmission.h"
#include "filelist/FileList.h"
#include "filelist/ScanFolder.h"
#include "lang/StringLookup.h"
#include "platform/Desktop.h"

#include <QDir>
#include <QFileInfo>

namespace cli {

namespace {

constexpr int kAllAdmitted = 0;
constexpr int kSomeNotAdmitted = 1;
constexpr int kUsageError = 2;

//! Parses the probe's arguments into paths; false (with a message) on a usage error.
bool parsePaths(const QStringList& arguments, QStringList& paths, bool& recursive, std::FILE* usageErrors)
{
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
            continue;
        }
        if (!optionsEnded && argument == QLatin1String("--recursive")) {
            recursive = true;
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
    if (paths.isEmpty()) {
        writeUtf8(usageErrors, QStringLiteral("Usage: tonemill probe [--recursive] [--] PATH...\n"));
        return false;
    }
    return true;
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

int runProbe(const QStringList& arguments, std::FILE* out, std::FILE* usageErrors, Desktop& desktop)
{
    QStringList paths;
    bool recursive = false;
    if (!parsePaths(arguments, paths, recursive, usageErrors))
        return kUsageError;

    FileList list;
    FileAdmission admission(desktop, [&list] { return &list; });
    const bool all = AdmitPaths(paths, recursive, list, admission, desktop, [&](int at) {
        const FileListRow& row = list.at(at);
        writeUtf8(out, probeCell(row.FilePath) + u'\t' + probeCell(row.Duration) + u'\t' + probeCell(row.FileSize) +
                           u'\t' + probeCell(row.Status) + u'\n');
        std::fflush(out);
    });
    return all ? kAllAdmitted : kSomeNotAdmitted;
}

} // namespace cli
