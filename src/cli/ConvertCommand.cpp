#include "cli/ConvertCommand.h"

#include "cli/CommandApplication.h"
#include "cli/ConsoleText.h"
#include "cli/ConvertArguments.h"
#include "cli/ConvertConsole.h"
#include "cli/PathAdmission.h"
#include "cli/ProbeCommand.h"
#include "convert/ConversionBatch.h"
#include "engine/AudioEngine.h"
#include "engine/Bass.h"
#include "filelist/AddFilesSelection.h"
#include "filelist/FileAdmission.h"
#include "filelist/FileList.h"
#include "filelist/RowWords.h"
#include "filelist/ScanFolder.h"
#include "lang/StringLookup.h"
#include "settings/CRegister.h"
#include "settings/RunOptions.h"

#include <QDir>
#include <algorithm>
#include <csignal>

namespace cli {

namespace {

constexpr int kAllComplete = 0;
constexpr int kNotAllComplete = 1;
constexpr int kUsageError = 2;

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
}

class ConvertRun {
public:
    ConvertRun(settings::RunOptions& options, std::FILE* out, ConvertConsole& console, bool loudness)
        : m_out(out), m_console(console), m_loudness(loudness),
          m_batch(console, m_state, options.formatOptions(), [this] { return &m_list; })
    {
        QObject::connect(&m_batch, &convert::ConversionBatch::rowVisited, &m_batch,
                         [this](int row, const QString& outFile) { rowDone(row, outFile); });
        console.setYieldHook([this] { onYield(); });
    }
    ~ConvertRun() { m_console.setYieldHook({}); }

    filelist::FileList& list() { return m_list; }

    //! Runs "Convert All" (unless Ctrl+C came first) and writes the lines of
    //! the rows it did not reach; true when every row ended "Complete".
    bool run()
    {
        if (m_list.count() > 0 && !ConvertConsole::interrupted())
            m_batch.cmdConvert.click();
        m_console.clearProgress();
        for (int row = m_printed; row < m_list.count(); ++row)
            rowDone(row, QString());
        const auto& rows = m_list.rows();
        return !rows.empty() && std::all_of(rows.begin(), rows.end(), [](const filelist::FileListRow& row) {
            return filelist::isComplete(row.state);
        });
    }

private:
    void onYield()
    {
        if (ConvertConsole::interrupted() && !m_state.bCancelConversion)
            m_batch.cmdConvert.click(); // reads "Stop" while the batch runs
        // The bar follows the first of the rows converting now.
        const QList<int> running = m_batch.progress().running;
        if (running.isEmpty() || !m_console.showsProgress())
            return;
        const int row = running.first();
        const filelist::FileListRow& record = m_list.at(row);
        m_console.drawProgress(row + 1, m_list.count(), int(record.progress), record.FilePath);
    }

    void rowDone(int row, const QString& outFile)
    {
        if (ConvertConsole::interrupted() && m_state.bConverting && !m_state.bCancelConversion)
            m_batch.cmdConvert.click(); // Ctrl+C between two files
        const filelist::FileListRow& record = m_list.at(row);
        const QString& made = outFile;
        m_console.clearProgress();
        // English words whatever the window's language: scripts read them.
        QString line = probeCell(record.FilePath) + u'\t' + probeCell(made) + u'\t' +
                       probeCell(filelist::words::englishStatus(record.state)) + u'\t' +
                       probeCell(filelist::words::englishReason(record.reason));
        if (m_loudness) {
            const std::optional<filelist::MeasuredLoudness> measured = m_list.loudness(row);
            line += u'\t' + (measured ? measured->text() : QString());
        }
        writeUtf8(m_out, line + u'\n');
        std::fflush(m_out);
        m_printed = row + 1;
    }

    std::FILE* m_out;
    ConvertConsole& m_console;
    bool m_loudness;
    convert::ConversionState m_state;
    filelist::FileList m_list;
    convert::ConversionBatch m_batch;
    int m_printed = 0;
};

} // namespace

int runConvert(const ConvertArguments& arguments, settings::RunOptions& options, std::FILE* out,
               ConvertConsole& console)
{
    applyChoices(arguments, options);
    ConvertRun run(options, out, console, arguments.loudness);
    filelist::FileAdmission admission(console, [&run] { return &run.list(); });
    const bool allAdmitted = AdmitPaths(arguments.paths, arguments.recursive, run.list(), admission, console);
    const bool allComplete = run.run();
    return allAdmitted && allComplete ? kAllComplete : kNotAllComplete;
}

int runConvertCommand(int argc, char* argv[])
{
    CommandApplication app(argc, argv);

    QStringList words = commandArguments(argc, argv, 2); // after the program and "convert"
    QString error;
    const std::optional<ConvertArguments> arguments = ConvertArguments::parse(words, error);
    if (!arguments) {
        writeUtf8(stderr, QStringLiteral("tonemill convert: %1\n").arg(error));
        return kUsageError;
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
        return 1;
    }
    console.catchInterrupt();
    const int status = runConvert(*arguments, runOptions, stdout, console);
    BASS_Free();
    // Stopped by a signal other than Ctrl+C: the usual code of an end by
    // that signal (143 for SIGTERM, 129 for SIGHUP), after the rows' lines.
    if (const int signal = ConvertConsole::interruptSignal(); signal != 0 && signal != SIGINT)
        return 128 + signal;
    return status;
}

} // namespace cli
