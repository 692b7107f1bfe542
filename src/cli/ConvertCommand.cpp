#include "cli/ConvertCommand.h"

#include "cli/CommandApplication.h"
#include "cli/CommandOptions.h"
#include "cli/CommandSetup.h"
#include "cli/ConsoleText.h"
#include "cli/ConvertConsole.h"
#include "cli/JsonLine.h"
#include "cli/OptionList.h"
#include "cli/PathAdmission.h"
#include "cli/StandardStreams.h"
#include "cli/TabLine.h"
#include "cli/TreeRoot.h"
#include "convert/AudioLength.h"
#include "convert/ConversionBatch.h"
#include "convert/EncoderCommand.h"
#include "convert/OutputFile.h"
#include "engine/AudioEngine.h"
#include "engine/Bass.h"
#include "filelist/FileAdmission.h"
#include "filelist/FileList.h"
#include "filelist/RowWords.h"
#include "platform/FileName.h"
#include "platform/ProgramFolder.h"
#include "platform/StopDeadline.h"
#include "settings/RunOptions.h"
#include "settings/SettingsTable.h"

#include <QElapsedTimer>
#include <algorithm>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>
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

//! The formats whose outputs can go to standard output as they are: those
//! a reader takes from a pipe. M4A and WMA keep their index after the audio.
bool streamable(int format)
{
    const QString name = formatNames().value(format);
    return name != QLatin1String("m4a") && name != QLatin1String("wma") && !name.isEmpty();
}

//! The run's own choices over the loaded options, as clicks on the controls
//! would set them: the format first, as the encoder flags read it. False with
//! the reason in `error` when one does not apply.
bool applyChoices(const CommandArguments& arguments, settings::RunOptions& options, QString& error)
{
    if (arguments.format >= 0)
        options.chooseFormat(arguments.format);
    if (arguments.sameFolder)
        options.chooseSameFolder();
    if (!arguments.outputFolder.isEmpty() && !arguments.toStandardOutput())
        options.chooseOutputFolder(absolutePath(arguments.outputFolder));
    if (arguments.keepTree)
        options.chooseKeepTree();
    if (arguments.namePattern)
        options.chooseNamePattern(*arguments.namePattern);
    if (arguments.skipExisting)
        options.chooseSkipConverted();
    if (arguments.normalize && !options.chooseNormalizeTarget(*arguments.normalize)) {
        error = QStringLiteral("--normalize needs a whole number of LUFS from %1 to %2")
                    .arg(settings::RunOptions::lowestNormalizeTarget())
                    .arg(settings::RunOptions::highestNormalizeTarget());
        return false;
    }
    if (arguments.jobs && !settings::applySettingOverride(options.formatOptions(), QStringLiteral("sliderSimultaneous"),
                                                          QString::number(*arguments.jobs), &error))
        return false;
    return options.chooseEncoderSettings(arguments.encoder, formatNames(), &error);
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

void writeBytes(std::FILE* out, const QByteArray& bytes)
{
    std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), out);
    std::fflush(out);
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
    ConvertRun(const CommandArguments& arguments, const ConvertInputs& inputs, settings::RunOptions& options,
               std::FILE* out, ConvertConsole& console)
        : m_arguments(arguments), m_inputs(inputs), m_options(options), m_out(out), m_console(console),
          m_batch(console, m_state, options.formatOptions(), [this] { return &m_list; })
    {
        m_clock.start();
        QObject::connect(&m_batch, &convert::ConversionBatch::rowVisited, &m_batch,
                         [this](int row, const QString& outFile) { rowDone(row, outFile); });
        QObject::connect(&m_batch, &convert::ConversionBatch::rowStarted, &m_batch, [this](int row) { started(row); });
        QObject::connect(&m_list, &QAbstractItemModel::dataChanged, &m_batch,
                         [this](const QModelIndex& first, const QModelIndex& last) {
                             for (int row = first.row(); row <= last.row(); ++row)
                                 rowChanged(row);
                         });
        console.setYieldHook([this] { onYield(); });
    }
    ~ConvertRun() { m_console.setYieldHook({}); }

    filelist::FileList& list() { return m_list; }

    //! A path as the rows show it: standard input as "-".
    QString shown(const QString& path) const
    {
        return !m_inputs.standardInput.isEmpty() && path == m_inputs.standardInput ? QStringLiteral("-") : path;
    }

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
        if (m_arguments.json)
            writeTotals(refused, asTracks);
        const auto& rows = m_list.rows();
        return std::all_of(rows.begin(), rows.end(), [](const filelist::FileListRow& row) {
            return filelist::isComplete(row.state) || row.state == filelist::RowState::Skipped;
        });
    }

    //! The output the one row kept; empty when it kept none.
    const QString& lastOutput() const { return m_lastOutput; }

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

    //! A line for a person on standard error (not when quiet).
    void say(const QString& line)
    {
        if (m_arguments.quiet)
            return;
        m_console.clearProgress();
        writeUtf8(stderr, line + u'\n');
        std::fflush(stderr);
    }

    void started(int row)
    {
        record(row).startedMs = m_clock.elapsed();
        if (m_firstStartMs < 0)
            m_firstStartMs = m_clock.elapsed();
        if (!m_arguments.verbose)
            return;
        // The encoder as it runs: the command line of lame or oggenc (writing
        // to its standard output, which goes to the output's temporary file),
        // FFmpeg's encoders by the settings they are given.
        QString encoder =
            convert::BuildEncoderCommandLine(m_options.formatOptions(), QStringLiteral("-"), platform::programFolder());
        if (encoder.isEmpty())
            encoder = m_options.formatSummary();
        say(QStringLiteral("converting %1 with: %2").arg(tabField(shown(m_list.at(row).path)), encoder));
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

    //! Audio seconds converted so far per second of the batch; nothing in
    //! its first second.
    std::optional<double> rate(const QList<int>& running)
    {
        const double wall = m_firstStartMs < 0 ? 0 : double(m_clock.elapsed() - m_firstStartMs) / 1000.0;
        if (wall < 1)
            return std::nullopt;
        double done = m_totals.seconds;
        for (const int row : running)
            done += std::max(0.0, m_list.at(row).seconds) * std::clamp(double(record(row).percent), 0.0, 100.0) / 100;
        return done / wall;
    }

    void onYield()
    {
        if (ConvertConsole::interrupted() && !m_state.bCancelConversion)
            m_batch.cmdConvert.click(); // reads "Stop" while the batch runs
        // The bar follows the first of the rows converting now.
        const convert::ConversionBatch::Progress progress = m_batch.progress();
        if (progress.running.isEmpty() || !m_console.showsProgress())
            return;
        const int row = progress.running.first();
        const filelist::FileListRow& r = m_list.at(row);
        m_console.drawProgress(
            {row + 1, m_list.count(), int(r.progress), shown(r.path), rate(progress.running), progress.secondsLeft});
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
        const std::optional<filelist::MeasuredLoudness> measured = m_list.loudness(row);
        count(r, seconds, bytes);
        m_lastOutput = outFile;
        if (m_arguments.verbose && measured)
            say(QStringLiteral("loudness of %1: %2").arg(tabField(shown(outFile)), measured->text()));
        if (m_arguments.json) {
            const qint64 endedMs = kept.endedMs >= 0 ? kept.endedMs : m_clock.elapsed();
            const double wall = kept.startedMs >= 0 ? double(endedMs - kept.startedMs) / 1000.0 : 0.0;
            JsonLine line;
            line.add("input", shown(r.path))
                .add("output", outFile.isEmpty() ? std::nullopt : std::optional<QString>(outFile))
                .add("status", status)
                .add("reason", reason.isEmpty() ? std::nullopt : std::optional<QString>(reason))
                .add("seconds", seconds, 3)
                .add("bytes", bytes)
                .add("wall", wall, 3);
            addSamples(line, r.path, outFile);
            if (m_arguments.loudness) {
                if (measured)
                    line.add(
                        "loudness",
                        JsonLine().add("lufs", measured->integrated, 2).add("true_peak_dbtp", measured->truePeak, 2));
                else
                    line.add("loudness", std::nullopt);
            }
            writeBytes(m_out, line.object() + '\n');
        } else {
            QStringList fields = {shown(r.path), m_inputs.toStandardOutput ? QStringLiteral("-") : outFile, status,
                                  reason};
            if (m_arguments.loudness)
                fields << (measured ? measured->text() : QString());
            // With --output - standard output holds the audio: the row goes to
            // standard error, when it did not complete or --verbose asks.
            if (!m_inputs.toStandardOutput) {
                writeUtf8(m_out, tabLine(fields));
                std::fflush(m_out);
            } else if (m_arguments.verbose || !filelist::isComplete(r.state)) {
                say(tabLine(fields).chopped(1));
            }
        }
        m_printed = row + 1;
    }

    void writeTotals(int refused, int asTracks)
    {
        // "schema" numbers the shape of the lines: a member added keeps it, a
        // member changed or taken away raises it.
        JsonLine totals;
        totals.add("schema", qint64(1))
            .add("rows", qint64(m_totals.rows))
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
        writeBytes(m_out, JsonLine().add("totals", totals).object() + '\n');
    }

    const CommandArguments& m_arguments;
    const ConvertInputs& m_inputs;
    settings::RunOptions& m_options;
    std::FILE* m_out;
    ConvertConsole& m_console;
    convert::ConversionState m_state;
    filelist::FileList m_list;
    convert::ConversionBatch m_batch;
    QElapsedTimer m_clock;
    qint64 m_firstStartMs = -1;
    std::vector<RowRecord> m_records;
    Totals m_totals;
    int m_printed = 0;
    QString m_lastOutput;
};

} // namespace

int runConvert(const CommandArguments& arguments, const ConvertInputs& inputs, settings::RunOptions& options,
               std::FILE* out, ConvertConsole& console)
{
    ConvertRun run(arguments, inputs, options, out, console);
    filelist::FileAdmission admission(console, [&run] { return &run.list(); });
    const AdmitReport report =
        AdmitPaths(inputs.paths, {arguments.recursive, inputs.treeRoot, [] { return ConvertConsole::interrupted(); }},
                   run.list(), admission, console, {}, [&](const Refusal& refusal) {
                       reportRefusal(refusal, run.shown(refusal.path), arguments.json, arguments.quiet, out, stderr);
                   });
    if (inputs.toStandardOutput && run.list().count() != 1) {
        writeUtf8(stderr, QStringLiteral("tonemill convert: --output - writes one output, and %1 rows were admitted\n")
                              .arg(run.list().count()));
        return kUsageError;
    }
    const bool allDone = run.run(report.refused, report.asTracks);
    if (inputs.toStandardOutput && !run.lastOutput().isEmpty() && allDone) {
        QString error;
        if (!copyToStandardOutput(run.lastOutput(), error)) {
            writeUtf8(stderr, QStringLiteral("tonemill convert: %1\n").arg(error));
            return kNotAllDone;
        }
    }
    return report.allAdmitted() && allDone ? kAllDone : kNotAllDone;
}

int runConvertCommand(int argc, char* argv[], const CommandArguments& arguments)
{
    CommandApplication app(argc, argv);
    const auto usageError = [](const QString& error) {
        writeUtf8(stderr, QStringLiteral("tonemill convert: %1\n").arg(error));
        return kUsageError;
    };

    // The saved options, loaded as the window loads them but never written;
    // the run's own options change them for this run only.
    ConvertConsole console(stderr);
    console.setQuiet(arguments.quiet);
    settings::RunOptions runOptions;
    QString error;
    if (!loadRunOptions(arguments, runOptions, console, error) || !applyChoices(arguments, runOptions, error))
        return usageError(error);
    if (arguments.listOptions) {
        writeUtf8(stdout, optionList(runOptions));
        return kAllDone;
    }
    if (arguments.toStandardOutput()) {
        if (!streamable(runOptions.selectedFormat()))
            return usageError(QStringLiteral("--output -: %1 cannot be written to standard output (its index "
                                             "follows the audio, and a reader of a pipe needs it first); "
                                             "write it to a folder")
                                  .arg(formatNames().value(runOptions.selectedFormat())));
        if (::isatty(STDOUT_FILENO) == 1)
            return usageError(QStringLiteral("--output -: standard output is a terminal; send it to a file or a "
                                             "program"));
    }

    ConvertInputs inputs;
    std::optional<std::vector<InputPath>> paths = inputPaths(arguments, error);
    if (!paths)
        return usageError(error);
    inputs.paths = std::move(*paths);
    std::optional<TreeRoot> root;
    if (!arguments.treeRoot.isEmpty()) {
        root = TreeRoot::resolve(arguments.treeRoot, error);
        if (!root)
            return usageError(error);
        inputs.treeRoot = &*root;
    }
    // Standard input in, standard output out: through folders of the run's own.
    std::optional<ScratchFolder> scratch;
    if (arguments.fromStandardInput() || arguments.toStandardOutput()) {
        scratch = ScratchFolder::make(error);
        if (!scratch)
            return usageError(error);
    }
    if (arguments.fromStandardInput()) {
        const std::optional<QString> spooled = spoolStandardInput(scratch->path(), error);
        if (!spooled)
            return usageError(error);
        inputs.standardInput = *spooled;
        inputs.paths = {{*spooled, PathOrigin::Argument}};
    }
    if (arguments.toStandardOutput()) {
        const QString folder = scratch->path() + QStringLiteral("/out");
        if (::mkdir(platform::nativeName(folder).constData(), 0700) != 0)
            return usageError(QStringLiteral("%1: cannot be made").arg(folder));
        runOptions.chooseOutputFolder(folder);
        inputs.toStandardOutput = true;
    }

    if (!engine::InitDecodingEngine()) {
        std::fprintf(stderr, "tonemill: the audio engine could not start\n");
        return kNotAllDone;
    }
    // Whatever a row is doing, the first signal ends the run within a second.
    const platform::StopDeadline deadline(kStopLimit, [] { convert::OutputFile::removeUnfinished(); });
    console.catchInterrupt();
    const int status = runConvert(arguments, inputs, runOptions, stdout, console);
    BASS_Free();
    // Stopped by a signal: Ctrl+C gives 130, as a shell reports a command it
    // interrupted; SIGTERM and SIGHUP the code of an end by that signal (143,
    // 129). Always after the rows' lines.
    if (const int signal = ConvertConsole::interruptSignal(); signal != 0)
        return signal == SIGINT ? kInterrupted : 128 + signal;
    return status;
}

} // namespace cli
