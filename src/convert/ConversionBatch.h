#pragma once

#include "convert/CaptionButtonState.h"
#include "convert/ConversionSession.h"
#include "convert/OutputPath.h"
#include "convert/RowStatusBoard.h"
#include "options/CheckBoxState.h"

#include <QElapsedTimer>
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
#include <vector>

class QEventLoop;

namespace convert {

class AlbumLoudness;
class ConversionJob;

//! The conversion batch behind "Convert All" and "Convert Selected": walks
//! the rows still waiting (or cancelled) in list order and hands each to the
//! encoder path of the chosen format on a worker thread, up to "Simultaneous
//! conversions" rows at once, each with an output name decided (and reserved)
//! in list order. It powers the machine off afterwards when asked to. While a
//! batch runs, the clicked button reads "Stop" and the controls that could
//! disturb it are disabled; the user-interface thread only starts rows and
//! paints their progress, so a message box never holds a conversion up.
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
        int started = 0; //!< rows handed to an encoder path so far
        int total = 0;   //!< rows the batch set out to convert
        double done = 0; //!< rows finished, plus the fractions of the running ones
        qint64 elapsedMs = 0;
        QList<int> running; //!< the rows converting now, in list order
    };
    Progress progress() const;
    //! "12 of 40", with the time left ("12 of 40 · 3:20 left") once it can
    //! be told from the time the finished part took; empty without rows.
    static QString progressCaption(const Progress& progress);

    // ---- What the window wires ------------------------------------------

    void setControlEnabler(ControlEnabler enabler) { m_enableControl = std::move(enabler); }
    //! The player's Stop action, run when a batch starts.
    void setStopPlayback(std::function<void()> stop) { m_stopPlayback = std::move(stop); }
    //! Called each time a batch has unwound completely.
    void setBatchFinished(std::function<void()> finished) { m_batchFinished = std::move(finished); }

    //! Sets the localized captions (the running batch's button keeps "Stop").
    void applyCaptions();

    // ---- Handlers and steps ---------------------------------------------

    void cmdConvert_Click();
    void cmdConvertSelected_Click();

    //! Converts the eligible rows (only the ticked ones when `selectedOnly`)
    //! and returns when the last one has ended, running the window's events
    //! meanwhile; true when at least one row was handed to an encoder path.
    bool ConvertFiles(bool selectedOnly);
    void SetControlsEnabled(bool enabled);
    //! See BuildOutputPath() in OutputPath.h; the names of the rows
    //! converting now count as taken.
    QString BuildOutputPath(const OutputRequest& request);
    //! Mode 8 asks for a clean power-off; other modes do nothing.
    void ShutdownComputer(int mode);

    //! Whether the row's status lets it be converted: "Waiting Conversion" or
    //! "Cancelled" in the current language, exactly.
    static bool isEligible(const QString& status);

Q_SIGNALS:
    //! The walk is done with `row` of the list: converted, failed or passed
    //! over. Emitted in list order. `outFile` is the output file the row made
    //! (empty when it kept none).
    void rowVisited(int row, const QString& outFile);
    //! `row` has been handed to an encoder path.
    void rowStarted(int row);
    void batchStarted();
    void batchEnded();

private:
    using Job = convert::ConversionJob;

    void convertButtonClick(CaptionButtonState& button, CaptionButtonState& other, bool selectedOnly);
    void restoreControls();
    //! Starts rows in list order until the limit of simultaneous ones is
    //! reached or the walk is over.
    void startRows();
    //! Starts `row`: decides its output name and hands it to a worker.
    //! False when it could not be started (no format, no output name).
    bool startRow(int row, const QString& inputPath);
    //! On a row's thread: queues `row` as ended and wakes the batch.
    void rowEnded(int row);
    //! Takes the rows that have ended since the last call.
    void collectEndedRows();
    void rowFinished(int row);
    //! Applies what the running rows have reported to the list.
    void applyStatuses();
    //! Emits rowVisited for the rows done, in list order.
    void reportVisits();
    void endWhenIdle();
    int countEligible(bool selectedOnly) const;
    int jobLimit() const;

    platform::Desktop& m_desktop;
    ConversionState& m_state;
    options::FormatOptions& m_options;
    ConversionSession::ListAccess m_currentList;
    ControlEnabler m_enableControl;
    std::function<void()> m_stopPlayback;
    std::function<void()> m_batchFinished;
    CaptionButtonState* m_running = nullptr; // the button that started the batch

    // The walk of the running batch.
    QPointer<filelist::FileList> m_list;
    bool m_selectedOnly = false;
    bool m_walkOver = true;
    bool m_starting = false; // inside startRows(): a message box may run events meanwhile
    bool m_anyStarted = false;
    int m_nextRow = 0;                          // the next row to look at
    int m_nextVisit = 0;                        // the next row to report as visited
    std::map<int, QString> m_visited;           // rows done and not yet reported, with their output
    std::map<int, std::unique_ptr<Job>> m_jobs; // the rows converting now
    std::map<int, float> m_percent;             // their progress
    int m_finished = 0;
    int m_started = 0;
    int m_total = 0;
    QElapsedTimer m_clock;

    std::unique_ptr<AlbumLoudness> m_albums; // of the running batch
    RowStatusBoard m_board;
    std::mutex m_endedMutex;
    std::vector<int> m_ended;     // rows whose threads are done, not yet collected
    QTimer m_paint;               // applies the reported statuses
    QEventLoop* m_loop = nullptr; // runs while the batch does
};

} // namespace convert
