#pragma once

#include "convert/CaptionButtonState.h"
#include "convert/ConversionSession.h"
#include "convert/OutputPath.h"
#include "options/CheckBoxState.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

//! The conversion batch behind "Convert All" and "Convert Selected": walks
//! the rows still waiting (or cancelled), hands each to the encoder path of
//! the chosen format with a fresh output path, and powers the machine off
//! afterwards when asked to. While a batch runs, the clicked button reads
//! "Stop" and the controls that could disturb it are disabled.
class ConversionBatch : public QObject {
    Q_OBJECT
public:
    //! Sets the enabled state of a control that lives outside the options
    //! (the grid's buttons, the player), by its name.
    using ControlEnabler = std::function<void(const QString& name, bool enabled)>;

    //! The controls a running batch disables, in the order they are switched.
    static const QStringList& switchedControls();

    ConversionBatch(Desktop& desktop, ConversionState& state, options::FormatOptions& options,
                    ConversionSession::ListAccess currentList, QObject* parent = nullptr);
    ~ConversionBatch() override;

    CaptionButtonState cmdConvert;
    CaptionButtonState cmdConvertSelected;
    //! "Shutdown after conversion complete"; starts unticked on every run.
    options::CheckBoxState chkShutdown;

    ConversionSession& session() { return m_session; }

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

    //! Converts the eligible rows (only the ticked ones when `bSelectedOnly`);
    //! true when at least one row was handed to an encoder path.
    bool ConvertFiles(bool bSelectedOnly);
    //! Finds the row of the current list whose `FilePath` is `sCurrentFile`.
    void LocateCurrentRow();
    void SetControlsEnabled(bool bEnabled);
    //! See BuildOutputPath() in OutputPath.h.
    QString BuildOutputPath(const OutputRequest& request);
    //! Mode 8 asks for a clean power-off; other modes do nothing.
    void ShutdownComputer(int mode);

    //! Whether the row's status lets it be converted: "Waiting Conversion" or
    //! "Cancelled" in the current language, exactly.
    static bool isEligible(const QString& status);

Q_SIGNALS:
    //! The walk is done with `row` of the list: converted, failed or passed
    //! over. `outFile` is the output file the row made (empty when it kept
    //! none).
    void rowVisited(int row, const QString& outFile);

private:
    void convertButtonClick(CaptionButtonState& button, CaptionButtonState& other, bool bSelectedOnly);
    void restoreControls();
    //! Hands `sCurrentFile` to the encoder path of the chosen format; the
    //! output file it made, or empty.
    QString convertCurrentFile();

    ConversionSession m_session;
    ControlEnabler m_enableControl;
    std::function<void()> m_stopPlayback;
    std::function<void()> m_batchFinished;
    CaptionButtonState* m_running = nullptr; // the button that started the batch
};
