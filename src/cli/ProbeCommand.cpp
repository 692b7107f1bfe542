#include "cli/ProbeCommand.h"

#include "cli/CommandApplication.h"
#include "cli/CommandOptions.h"
#include "cli/CommandSetup.h"
#include "cli/ConsoleDesktop.h"
#include "cli/ConsoleText.h"
#include "cli/JsonLine.h"
#include "cli/PathAdmission.h"
#include "cli/TabLine.h"
#include "cli/TreeRoot.h"
#include "convert/OutputNamePattern.h"
#include "convert/OutputPath.h"
#include "engine/AudioEngine.h"
#include "engine/Bass.h"
#include "filelist/FileAdmission.h"
#include "filelist/FileList.h"
#include "filelist/RowWords.h"
#include "lang/StringLookup.h"
#include "settings/RunOptions.h"
#include "tags/ReadMediaTags.h"

#include <QtNumeric>
#include <algorithm>
#include <optional>

namespace cli {

namespace {

constexpr int kAllAdmitted = 0;
constexpr int kSomeNotAdmitted = 1;
constexpr int kUsageError = 2;

//! The name a row's output would get inside the output folder, without its
//! extension: its place in the added folder's tree and its own (or tagged) name.
QString outputName(const filelist::FileListRow& row, const CommandArguments& arguments)
{
    QString name = convert::OutputBaseName(row.path);
    if (arguments.namePattern)
        name = convert::OutputNamePattern(*arguments.namePattern).expand(tags::ReadMediaTags(row.path), name);
    const QString folder = arguments.keepTree ? convert::RelativeFolder(row.path, row.baseFolder) : QString();
    return folder.isEmpty() ? name : folder + u'/' + name;
}

void writeBytes(std::FILE* out, const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), out);
    std::fflush(out);
}

} // namespace

int runProbe(const CommandArguments& arguments, std::FILE* out, std::FILE* messages, ConsoleDesktop& desktop)
{
    QString error;
    const std::optional<std::vector<InputPath>> inputs = inputPaths(arguments, error);
    std::optional<TreeRoot> root;
    if (inputs && !arguments.treeRoot.isEmpty())
        root = TreeRoot::resolve(arguments.treeRoot, error);
    if (!inputs || (!arguments.treeRoot.isEmpty() && !root)) {
        writeUtf8(messages, QStringLiteral("tonemill probe: %1\n").arg(error));
        return kUsageError;
    }
    const bool namesOutputs = arguments.keepTree || arguments.namePattern;

    filelist::FileList list;
    filelist::FileAdmission admission(desktop, [&list] { return &list; });
    qint64 rows = 0;
    double seconds = 0;
    qint64 bytes = 0;
    const auto onRow = [&](int at, const filelist::ProbedFile& file) {
        const filelist::FileListRow& row = list.at(at);
        const bool opened = row.state != filelist::RowState::NotSupported;
        ++rows;
        // The words are English whatever the window's language: scripts read them.
        const QString status = filelist::words::englishStatus(row.state);
        if (arguments.json) {
            JsonLine line;
            line.add("input", row.path)
                .add("status", status)
                .add("seconds", opened ? std::max(0.0, row.seconds) : qQNaN(), 3);
            if (row.cdTrack)
                line.add("bytes", std::nullopt);
            else
                line.add("bytes", qint64(file.size));
            line.add("cd_track", row.cdTrack);
            if (namesOutputs)
                line.add("output_name", outputName(row, arguments));
            writeBytes(out, line.object() + '\n');
        } else {
            const QString duration =
                !opened && row.Duration.isEmpty() ? lang::englishText(lang::StringId::Error) : row.Duration;
            const QString size = row.cdTrack ? lang::englishText(lang::StringId::CdTrack) : row.FileSize;
            QStringList fields = {row.path, duration, size, status};
            if (namesOutputs)
                fields << outputName(row, arguments);
            writeUtf8(out, tabLine(fields));
            std::fflush(out);
        }
        if (opened)
            seconds += std::max(0.0, row.seconds);
        if (!row.cdTrack)
            bytes += file.size;
    };
    const AdmitReport report =
        AdmitPaths(*inputs, {arguments.recursive, root ? &*root : nullptr, {}}, list, admission, desktop, onRow,
                   [&](const Refusal& refusal) {
                       reportRefusal(refusal, refusal.path, arguments.json, arguments.quiet, out, messages);
                   });
    if (arguments.json) {
        JsonLine totals;
        totals.add("schema", qint64(1))
            .add("rows", rows)
            .add("refused", qint64(report.refused))
            .add("files_as_tracks", qint64(report.asTracks))
            .add("seconds", seconds, 3)
            .add("bytes", bytes);
        writeBytes(out, JsonLine().add("totals", totals).object() + '\n');
    }
    return report.allAdmitted() ? kAllAdmitted : kSomeNotAdmitted;
}

int runProbeCommand(int argc, char* argv[], const CommandArguments& arguments)
{
    CommandApplication app(argc, argv);

    // The saved options, loaded as the window loads them but never written;
    // --options-from and --option change them for this run only.
    ConsoleDesktop desktop(stderr);
    desktop.setQuiet(arguments.quiet);
    settings::RunOptions runOptions;
    QString error;
    if (!loadRunOptions(arguments, runOptions, desktop, error)) {
        writeUtf8(stderr, QStringLiteral("tonemill probe: %1\n").arg(error));
        return kUsageError;
    }

    if (!engine::InitDecodingEngine()) {
        std::fprintf(stderr, "tonemill: the audio engine could not start\n");
        return kSomeNotAdmitted;
    }
    const int status = runProbe(arguments, stdout, stderr, desktop);
    BASS_Free();
    return status;
}

} // namespace cli
