#include "convert/ConversionBatch.h"

#include "convert/CompleteOutput.h"
#include "convert/ConversionJob.h"
#include "convert/ConvertToFLAC_OPUS_AAC.h"
#include "convert/ConvertToMP3_OGG.h"
#include "convert/ConvertToWAV.h"
#include "convert/ConvertToWMA.h"
#include "convert/ErrorLog.h"
#include "convert/OutputFile.h"
#include "convert/OutputPath.h"
#include "convert/RewriteTagFields.h"
#include "filelist/FileList.h"
#include "filelist/RowWords.h"
#include "lang/StringLookup.h"
#include "loudness/AlbumLoudness.h"
#include "options/FormatOptions.h"
#include "platform/Desktop.h"
#include "platform/FileSystem.h"
#include "platform/Path.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <algorithm>
#include <numeric>

namespace convert {

namespace {

using EncoderFunction = void (*)(ConversionSession&, const QString&, const QString&);

struct EncoderPath {
    const char* extension;
    EncoderFunction convert;
};

// By format index: the first format option that is on decides.
constexpr EncoderPath kEncoderPaths[options::FormatOptions::kFormatCount] = {
    {"wav", ConvertToWAV},
    {"wma", ConvertToWMA},
    {"mp3", ConvertToMP3_OGG},
    {"ogg", ConvertToMP3_OGG},
    {"flac", ConvertToFLAC_OPUS_AAC},
    {"opus", ConvertToFLAC_OPUS_AAC},
    {"m4a", ConvertToFLAC_OPUS_AAC},
};

constexpr int kPowerOffMode = 8;
// The countdown before the machine is powered off after a batch.
constexpr int kPowerOffCountdownSeconds = 60;
// How often the reported progress reaches the grid, and the window's events
// are let run for those who only run them when asked (the command line).
constexpr int kPaintIntervalMs = 50;
// How long the walk may look for complete outputs before the window's events
// run again: a library converted before can have thousands of them.
constexpr int kSkipSliceMs = 30;

QString text(lang::StringId id)
{
    return lang::caption(id);
}

} // namespace

QString ConversionBatch::outputExtension(int format)
{
    if (format < 0 || format >= options::FormatOptions::kFormatCount)
        return {};
    return QString::fromLatin1(kEncoderPaths[format].extension);
}

const QStringList& ConversionBatch::switchedControls()
{
    static const QStringList names = {
        QStringLiteral("cmdChangeFormat"), QStringLiteral("cmdRemove"),       QStringLiteral("cmdPlay"),
        QStringLiteral("cmdPause"),        QStringLiteral("cmdStop"),         QStringLiteral("cmdPlayPrev"),
        QStringLiteral("cmdPlayNext"),     QStringLiteral("cmdBrowse"),       QStringLiteral("optSameFolder"),
        QStringLiteral("optOtherFolder"),  QStringLiteral("chkSelectAll"),    QStringLiteral("cmdAddFile"),
        QStringLiteral("cmdAddFolder"),    QStringLiteral("cmdAddVideoFile"),
    };
    return names;
}

ConversionBatch::ConversionBatch(platform::Desktop& desktop, ConversionState& state, options::FormatOptions& options,
                                 ConversionSession::ListAccess currentList, QObject* parent)
    : QObject(parent), cmdConvert(QStringLiteral("cmdConvert")),
      cmdConvertSelected(QStringLiteral("cmdConvertSelected")), chkShutdown(QStringLiteral("chkShutdown"), false),
      m_desktop(desktop), m_state(state), m_options(options), m_currentList(std::move(currentList))
{
    connect(&cmdConvert, &options::ButtonState::Click, this, &ConversionBatch::cmdConvert_Click);
    connect(&cmdConvertSelected, &options::ButtonState::Click, this, &ConversionBatch::cmdConvertSelected_Click);
    m_paint.setInterval(kPaintIntervalMs);
    connect(&m_paint, &QTimer::timeout, this, [this] {
        applyStatuses();
        // Without an eventfd no worker can wake the batch: it looks here.
        if (!m_rowEnded.isValid())
            collectEndedRows();
        m_desktop.processEvents();
    });
    connect(&m_rowEnded, &platform::ThreadWakeUp::woken, this, &ConversionBatch::collectEndedRows);
    applyCaptions();
}

ConversionBatch::~ConversionBatch()
{
    // Rows still converting (a window torn down mid-batch) are stopped and
    // waited for: they use this batch's board and the engine.
    if (!m_jobs.empty()) {
        m_state.bCancelConversion = true;
        m_jobs.clear();
    }
}

void ConversionBatch::applyCaptions()
{
    cmdConvert.setCaption(text(m_running == &cmdConvert ? lang::StringId::Stop : lang::StringId::ConvertAll));
    cmdConvertSelected.setCaption(
        text(m_running == &cmdConvertSelected ? lang::StringId::Stop : lang::StringId::ConvertSelected));
}

void ConversionBatch::cmdConvert_Click()
{
    convertButtonClick(cmdConvert, cmdConvertSelected, false);
}

void ConversionBatch::cmdConvertSelected_Click()
{
    convertButtonClick(cmdConvertSelected, cmdConvert, true);
}

void ConversionBatch::convertButtonClick(CaptionButtonState& button, CaptionButtonState& other, bool selectedOnly)
{
    filelist::FileList* list = m_currentList ? m_currentList() : nullptr;
    if (!list || list->count() == 0) {
        m_desktop.messageBox(text(lang::StringId::ListEmpty), text(lang::StringId::ProductName),
                             platform::Desktop::Icon::Information, platform::Desktop::Buttons::Ok);
        return;
    }

    if (m_running == &button && button.Caption() == text(lang::StringId::Stop)) {
        // Runs inside the batch's event loop: only ask it to stop.
        m_state.bCancelConversion = true;
        restoreControls();
        return;
    }
    // A stopped batch whose rows have not ended yet still owns its walk and
    // its workers: a second batch must not start inside it.
    if (m_state.bConverting)
        return;
    // A name pattern that cannot be used is refused before any row starts.
    if (!CheckOutputNaming(m_desktop, m_options))
        return;
    if (selectedOnly && !tickChosenRows(*list))
        return;
    std::optional<Choice> choice = selectedOnly ? Choice::Selected : convertAllChoice(*list);
    if (!choice || m_state.bConverting)
        return;

    m_state.bCancelConversion = false;
    m_running = &button;
    button.setCaption(text(lang::StringId::Stop));
    SetControlsEnabled(false);
    other.setEnabled(false);

    ConvertFiles(*choice);
    // The window reads as idle again before the countdown is shown over it.
    restoreControls();
    powerOffWhenAsked();
    if (m_batchFinished)
        m_batchFinished();
}

bool ConversionBatch::tickChosenRows(filelist::FileList& list)
{
    const auto& rows = list.rows();
    if (std::any_of(rows.begin(), rows.end(), [](const auto& row) { return row.CheckBox != 0; }))
        return true;
    // No tick: the highlighted rows are the ones meant, and get the ticks
    // that show what is converted.
    const QList<int> highlighted = m_highlightedRows ? m_highlightedRows() : QList<int>();
    if (highlighted.isEmpty()) {
        m_desktop.messageBox(text(lang::StringId::TickFilesToConvert), text(lang::StringId::ProductName),
                             platform::Desktop::Icon::Information, platform::Desktop::Buttons::Ok);
        return false;
    }
    for (const int row : highlighted)
        list.setCell(row, filelist::FileList::CheckBox, 1);
    return true;
}

std::optional<ConversionBatch::Choice> ConversionBatch::convertAllChoice(const filelist::FileList& list)
{
    const auto& rows = list.rows();
    if (std::any_of(rows.begin(), rows.end(), [](const auto& row) { return convertsOnConvertAll(row.state); }))
        return Choice::Unfinished;
    if (std::none_of(rows.begin(), rows.end(), [](const auto& row) {
            return filelist::isComplete(row.state) || row.state == filelist::RowState::Skipped;
        }))
        return std::nullopt;
    const platform::Desktop::Answer answer =
        m_desktop.messageBox(text(lang::StringId::ConvertAgain), text(lang::StringId::ProductName),
                             platform::Desktop::Icon::Question, platform::Desktop::Buttons::YesNo);
    if (answer != platform::Desktop::Answer::Yes)
        return std::nullopt;
    return Choice::Again;
}

void ConversionBatch::powerOffWhenAsked()
{
    // Only a batch that converted something powers off: a batch that could
    // not even make its output folder leaves the machine on.
    if (!chkShutdown.Value() || m_summary.converted == 0)
        return;
    // The options are kept before the machine goes down, whatever the user
    // answers.
    if (m_saveSettings)
        m_saveSettings();
    if (m_desktop.confirmPowerOff(text(lang::StringId::PowerOffCountdown), text(lang::StringId::PowerOffNow),
                                  text(lang::StringId::CancelPowerOff), kPowerOffCountdownSeconds))
        ShutdownComputer(kPowerOffMode);
}

void ConversionBatch::restoreControls()
{
    m_running = nullptr;
    applyCaptions();
    SetControlsEnabled(true);
    cmdConvert.setEnabled(true);
    cmdConvertSelected.setEnabled(true);
}

bool ConversionBatch::convertsOnConvertAll(filelist::RowState state)
{
    using filelist::RowState;
    return state == RowState::Waiting || state == RowState::Cancelled || state == RowState::Failed;
}

bool ConversionBatch::convertsOnConvertSelected(const filelist::FileListRow& row)
{
    return row.CheckBox != 0 && row.state != filelist::RowState::NotSupported;
}

bool ConversionBatch::takes(Choice choice, const filelist::FileListRow& row)
{
    switch (choice) {
    case Choice::Unfinished:
        return convertsOnConvertAll(row.state);
    case Choice::Selected:
        return convertsOnConvertSelected(row);
    case Choice::Again:
        break;
    }
    return row.state != filelist::RowState::NotSupported;
}

int ConversionBatch::jobLimit() const
{
    return std::max(1, m_options.sliderSimultaneous.Value());
}

double ConversionBatch::rowSeconds(int row) const
{
    const double seconds = m_list && row < m_list->count() ? m_list->at(row).seconds : -1;
    return seconds >= 0 ? seconds : m_averageSeconds;
}

bool ConversionBatch::ConvertFiles(Choice choice)
{
    assertOwnThread();
    if (m_stopPlayback)
        m_stopPlayback();
    m_state.bConverting = true;

    m_list = m_currentList ? m_currentList() : nullptr;
    m_choice = choice;
    // The rows are counted once: rows added while the batch runs wait for the next.
    m_rowLimit = m_list ? m_list->count() : 0;
    QStringList inputs; // never swept away as leftovers, whatever their names
    if (m_list)
        for (const filelist::FileListRow& record : m_list->rows())
            inputs << record.path;
    OutputFile::setRunInputs(inputs);
    m_walkOver = false;
    m_anyStarted = false;
    m_nextRow = m_nextVisit = 0;
    m_visited.clear();
    m_percent.clear();
    m_claimed.clear();
    m_started = 0;
    m_summary = {};
    m_total = 0;
    m_finishedSeconds = 0;
    m_albums = std::make_unique<loudness::AlbumLoudness>([](const QString& output, tags::TagFormat format,
                                                            const QList<tags::TagField>& fields,
                                                            const QString& input) -> std::optional<QString> {
        QString why;
        if (RewriteTagFields(output, format, fields, &why))
            return std::nullopt;
        const QString failure = QStringLiteral("the album's ReplayGain tags could not be written: %1").arg(why);
        ErrorLog().append(BASS_ERROR_CREATE, input, failure);
        return failure;
    });
    // Rows that wait for their album's tags are reported once they are written.
    m_albums->setOnSettled([this] { m_rowEnded.wake(); });
    double knownSeconds = 0;
    int known = 0;
    m_takenRows.clear();
    m_takenPassed = 0;
    for (int row = 0; row < m_rowLimit; ++row) {
        const filelist::FileListRow& record = m_list->at(row);
        if (!takes(choice, record))
            continue;
        ++m_total;
        m_takenRows.push_back(row);
        m_albums->addRow(row, record.path);
        if (record.seconds >= 0) {
            knownSeconds += record.seconds;
            ++known;
        }
    }
    m_averageSeconds = known > 0 ? knownSeconds / known : 1.0;
    std::vector<double> lengths;
    lengths.reserve(m_takenRows.size());
    for (const int row : m_takenRows)
        lengths.push_back(rowSeconds(row));
    m_timeLeft.start(std::move(lengths), jobLimit());
    Q_EMIT batchStarted();

    QEventLoop loop;
    m_loop = &loop;
    m_paint.start();
    startRows();
    // One look at the window's events at once: a click that came with the
    // start is seen before the first paint.
    if (!m_walkOver || !m_jobs.empty())
        m_desktop.processEvents();
    endWhenIdle();
    if (!m_walkOver || !m_jobs.empty())
        loop.exec();
    m_loop = nullptr;
    m_paint.stop();
    applyStatuses();
    m_albums->finish();
    reportVisits();
    m_albums.reset();

    m_state.bConverting = false;
    m_state.bCancelConversion = false;
    Q_EMIT batchEnded();
    if ((m_anyStarted || m_summary.skipped > 0) &&
        (m_summary.converted + m_summary.failed + m_summary.stopped + m_summary.skipped) > 0)
        m_desktop.notify(text(lang::StringId::BatchFinished), summaryText(m_summary));
    return m_anyStarted;
}

void ConversionBatch::startRows()
{
    // A message box shown while a row is started runs the window's events,
    // and with them the ends of other rows: those come back here, and the
    // outer call goes on with the walk.
    if (m_starting)
        return;
    m_starting = true;
    QElapsedTimer slice;
    slice.start();
    while (!m_walkOver && int(m_jobs.size()) < jobLimit()) {
        // The walk ends at a stop, or when its list is gone, replaced or has
        // no such row any more.
        if (m_state.bCancelConversion || !m_list || m_list != (m_currentList ? m_currentList() : nullptr) ||
            m_nextRow >= std::min(m_rowLimit, m_list->count())) {
            m_walkOver = true;
            break;
        }
        const int row = m_nextRow++;
        const filelist::FileListRow& record = m_list->at(row);
        if (!takes(m_choice, record)) {
            m_visited[row] = QString();
            continue;
        }
        const QString inputPath = record.path; // startRow() may run events that change the list
        if (const QString skipped = skipConverted(row, inputPath); !skipped.isEmpty()) {
            m_visited[row] = skipped;
            m_albums->rowEnded(row, QString(), nullptr); // its album is not measured whole
            if (slice.hasExpired(kSkipSliceMs)) {
                // The rest of the walk after the window's events.
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        startRows();
                        endWhenIdle();
                    },
                    Qt::QueuedConnection);
                break;
            }
            continue;
        }
        m_anyStarted = true;
        if (!startRow(row, inputPath)) {
            m_visited[row] = QString();
            m_albums->rowEnded(row, QString(), nullptr); // its album gets no album tags
        }
    }
    m_starting = false;
    reportVisits();
}

void ConversionBatch::removeStoppedOutput(int row)
{
    const filelist::FileListRow& record = m_list->at(row);
    if (record.state != filelist::RowState::Cancelled || record.outputPath.isEmpty())
        return;
    // Only a plain file: whatever took the name since is not the row's. One
    // gone meanwhile needs no removing.
    if (platform::isRegularFile(record.outputPath) && !platform::isSymbolicLink(record.outputPath))
        static_cast<void>(platform::removeFile(record.outputPath));
    m_list->setOutputPath(row, QString());
}

void ConversionBatch::failUnstarted(int row, const filelist::RowReason& reason)
{
    if (!m_list || row >= m_list->count())
        return;
    m_list->setReason(row, reason);
    m_list->setState(row, filelist::RowState::Failed);
    ++m_summary.failed;
    m_finishedSeconds += rowSeconds(row);
}

QString ConversionBatch::skipConverted(int row, const QString& inputPath)
{
    // "Convert them again" means every row, whatever is there already.
    const int format = m_options.selectedFormat();
    if (!m_options.chkSkipConverted.Value() || m_choice == Choice::Again || format < 0 ||
        format >= options::FormatOptions::kFormatCount)
        return {};
    const filelist::FileListRow& record = m_list->at(row);
    const QString wanted = WantedOutputPath(
        m_options, {inputPath, record.baseFolder, QString::fromLatin1(kEncoderPaths[format].extension)});
    QString found = FindCompleteOutput(wanted, inputPath, format, record.seconds,
                                       [this](const QString& path) { return m_claimed.contains(path); });
    if (found.isEmpty())
        return {};
    m_claimed.insert(found);
    m_list->setReason(row, {});
    m_list->setOutputPath(row, found);
    m_list->setState(row, filelist::RowState::Skipped);
    countOutcome(filelist::RowState::Skipped, found);
    // Neither counted nor timed: "12 of 40" and the time left are about the rows converted.
    --m_total;
    return found;
}

bool ConversionBatch::startRow(int row, const QString& inputPath)
{
    assertOwnThread();
    const int format = m_options.selectedFormat();
    if (format < 0 || format >= options::FormatOptions::kFormatCount)
        return false;
    const EncoderPath& path = kEncoderPaths[format];
    removeStoppedOutput(row);
    const QString baseFolder = m_list->at(row).baseFolder;
    filelist::RowReason why;
    const QString outFile = BuildOutputPath({inputPath, baseFolder, QString::fromLatin1(path.extension)}, &why);
    // The box about a missing folder may have run the window's events: a stop
    // clicked meanwhile ends the walk before this row starts.
    if (m_state.bCancelConversion || !m_list || row >= m_list->count() || m_list->at(row).path != inputPath)
        return false;
    if (outFile.isEmpty()) {
        failUnstarted(row, why);
        return false;
    }
    m_list->setReason(row, {});
    m_list->setLoudness(row, std::nullopt);
    m_list->setProgress(row, 0);

    auto job = std::make_unique<Job>(m_desktop, m_state, m_options, m_board, row, inputPath, outFile, path.convert,
                                     text(lang::StringId::StoppedAtName));
    job->setAlbums(m_albums.get());
    Job* running = job.get();
    // The name is taken for this row from here on, before its file exists.
    m_jobs[row] = std::move(job);
    ++m_started;
    Q_EMIT rowStarted(row);
    running->start([this, row] { rowEnded(row); });
    return true;
}

void ConversionBatch::rowEnded(int row)
{
    {
        std::lock_guard lock(m_endedMutex);
        m_ended.push_back(row);
    }
    // Not a queued call: its event would carry the worker's writes through
    // Qt's own locks, which the thread checker does not see.
    m_rowEnded.wake();
}

void ConversionBatch::assertOwnThread() const
{
    Q_ASSERT(QThread::currentThread() == thread());
}

void ConversionBatch::collectEndedRows()
{
    assertOwnThread();
    std::vector<int> ended;
    {
        std::lock_guard lock(m_endedMutex);
        ended.swap(m_ended);
    }
    for (const int row : ended)
        rowFinished(row);
    // An album's tags may have been written meanwhile.
    reportVisits();
}

void ConversionBatch::rowFinished(int row)
{
    const auto found = m_jobs.find(row);
    if (found == m_jobs.end())
        return;
    found->second->wait();
    applyStatuses();
    m_albums->rowEnded(row, found->second->outputMade(), found->second->measured());
    m_visited[row] = found->second->outputMade();
    if (!m_visited[row].isEmpty())
        m_claimed.insert(m_visited[row]);
    m_jobs.erase(found);
    m_percent.erase(row);
    m_finishedSeconds += rowSeconds(row);
    startRows();
    endWhenIdle();
}

void ConversionBatch::endWhenIdle()
{
    if (m_walkOver && m_jobs.empty() && !m_starting && m_loop)
        m_loop->quit();
}

void ConversionBatch::countOutcome(filelist::RowState state, const QString& output)
{
    using filelist::RowState;
    if (filelist::isComplete(state))
        ++m_summary.converted;
    else if (state == RowState::Cancelled)
        ++m_summary.stopped;
    else if (state == RowState::Failed)
        ++m_summary.failed;
    else if (state == RowState::Skipped)
        ++m_summary.skipped;
    if (output.isEmpty())
        return;
    const QString folder =
        m_options.optSameFolder.Value() ? platform::Path(output).parent().toString() : m_options.txtOutPath.Text();
    if (!m_summary.outputFolders.contains(folder))
        m_summary.outputFolders.append(folder);
}

void ConversionBatch::applyStatuses()
{
    assertOwnThread();
    const std::map<int, RowStatusBoard::Update> updates = m_board.take();
    filelist::FileList* list = m_list.data();
    const bool listShown = list && list == (m_currentList ? m_currentList() : nullptr);
    for (const auto& [row, update] : updates) {
        if (update.percent && m_jobs.count(row))
            m_percent[row] = *update.percent;
        if (update.state)
            countOutcome(*update.state, update.output.value_or(QString()));
        // A row index means nothing in a list that has since been replaced.
        if (!listShown || row >= list->count())
            continue;
        if (update.reason)
            list->setReason(row, *update.reason);
        if (update.output)
            list->setOutputPath(row, *update.output);
        if (update.loudness)
            list->setLoudness(row, *update.loudness);
        if (update.state)
            list->setState(row, *update.state);
        else if (update.percent)
            list->setProgress(row, *update.percent);
    }
    double done = m_finishedSeconds;
    for (const auto& [row, percent] : m_percent)
        done += rowSeconds(row) * double(percent) / 100.0;
    std::vector<double> runningLeft;
    for (const auto& job : m_jobs) {
        const auto reported = m_percent.find(job.first);
        const double percent = reported == m_percent.end() ? 0.0 : double(reported->second);
        runningLeft.push_back(rowSeconds(job.first) * (1 - percent / 100.0));
    }
    // The rows the walk has passed are started, skipped or failed; the rest wait.
    while (m_takenPassed < m_takenRows.size() && m_takenRows[m_takenPassed] < m_nextRow)
        ++m_takenPassed;
    m_timeLeft.update(done, runningLeft, m_takenPassed);
}

void ConversionBatch::reportVisits()
{
    for (auto next = m_visited.find(m_nextVisit); next != m_visited.end(); next = m_visited.find(m_nextVisit)) {
        // A row is done once its album's tags are: a failure to write them
        // fails the row.
        if (m_albums && !m_albums->settled(next->first))
            break;
        if (m_albums)
            if (const std::optional<QString> failure = m_albums->tagFailure(next->first))
                failAlbumTags(next->first, *failure);
        const QString outFile = next->second;
        m_visited.erase(next);
        ++m_nextVisit;
        Q_EMIT rowVisited(m_nextVisit - 1, outFile);
    }
}

void ConversionBatch::failAlbumTags(int row, const QString& reason)
{
    if (!m_list || row >= m_list->count() || !filelist::isComplete(m_list->at(row).state))
        return;
    m_list->setReason(row, filelist::RowReason::words(reason));
    m_list->setState(row, filelist::RowState::Failed);
    --m_summary.converted;
    ++m_summary.failed;
}

ConversionBatch::Progress ConversionBatch::progress() const
{
    Progress progress;
    progress.started = m_started;
    progress.total = m_total;
    if (!m_jobs.empty())
        progress.secondsLeft = m_timeLeft.secondsLeft();
    for (const auto& job : m_jobs)
        progress.running.append(job.first);
    return progress;
}

QString ConversionBatch::progressCaption(const Progress& progress)
{
    if (progress.total <= 0)
        return {};
    QString caption = text(lang::StringId::BatchCount).arg(progress.started).arg(progress.total);
    if (!progress.secondsLeft)
        return caption;
    const qint64 seconds = *progress.secondsLeft;
    const QString clock = seconds >= 3600
                              ? QStringLiteral("%1:%2:%3")
                                    .arg(seconds / 3600)
                                    .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                                    .arg(seconds % 60, 2, 10, QLatin1Char('0'))
                              : QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return caption + QStringLiteral(" \u00B7 ") + text(lang::StringId::TimeLeft).arg(clock);
}

QString ConversionBatch::summaryText(const Summary& summary)
{
    QStringList parts{text(lang::StringId::SummaryConverted).arg(summary.converted)};
    if (summary.failed > 0)
        parts.append(text(lang::StringId::SummaryFailed).arg(summary.failed));
    if (summary.stopped > 0)
        parts.append(text(lang::StringId::SummaryStopped).arg(summary.stopped));
    if (summary.skipped > 0)
        parts.append(text(lang::StringId::SummarySkipped).arg(summary.skipped));
    return parts.join(QStringLiteral(", "));
}

void ConversionBatch::SetControlsEnabled(bool enabled)
{
    // The format and the output folder's controls are the options' own: they
    // lock with the other choices that decide where the outputs go, so one
    // batch never splits over two folders or formats.
    static const QStringList optionControls = {QStringLiteral("cmdChangeFormat"), QStringLiteral("cmdBrowse"),
                                               QStringLiteral("optSameFolder"), QStringLiteral("optOtherFolder")};
    m_options.lockOutputChoices(!enabled);
    for (const QString& name : switchedControls())
        if (m_enableControl && !optionControls.contains(name))
            m_enableControl(name, enabled);
}

QString ConversionBatch::BuildOutputPath(const OutputRequest& request, filelist::RowReason* why)
{
    assertOwnThread();
    const auto reserved = [this](const QString& path) {
        return std::any_of(m_jobs.begin(), m_jobs.end(),
                           [&path](const auto& job) { return job.second->outputPath() == path; });
    };
    return convert::BuildOutputPath(m_desktop, m_options, request, reserved, why);
}

void ConversionBatch::ShutdownComputer(int mode)
{
    if (mode == kPowerOffMode)
        m_desktop.powerOff(); // a failed request is ignored
}

} // namespace convert
