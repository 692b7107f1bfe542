#include "convert/ConversionBatch.h"

#include "convert/AlbumLoudness.h"
#include "convert/ConversionJob.h"
#include "convert/ConvertToFLAC_OPUS_AAC.h"
#include "convert/ConvertToMP3_OGG.h"
#include "convert/ConvertToWAV.h"
#include "convert/ConvertToWMA.h"
#include "convert/OutputPath.h"
#include "filelist/FileList.h"
#include "lang/StringLookup.h"
#include "options/FormatOptions.h"
#include "platform/Desktop.h"

#include <QEventLoop>
#include <algorithm>

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
// How often the reported progress reaches the grid, and the window's events
// are let run for those who only run them when asked (the command line).
constexpr int kPaintIntervalMs = 50;

QString text(lang::StringId id)
{
    return lang::caption(id);
}

} // namespace

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
        m_desktop.processEvents();
    });
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

    m_state.bCancelConversion = false;
    m_running = &button;
    button.setCaption(text(lang::StringId::Stop));
    SetControlsEnabled(false);
    other.setEnabled(false);

    const bool started = ConvertFiles(selectedOnly);
    if (started && chkShutdown.Value())
        ShutdownComputer(kPowerOffMode);

    restoreControls();
    if (m_batchFinished)
        m_batchFinished();
}

void ConversionBatch::restoreControls()
{
    m_running = nullptr;
    applyCaptions();
    SetControlsEnabled(true);
    cmdConvert.setEnabled(true);
    cmdConvertSelected.setEnabled(true);
}

bool ConversionBatch::isEligible(const QString& status)
{
    return status == text(lang::StringId::WaitingConversion) || status == text(lang::StringId::Cancelled);
}

int ConversionBatch::jobLimit() const
{
    return std::max(1, m_options.sliderSimultaneous.Value());
}

int ConversionBatch::countEligible(bool selectedOnly) const
{
    int count = 0;
    if (m_list)
        for (const filelist::FileListRow& record : m_list->rows())
            count += isEligible(record.Status) && (!selectedOnly || record.CheckBox != 0) ? 1 : 0;
    return count;
}

bool ConversionBatch::ConvertFiles(bool selectedOnly)
{
    if (m_stopPlayback)
        m_stopPlayback();
    m_state.bConverting = true;

    m_list = m_currentList ? m_currentList() : nullptr;
    m_selectedOnly = selectedOnly;
    m_walkOver = false;
    m_anyStarted = false;
    m_nextRow = m_nextVisit = 0;
    m_visited.clear();
    m_percent.clear();
    m_finished = m_started = 0;
    m_total = countEligible(selectedOnly);
    m_albums = std::make_unique<AlbumLoudness>();
    for (int row = 0; m_list && row < m_list->count(); ++row) {
        const filelist::FileListRow& record = m_list->at(row);
        if (isEligible(record.Status) && (!selectedOnly || record.CheckBox != 0))
            m_albums->addRow(row, record.FilePath);
    }
    m_clock.start();
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
    m_albums.reset();
    reportVisits();

    m_state.bConverting = false;
    m_state.bCancelConversion = false;
    Q_EMIT batchEnded();
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
    while (!m_walkOver && int(m_jobs.size()) < jobLimit()) {
        // The walk ends at a stop, or when its list is gone, replaced or has
        // no such row any more.
        if (m_state.bCancelConversion || !m_list || m_list != (m_currentList ? m_currentList() : nullptr) ||
            m_nextRow >= m_list->count()) {
            m_walkOver = true;
            break;
        }
        const int row = m_nextRow++;
        const filelist::FileListRow& record = m_list->at(row);
        if (!isEligible(record.Status) || (m_selectedOnly && record.CheckBox == 0)) {
            m_visited[row] = QString();
            continue;
        }
        m_anyStarted = true;
        const QString inputPath = record.FilePath; // startRow() may run events that change the list
        if (!startRow(row, inputPath)) {
            m_visited[row] = QString();
            m_albums->rowEnded(row, QString(), nullptr); // its album gets no album tags
        }
    }
    m_starting = false;
    reportVisits();
}

bool ConversionBatch::startRow(int row, const QString& inputPath)
{
    const int format = m_options.selectedFormat();
    if (format < 0 || format >= options::FormatOptions::kFormatCount)
        return false;
    const EncoderPath& path = kEncoderPaths[format];
    const QString baseFolder = m_list && row < m_list->count() ? m_list->at(row).BaseFolder : QString();
    const QString outFile = BuildOutputPath({inputPath, baseFolder, QString::fromLatin1(path.extension)});
    if (outFile.isEmpty())
        return false;
    // The box about a missing folder may have run the window's events: a stop
    // clicked meanwhile ends the walk before this row starts.
    if (m_state.bCancelConversion || !m_list || row >= m_list->count())
        return false;
    m_list->setStatusReason(row, QString());
    m_list->setLoudness(row, std::nullopt);

    auto job = std::make_unique<Job>(m_desktop, m_state, m_options, m_board, row, inputPath, outFile, path.convert);
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
    QMetaObject::invokeMethod(this, &ConversionBatch::collectEndedRows, Qt::QueuedConnection);
}

void ConversionBatch::collectEndedRows()
{
    std::vector<int> ended;
    {
        std::lock_guard lock(m_endedMutex);
        ended.swap(m_ended);
    }
    for (const int row : ended)
        rowFinished(row);
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
    m_jobs.erase(found);
    m_percent.erase(row);
    ++m_finished;
    startRows();
    endWhenIdle();
}

void ConversionBatch::endWhenIdle()
{
    if (m_walkOver && m_jobs.empty() && !m_starting && m_loop)
        m_loop->quit();
}

void ConversionBatch::applyStatuses()
{
    const std::map<int, RowStatusBoard::Update> updates = m_board.take();
    filelist::FileList* list = m_list.data();
    const bool listShown = list && list == (m_currentList ? m_currentList() : nullptr);
    for (const auto& [row, update] : updates) {
        if (update.percent && m_jobs.count(row))
            m_percent[row] = *update.percent;
        // A row index means nothing in a list that has since been replaced.
        if (!listShown || row >= list->count())
            continue;
        if (update.outcome) {
            using Outcome = convert::RowStatusBoard::Outcome;
            const bool complete = *update.outcome == Outcome::Complete;
            const lang::StringId id = complete                                ? lang::StringId::Complete
                                      : *update.outcome == Outcome::Cancelled ? lang::StringId::Cancelled
                                                                              : lang::StringId::Error;
            list->setCell(row, filelist::FileList::Status, text(id));
            list->setTextColor(row, filelist::FileList::Status,
                               complete ? ConversionSession::kCompleteColor : ConversionSession::kFailureColor);
        }
        if (update.text) {
            list->setCell(row, filelist::FileList::Status, *update.text);
            if (update.color)
                list->setTextColor(row, filelist::FileList::Status, *update.color);
        }
        if (update.reason)
            list->setStatusReason(row, *update.reason);
        if (update.loudness)
            list->setLoudness(row, *update.loudness);
    }
}

void ConversionBatch::reportVisits()
{
    for (auto next = m_visited.find(m_nextVisit); next != m_visited.end(); next = m_visited.find(m_nextVisit)) {
        const QString outFile = next->second;
        m_visited.erase(next);
        ++m_nextVisit;
        Q_EMIT rowVisited(m_nextVisit - 1, outFile);
    }
}

ConversionBatch::Progress ConversionBatch::progress() const
{
    Progress progress;
    progress.started = m_started;
    progress.total = m_total;
    progress.done = m_finished;
    for (const auto& [row, percent] : m_percent)
        progress.done += double(percent) / 100.0;
    progress.elapsedMs = m_clock.isValid() ? m_clock.elapsed() : 0;
    for (const auto& job : m_jobs)
        progress.running.append(job.first);
    return progress;
}

QString ConversionBatch::progressCaption(const Progress& progress)
{
    if (progress.total <= 0)
        return {};
    QString caption = text(lang::StringId::BatchCount).arg(progress.started).arg(progress.total);
    // The first second says too little about the rest.
    if (progress.done <= 0.0 || progress.elapsedMs < 1000)
        return caption;
    const double left = double(progress.elapsedMs) * (double(progress.total) - progress.done) / progress.done;
    const qint64 seconds = std::max<qint64>(0, qRound64(left / 1000.0));
    const QString clock = seconds >= 3600
                              ? QStringLiteral("%1:%2:%3")
                                    .arg(seconds / 3600)
                                    .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                                    .arg(seconds % 60, 2, 10, QLatin1Char('0'))
                              : QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return caption + QStringLiteral(" \u00B7 ") + text(lang::StringId::TimeLeft).arg(clock);
}

void ConversionBatch::SetControlsEnabled(bool enabled)
{
    for (const QString& name : switchedControls()) {
        if (name == QLatin1String("cmdChangeFormat"))
            m_options.cmdChangeFormat.setEnabled(enabled);
        else if (name == QLatin1String("cmdBrowse"))
            // Browse stays off while the output goes beside the input.
            m_options.cmdBrowse.setEnabled(enabled && !m_options.optSameFolder.Value());
        else if (name == QLatin1String("optSameFolder"))
            m_options.optSameFolder.setEnabled(enabled);
        else if (name == QLatin1String("optOtherFolder"))
            m_options.optOtherFolder.setEnabled(enabled);
        else if (m_enableControl)
            m_enableControl(name, enabled);
    }
}

QString ConversionBatch::BuildOutputPath(const OutputRequest& request)
{
    const auto reserved = [this](const QString& path) {
        return std::any_of(m_jobs.begin(), m_jobs.end(),
                           [&path](const auto& job) { return job.second->outputPath() == path; });
    };
    return convert::BuildOutputPath(m_desktop, m_options, request, reserved);
}

void ConversionBatch::ShutdownComputer(int mode)
{
    if (mode == kPowerOffMode)
        m_desktop.powerOff(); // a failed request is ignored
}

} // namespace convert
