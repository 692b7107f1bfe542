#include "cli/ConvertCommand.h"

#include "cli/CommandApplication.h"
#include "cli/ConsoleText.h"
#include "cli/ConvertArguments.h"
#include "cli/ConvertConsole.h"
#include "cli/JsonLine.h"
#include "cli/PathAdmission.h"
#include "cli/PathList.h"
#include "cli/ProbeCommand.h"
#include "convert/AudioLength.h"
#include "convert/ConversionBatch.h"
#include "convert/OutputFile.h"
#include "engine/AudioEngine.h"
#include "engine/Bass.h"
#include "filelist/FileAdmission.h"
#include "filelist/FileList.h"
#include "filelist/RowWords.h"
#include "platform/FileName.h"
#include "platform/StopDeadline.h"
#include "settings/CRegister.h"
#include "settings/RunOptions.h"

#include <QElapsedTimer>
#include <algorithm>
#include <csignal>
#include <sys/stat.h>
#include <vector>

namespace cli {

namespace {

//! The exit codes of `tonemill convert`, as --help and the README give them.
constexpr int kAllDone = 0;
constexpr int kNotAllDone = 1;
constexpr int kUsageError = 2;
//! Ctrl+C: 128 + SIGINT, as a shell reports a command it interrupted.
constexpr int kInterrupted = 128 + SIGINT;
//! How long a stop asked for by a signal may take before the process ends
//! at once (see platform::StopDeadline).
constexpr std::chrono::milliseconds kStopLimit(900);

//! The format and folder arguments, set as a click on the controls sets them.
void applyChoices(const ConvertArguments& arguments, settings::RunOptions& options)
{
    if (arguments.format >= 0)
        options.chooseFormat(arguments.format);
    if (arguments.sameFolder)
        options.chooseSameFolder();
    if (!arguments.outputFolder.isEmpty())
        options.chooseOutputFolder(absolutePath(arguments.outputFolder));
    if (arguments.keepTree)
        options.chooseKeepTree();
    if (arguments.namePattern)
        options.chooseNamePattern(*arguments.namePattern);
    if (arguments.skipExisting)
        options.chooseSkipConverted();
}

//! The size of the file at `path` in bytes; 0 when there is none.
qint64 fileBytes(const QString& path)
{
    struct stat st {};
    if (path.isEmpty() || ::stat(platform::nativeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return 0;
    return qint64(st.st_size);
}

//! The "samples" member of a row: the sample frames of its input and of its
//! output, each at its own rate, as the engine decodes them, so a script can
//! see that the output is as long as its input. null when the input cannot
//! be measured; the output's two members null when there is none.
void addSamples(JsonLine& line, const QString& input, const QString& output)
{
    const std::optional<convert::AudioLength> in = convert::MeasureAudioLength(input);
    if (!in) {
        line.add("samples", std::nullopt);
        return;
    }
    const std::optional<convert::AudioLength> out =
        output.isEmpty() ? std::nullopt : convert::MeasureAudioLength(output);
    JsonLine samples;
    samples.add("in", qint64(in->frames)).add("in_rate", qint64(in->rate));
    if (out)
        samples.add("out", qint64(out->frames)).add("out_rate", qint64(out->rate));
    else
        samples.add("out", std::nullopt).add("out_rate", std::nullopt);
    line.add("samples", samples);
}

//! What the batch's totals count.
struct Totals {
    int rows = 0;
    int complete = 0;
    int skipped = 0;
    int cancelled = 0;
    int failed = 0;
    int waiting = 0;
    int unsupported = 0;
    double seconds = 0; // audio converted by this run
    qint64 bytes = 0;   // written by this run
};

class ConvertRun {
public:
    ConvertRun(settings::RunOptions& options, std::FILE* out, bool json, bool loudness, ConvertConsole& console)
        : m_out(out), m_json(json), m_loudness(loudness), m_console(console),
          m_batch(console, m_state, options.formatOptions(), [this] { return &m_list; })
    {
        m_clock.start();
        QObject::connect(&m_batch, &convert::ConversionBatch::rowVisited, &m_batch,
                         [this](int row, const QString& outFile) { rowDone(row, outFile); });
        QObject::connect(&m_batch, &convert::ConversionBatch::rowStarted, &m_batch,
                         [this](int row) { record(row).startedMs = m_clock.elapsed(); });
        QObject::connect(&m_list, &QAbstractItemModel::dataChanged, &m_batch,
                         [this](const QModelIndex& first, const QModelIndex& last) {
                             for (int row = first.row(); row <= last.row(); ++row)
                                 rowChanged(row);
                         });
        console.setYieldHook([this] { onYield(); });
    }
    ~ConvertRun() { m_console.setYieldHook({}); }

    filelist::FileList& list() { return m_list; }

    //! Runs "Convert All" (unless Ctrl+C came first) and writes the lines of
    //! the rows it did not reach, then (with --json) the totals; true when
    //! every row ended "Complete" or "Skipped".
    bool run(int refused, int asTracks)
    {
        if (m_list.count() > 0 && !ConvertConsole::interrupted())
            m_batch.cmdConvert.click();
        m_console.clearProgress();
        for (int row = m_printed; row < m_list.count(); ++row)
            rowDone(row, QString());
        if (m_json)
            writeTotals(refused, asTracks);
        const auto& rows = m_list.rows();
        return std::all_of(rows.begin(), rows.end(), [](const filelist::FileListRow& row) {
            return filelist::isComplete(row.state) || row.state == filelist::RowState::Skipped;
        });
    }

private:
    //! What the command line keeps of a row beside the list: when its
    //! conversion started and ended (ms since the run began), and how far it
    //! had come when it last reported.
    struct RowRecord {
        qint64 startedMs = -1;
        qint64 endedMs = -1;
        float percent = 0;
    };

    RowRecord& record(int row)
    {
        if (std::size_t(row) >= m_records.size())
            m_records.resize(std::size_t(row) + 1);
        return m_records[std::size_t(row)];
    }

    void rowChanged(int row)
    {
        if (row < 0 || row >= m_list.count())
            return;
        const filelist::FileListRow& r = m_list.at(row);
        RowRecord& kept = record(row);
        if (r.state == filelist::RowState::Converting)
            kept.percent = r.progress;
        else if (r.state != filelist::RowState::Waiting && kept.startedMs >= 0 && kept.endedMs < 0)
            kept.endedMs = m_clock.elapsed();
    }

    void onYield()
    {
        if (ConvertConsole::interrupted() && !m_state.bCancelConversion)
            m_batch.cmdConvert.click(); // reads "Stop" while the batch runs
        // The bar follows the first of the rows converting now.
        const QList<int> running = m_batch.progress().running;
        if (running.isEmpty() || !m_console.showsProgress())
            return;
        const int row = running.first();
        const filelist::FileListRow& r = m_list.at(row);
        m_console.drawProgress(row + 1, m_list.count(), int(r.progress), r.path);
    }

    //! The audio seconds a row converted: all of a complete row, the part a
    //! stopped row kept, none of the others.
    double convertedSeconds(const filelist::FileListRow& r, const RowRecord& kept) const
    {
        const double length = std::max(0.0, r.seconds);
        if (filelist::isComplete(r.state))
            return length;
        if (r.state == filelist::RowState::Cancelled && !r.outputPath.isEmpty())
            return length * std::clamp(double(kept.percent), 0.0, 100.0) / 100.0;
        return 0;
    }

    void count(const filelist::FileListRow& r, double seconds, qint64 bytes)
    {
        using filelist::RowState;
        ++m_totals.rows;
        switch (r.state) {
        case RowState::Complete:
        case RowState::CompleteDamaged:
            ++m_totals.complete;
            break;
        case RowState::Skipped:
            ++m_totals.skipped;
            return; // nothing of it was converted or written by this run
        case RowState::Cancelled:
            ++m_totals.cancelled;
            break;
        case RowState::Failed:
            ++m_totals.failed;
            break;
        case RowState::NotSupported:
            ++m_totals.unsupported;
            break;
        case RowState::Waiting:
        case RowState::Converting:
            ++m_totals.waiting;
            break;
        }
        m_totals.seconds += seconds;
        m_totals.bytes += bytes;
    }

    void rowDone(int row, const QString& outFile)
    {
        if (ConvertConsole::interrupted() && m_state.bConverting && !m_state.bCancelConversion)
            m_batch.cmdConvert.click(); // Ctrl+C between two files
        const filelist::FileListRow& r = m_list.at(row);
        const RowRecord kept = record(row);
        m_console.clearProgress();
        // English words whatever the window's language: scripts read them.
        const QString status = filelist::words::englishStatus(r.state);
        const QString reason = filelist::words::englishReason(r.reason);
        const double seconds = convertedSeconds(r, kept);
        const qint64 bytes = fileBytes(outFile);
        count(r, seconds, bytes);
        if (m_json) {
            const qint64 endedMs = kept.endedMs >= 0 ? kept.endedMs : m_clock.elapsed();
            const double wall = kept.startedMs >= 0 ? double(endedMs - kept.startedMs) / 1000.0 : 0.0;
            JsonLine line;
            line.add("input", r.path)
                .add("output", outFile.isEmpty() ? std::nullopt : std::optional<QString>(outFile))
                .add("status", status)
                .add("reason", reason.isEmpty() ? std::nullopt : std::optional<QString>(reason))
                .add("seconds", seconds, 3)
                .add("bytes", bytes)
                .add("wall", wall, 3);
            addSamples(line, r.path, outFile);
            if (m_loudness) {
                const std::optional<filelist::MeasuredLoudness> measured = m_list.loudness(row);
                line.add("loudness", measured ? std::optional<QString>(measured->text()) : std::nullopt);
            }
            const QByteArray bytesOut = line.object() + '\n';
            std::fwrite(bytesOut.constData(), 1, std::size_t(bytesOut.size()), m_out);
        } else {
            QString text =
                probeCell(r.path) + u'\t' + probeCell(outFile) + u'\t' + probeCell(status) + u'\t' + probeCell(reason);
            if (m_loudness) {
                const std::optional<filelist::MeasuredLoudness> measured = m_list.loudness(row);
                text += u'\t' + (measured ? measured->text() : QString());
            }
            writeUtf8(m_out, text + u'\n');
        }
        std::fflush(m_out);
        m_printed = row + 1;
    }

    void writeTotals(int refused, int asTracks)
    {
        JsonLine totals;
        totals.add("rows", qint64(m_totals.rows))
            .add("complete", qint64(m_totals.complete))
            .add("skipped", qint64(m_totals.skipped))
            .add("cancelled", qint64(m_totals.cancelled))
            .add("failed", qint64(m_totals.failed))
            .add("waiting", qint64(m_totals.waiting))
            .add("unsupported", qint64(m_totals.unsupported))
            .add("refused", qint64(refused))
            .add("files_as_tracks", qint64(asTracks))
            .add("seconds", m_totals.seconds, 3)
            .add("bytes", m_totals.bytes)
            .add("wall", double(m_clock.elapsed()) / 1000.0, 3);
        const QByteArray bytes = JsonLine().add("totals", totals).object() + '\n';
        std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), m_out);
        std::fflush(m_out);
    }

    std::FILE* m_out;
    bool m_json;
    bool m_loudness;
    ConvertConsole& m_console;
    convert::ConversionState m_state;
    filelist::FileList m_list;
    convert::ConversionBatch m_batch;
    QElapsedTimer m_clock;
    std::vector<RowRecord> m_records;
    Totals m_totals;
    int m_printed = 0;
};

} // namespace

int runConvert(const ConvertArguments& arguments, settings::RunOptions& options, std::FILE* out,
               ConvertConsole& console)
{
    applyChoices(arguments, options);
    ConvertRun run(options, out, arguments.json, arguments.loudness, console);
    filelist::FileAdmission admission(console, [&run] { return &run.list(); });
    int refused = 0;
    int asTracks = 0;
    const bool allAdmitted = AdmitPaths(
        arguments.paths, {arguments.recursive, arguments.treeRoot, [] { return ConvertConsole::interrupted(); }},
        run.list(), admission, console, {}, &refused, &asTracks);
    const bool allDone = run.run(refused, asTracks);
    return allAdmitted && allDone ? kAllDone : kNotAllDone;
}

int runConvertCommand(int argc, char* argv[])
{
    CommandApplication app(argc, argv);

    QStringList words = commandArguments(argc, argv, 2); // after the program and "convert"
    QString error;
    std::optional<ConvertArguments> arguments = ConvertArguments::parse(words, error);
    if (!arguments) {
        writeUtf8(stderr, QStringLiteral("tonemill convert: %1\n").arg(error));
        return kUsageError;
    }
    // The lists' paths follow those of the command line, in order.
    for (const QString& file : arguments->filesFrom) {
        const std::optional<QStringList> listed = readPathList(file, arguments->nulSeparated, error);
        if (!listed) {
            writeUtf8(stderr, QStringLiteral("tonemill convert: --files-from %1\n").arg(error));
            return kUsageError;
        }
        arguments->paths << *listed;
    }

    // The saved options, loaded as the window loads them but never written;
    // --option changes one of them for this run only.
    ConvertConsole console(stderr);
    settings::RunOptions runOptions;
    if (!runOptions.load(settings::CRegister(), arguments->assignments, &error, &console)) {
        writeUtf8(stderr, QStringLiteral("tonemill convert: %1\n").arg(error));
        return kUsageError;
    }

    if (!engine::InitDecodingEngine()) {
        std::fprintf(stderr, "tonemill: the audio engine could not start\n");
        return kNotAllDone;
    }
    // Whatever a row is doing, the first signal ends the run within a second.
    const platform::StopDeadline deadline(kStopLimit, [] { convert::OutputFile::removeUnfinished(); });
    console.catchInterrupt();
    const int status = runConvert(*arguments, runOptions, stdout, console);
    BASS_Free();
    // Stopped by a signal: Ctrl+C gives 130, as a shell reports a command it
    // interrupted; SIGTERM and SIGHUP the code of an end by that signal (143,
    // 129). Always after the rows' lines.
    if (const int signal = ConvertConsole::interruptSignal(); signal != 0)
        return signal == SIGINT ? kInterrupted : 128 + signal;
    return status;
}

} // namespace cli
