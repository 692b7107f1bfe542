#pragma once

#include "convert/CaptionButtonState.h"
#include "convert/ConversionSession.h"
#include "convert/OutputPath.h"
#include "convert/RowStatusBoard.h"
#include "convert/TimeLeftEstimate.h"
#include "filelist/RowState.h"
#include "options/CheckBoxState.h"
#include "platform/ThreadWakeUp.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

class QEventLoop;

namespace filelist {
struct FileListRow;
}

namespace loudness {
class AlbumLoudness;
}

namespace convert {

class ConversionJob;

//! The conversion batch behind "Convert All" and "Convert Selected": walks
//! the rows it may convert in list order and hands each to the encoder path
//! of the chosen format on a worker thread, up to "Simultaneous conversions"
//! rows at once, each with an output name decided (and reserved) in list
//! order. "Convert All" converts the rows waiting, stopped or failed (and,
//! when every row is converted, all of them again once the user agrees);
//! "Convert Selected" converts every ticked row that can be opened. Rows
//! added while a batch runs wait for the next one. While a batch runs, the
//! clicked button reads "Stop" and the controls that could disturb it are
//! disabled; the user-interface thread only starts rows and paints their
//! progress, so a message box never holds a conversion up. At the end it
//! says how the batch went, and powers the machine off when asked to and
//! some row was converted.
class ConversionBatch : public QObject {
    Q_OBJECT
public:
    //! Sets the enabled state of a control that lives outside the options
    //! (the grid's buttons, the player), by its name.
    using ControlEnabler = std::function<void(const QString& name, bool enabled)>;

    //! The controls a running batch disables, in the order they are switched.
    static const QStringList& switchedControls();

    ConversionBatch(platform::Desktop& desktop, ConversionState& state, options::FormatOptions& options,
                    ConversionSession::ListAccess currentList, QObject* parent = nullptr);
    ~ConversionBatch() override;

    CaptionButtonState cmdConvert;
    CaptionButtonState cmdConvertSelected;
    //! "Shutdown after conversion complete"; starts unticked on every run.
    options::CheckBoxState chkShutdown;

    //! How far the running batch has come.
    struct Progress {
        int started = 0;                   //!< rows handed to an encoder path so far
        int total = 0;                     //!< rows the batch set out to convert
        std::optional<qint64> secondsLeft; //!< the time left, once it can be told
        QList<int> running;                //!< the rows converting now, in list order
    };
    Progress progress() const;
    //! Whether rows are converting now (a stopped batch's last rows included).
    bool rowsRunning() const { return !m_jobs.empty(); }
    //! "12 of 40", with the time left ("12 of 40 · 3:20 left") once it can
    //! be told; empty without rows.
    static QString progressCaption(const Progress& progress);

    //! How the last batch ended: its rows converted, failed and stopped, and
    //! the folders its outputs went to (the output folder, or each folder
    //! they went to beside their inputs), in the order the rows ended.
    struct Summary {
        int converted = 0;
        int failed = 0;
        int stopped = 0;
        QStringList outputFolders;
        int skipped = 0; //!< rows passed over: their complete outputs were there already
        bool operator==(const Summary&) const = default;
    };
    const Summary& summary() const { return m_summary; }
    //! "12 converted, 1 failed, 2 stopped, 3 skipped" in the current
    //! language (the counts that are 0 left out, but for the converted).
    static QString summaryText(const Summary& summary);

    //! Whether "Convert All" converts a row in this state: waiting, stopped
    //! or failed.
    static bool convertsOnConvertAll(filelist::RowState state);
    //! Whether "Convert Selected" converts the row: ticked, and not a file
    //! that could not be opened. With no row ticked, "Convert Selected"
    //! first ticks the highlighted rows; with none of those either it says
    //! how to choose them.
    static bool convertsOnConvertSelected(const filelist::FileListRow& row);
    //! The extension of the outputs of format `format` ("mp3"); empty for
    //! an index that names no format.
    static QString outputExtension(int format);

    // ---- What the window wires ------------------------------------------

    void setControlEnabler(ControlEnabler enabler) { m_enableControl = std::move(enabler); }
    //! The player's Stop action, run when a batch starts.
    void setStopPlayback(std::function<void()> stop) { m_stopPlayback = std::move(stop); }
    //! Called each time a batch has unwound completely.
    void setBatchFinished(std::function<void()> finished) { m_batchFinished = std::move(finished); }
    //! Saves the options; run before the machine is powered off.
    void setSaveSettings(std::function<void()> save) { m_saveSettings = std::move(save); }
    //! The rows highlighted in the grid, in list order: what "Convert
    //! Selected" converts when no row is ticked.
    void setHighlightedRows(std::function<QList<int>()> rows) { m_highlightedRows = std::move(rows); }
    //! Replaces the clock of the time-left estimate (tests).
    void setClock(TimeLeftEstimate::Clock clock) { m_timeLeft = TimeLeftEstimate(std::move(clock)); }

    //! Sets the localized captions (the running batch's button keeps "Stop").
    void applyCaptions();

    // ---- Handlers and steps ---------------------------------------------

    void cmdConvert_Click();
    void cmdConvertSelected_Click();

    //! Which rows a batch converts.
    enum class Choice {
        Unfinished, //!< "Convert All": the rows waiting, stopped or failed
        Selected,   //!< "Convert Selected": the ticked rows that can be opened
        Again,      //!< "Convert All" once all are converted: every row that can be opened
    };

    //! Converts the rows `choice` takes, in list order, and returns when the
    //! last one has ended, running the window's events meanwhile; true when
    //! at least one row was handed to an encoder path.
    bool ConvertFiles(Choice choice);
    void SetControlsEnabled(bool enabled);
    //! See BuildOutputPath() in OutputPath.h; the names of the rows
    //! converting now count as taken.
    QString BuildOutputPath(const OutputRequest& request, filelist::RowReason* why = nullptr);
    //! Mode 8 asks for a clean power-off; other modes do nothing.
    void ShutdownComputer(int mode);

Q_SIGNALS:
    //! The walk is done with `row` of the list: converted, failed or passed
    //! over. Emitted in list order. `outFile` is the output file the row made
    //! (empty when it kept none).
    void rowVisited(int row, const QString& outFile);
    //! `row` has been handed to an encoder path.
    void rowStarted(int row);
    void batchStarted();
    //! The batch has ended; summary() tells how.
    void batchEnded();

private:
    using Job = convert::ConversionJob;

    void convertButtonClick(CaptionButtonState& button, CaptionButtonState& other, bool selectedOnly);
    void restoreControls();
    //! Whether `choice` takes `row`.
    static bool takes(Choice choice, const filelist::FileListRow& row);
    //! What "Convert All" converts: the unfinished rows, or all again once
    //! the user agrees; nothing when there is nothing to convert.
    std::optional<Choice> convertAllChoice(const filelist::FileList& list);
    //! Makes sure some row is ticked for "Convert Selected": the highlighted
    //! rows when none is; false (after saying how to choose) when there are
    //! neither ticks nor highlights.
    bool tickChosenRows(filelist::FileList& list);
    //! Powers off after a batch that converted something, when asked to and
    //! the user lets the countdown run out.
    void powerOffWhenAsked();
    //! Removes the shorter file a stopped conversion of `row` kept, so that
    //! converting it again makes the only file of its name.
    void removeStoppedOutput(int row);
    //! Ends `row` "Error" without converting it: no output name could be had.
    void failUnstarted(int row, const filelist::RowReason& reason);
    //! With "Skip files already converted": the complete output `row`
    //! already has (see FindCompleteOutput()), which ends it "Skipped";
    //! empty when it is to be converted.
    QString skipConverted(int row, const QString& inputPath);
    //! Applies a row's final state from the board and counts it.
    void countOutcome(filelist::RowState state, const QString& output);
    //! The audio seconds of a row, for the time left; a row of unknown length
    //! counts as long as the average of the others.
    double rowSeconds(int row) const;
    //! Starts rows in list order until the limit of simultaneous ones is
    //! reached or the walk is over.
    void startRows();
    //! Starts `row`: decides its output name and hands it to a worker.
    //! False when it could not be started (no format, no output name).
    bool startRow(int row, const QString& inputPath);
    //! On a row's thread: queues `row` as ended and wakes the batch.
    void rowEnded(int row);
    //! Asserts, in debug builds, that the caller is on the batch's own thread.
    void assertOwnThread() const;
    //! Takes the rows that have ended since the last call.
    void collectEndedRows();
    void rowFinished(int row);
    //! Applies what the running rows have reported to the list.
    void applyStatuses();
    //! Emits rowVisited for the rows done, in list order; a row whose album
    //! tags are still to be written holds up the rows after it.
    void reportVisits();
    //! Ends a complete `row` "Error": its album's tags could not be written.
    void failAlbumTags(int row, const QString& reason);
    void endWhenIdle();
    int jobLimit() const;

    // Every member belongs to the user-interface thread (the batch's
    // thread()) but the three marked: the stop flag, which workers read,
    // and what workers post under a mutex of its own.
    platform::Desktop& m_desktop;
    ConversionState& m_state; // any thread: atomic flags
    options::FormatOptions& m_options;
    ConversionSession::ListAccess m_currentList;
    ControlEnabler m_enableControl;
    std::function<void()> m_stopPlayback;
    std::function<void()> m_batchFinished;
    std::function<void()> m_saveSettings;
    std::function<QList<int>()> m_highlightedRows;
    CaptionButtonState* m_running = nullptr; // the button that started the batch

    // The walk of the running batch.
    QPointer<filelist::FileList> m_list;
    Choice m_choice = Choice::Unfinished;
    int m_rowLimit = 0; // the rows the list had when the batch started
    bool m_walkOver = true;
    bool m_starting = false; // inside startRows(): a message box may run events meanwhile
    bool m_anyStarted = false;
    int m_nextRow = 0;                          // the next row to look at
    int m_nextVisit = 0;                        // the next row to report as visited
    std::map<int, QString> m_visited;           // rows done and not yet reported, with their output
    std::map<int, std::unique_ptr<Job>> m_jobs; // the rows converting now
    std::map<int, float> m_percent;             // their progress
    QSet<QString> m_claimed;                    // outputs this batch made or skipped to: no other row's
    int m_started = 0;
    int m_total = 0;
    double m_finishedSeconds = 0;  // audio of the rows finished
    double m_averageSeconds = 0;   // what a row of unknown length counts as
    std::vector<int> m_takenRows;  // the rows the batch set out to convert, in order
    std::size_t m_takenPassed = 0; // how many of them the walk has passed
    TimeLeftEstimate m_timeLeft;
    Summary m_summary;

    std::unique_ptr<loudness::AlbumLoudness> m_albums; // user-interface thread: of the running batch
    RowStatusBoard m_board;                            // any thread: workers post, the batch takes, under its mutex
    std::mutex m_endedMutex;
    std::vector<int> m_ended;          // any thread, under m_endedMutex: rows whose threads are done
    platform::ThreadWakeUp m_rowEnded; // woken by a worker after it added to m_ended
    QTimer m_paint;                    // applies the reported statuses
    QEventLoop* m_loop = nullptr;      // runs while the batch does
};

} // namespace convert
