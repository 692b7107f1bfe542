#include "cli/ProbeCommand.h"

#include "platform/Desktop.h"
#include "cli/ConsoleText.h"
#include "filelist/AddFilesSelection.h"
#include "filelist/FileAdmission.h"
#include "filelist/FileList.h"
#include "filelist/ScanFolder.h"
#include "lang/StringLookup.h"

#include <QDir>
#include <QFileInfo>

namespace cli {

namespace {

constexpr int kAllAdmitted = 0;
constexpr int kSomeNotAdmitted = 1;
constexpr int kUsageError = 2;

//! Parses the probe's arguments into paths; false (with a message) on a usage error.
bool parsePaths(const QStringList& arguments, QStringList& paths, std::FILE* usageErrors)
{
    bool optionsEnded = false;
    for (const QString& argument : arguments) {
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
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
        writeUtf8(usageErrors, QStringLiteral("Usage: tonemill probe [--] PATH...\n"));
        return false;
    }
    return true;
}

class Probe {
public:
    Probe(std::FILE* out, Desktop& desktop)
        : m_out(out), m_desktop(desktop), m_admission(desktop, [this] { return &m_list; })
    {
    }

    void addPath(const QString& argument)
    {
        const QString path = absolutePath(argument);
        if (!path.isEmpty() && isFolderPath(path))
            addFolder(path);
        else
            addFile(path);
    }

    bool anyNotAdmitted() const { return m_notAdmitted > 0 || m_emptyFolders > 0; }

    void finish()
    {
        if (m_notAdmitted > 0)
            m_desktop.messageBox(lang::caption(lang::StringId::FilesNotAdded),
                                 lang::caption(lang::StringId::ProductName), Desktop::Icon::Exclamation,
                                 Desktop::Buttons::Ok);
    }

private:
    void addFolder(const QString& folder)
    {
        const QStringList names = ScanFolderNames(folder);
        if (names.isEmpty()) {
            ++m_emptyFolders;
            m_desktop.messageBox(lang::caption(lang::StringId::FolderEmpty), lang::caption(lang::StringId::ProductName),
                                 Desktop::Icon::Exclamation, Desktop::Buttons::Ok);
            return;
        }
        const QStringList paths = addfiles::selectionPaths(addfiles::folderSelection(folder, names));
        for (const QString& path : paths)
            addFile(path);
    }

    void addFile(QString path)
    {
        if (m_admission.AddFile2Grid(path) == 0) {
            ++m_notAdmitted;
            return;
        }
        const FileListRow& row = m_list.at(m_list.count() - 1);
        const QString line = probeCell(row.FilePath) + u'\t' + probeCell(row.Duration) + u'\t' +
                             probeCell(row.FileSize) + u'\t' + probeCell(row.Status) + u'\n';
        writeUtf8(m_out, line);
    }

    std::FILE* m_out;
    Desktop& m_desktop;
    FileList m_list;
    FileAdmission m_admission;
    int m_notAdmitted = 0;
    int m_emptyFolders = 0;
};

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
    if (!parsePaths(arguments, paths, usageErrors))
        return kUsageError;

    Probe probe(out, desktop);
    for (const QString& path : paths) {
        probe.addPath(path);
        std::fflush(out);
    }
    probe.finish();
    return probe.anyNotAdmitted() ? kSomeNotAdmitted : kAllAdmitted;
}

} // namespace cli
