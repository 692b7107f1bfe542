#pragma once

#include "convert/ConversionState.h"
#include "convert/RowStatusBoard.h"
#include "convert/WmaBitrateList.h"
#include "engine/Bass.h"
#include "filelist/RowState.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace filelist {
class FileList;
struct MeasuredLoudness;
} // namespace filelist
namespace options {
class FormatOptions;
}
namespace platform {
class Desktop;
}

namespace loudness {
class AlbumLoudness;
struct MeasuredOutput;
} // namespace loudness

namespace convert {

//! What the batch and the encoder paths share while files are converted: the
//! services of the screen, the batch flags, the option controls (read at the
//! moment a file is converted), the current file list, the file and row being
//! converted, the conversion stream and its channel information.
//!
//! One session serves one conversion at a time, and belongs to the thread
//! that runs it: every member is that thread's, but for what the notes say.
//! On the user-interface thread it writes the row directly; a conversion on
//! a worker thread (a ConversionJob, which sets the session up before its
//! thread starts) reports through a RowStatusBoard instead (see
//! reportThrough()), and never touches the list or runs the window's events.
//!
//! The encoder paths report into the row through the status protocol below:
//! progress as a percentage while the batch runs, then the row's final state
//! with its reason, as data (worded where it is shown). When no row carries
//! the file being converted, every status write is skipped and the
//! conversion goes on.
class ConversionSession {
public:
    //! Gives the file list the window shows now (it is replaced on removal).
    using ListAccess = std::function<filelist::FileList*()>;

    enum class Outcome { Complete, Cancelled, Error };

    ConversionSession(platform::Desktop& desktop, ConversionState& state, options::FormatOptions& options,
                      ListAccess currentList);
    ~ConversionSession();
    ConversionSession(const ConversionSession&) = delete;
    ConversionSession& operator=(const ConversionSession&) = delete;

    platform::Desktop& desktop() const { return m_desktop; }
    ConversionState& state() const { return m_state; }
    options::FormatOptions& options() const { return m_options; }
    //! The current file list, or nullptr when there is none.
    filelist::FileList* currentList() const;

    //! Input path of the row being converted.
    QString inputPath;

    //! The row of the current list whose `Status` receives progress and
    //! result, if any.
    std::optional<int> currentRow() const;
    //! Makes `row` of the current list the row being reported into; empty
    //! clears it.
    void setCurrentRow(std::optional<int> row);

    //! Makes the session report into `row` through `board` rather than into
    //! the list: for a conversion on a worker thread, which must not touch the
    //! list or run the window's events. yield() then only returns.
    void reportThrough(RowStatusBoard& board, int row);

    //! The decoding stream of the conversion in progress (0 when none).
    HSTREAM conversionStream = 0;
    //! Channel information of that stream, filled by the encoder paths.
    BASS_CHANNELINFO channelInfo;
    //! The WMA bit rates offered for the last input converted to WMA, with
    //! the one chosen (rebuilt by every WMA conversion).
    WmaBitrateList cmbWMAEncodingBitrate;

    //! Releases what the previous conversion left: stops and frees the
    //! conversion stream, turns floating-point processing off and stops any
    //! encoder attached to the old handle. Every encoder path starts with it.
    void releaseConversionStream();
    //! Stops and frees the conversion stream and forgets its handle.
    void freeConversionStream();

    // ---- Row status protocol -------------------------------------------

    //! Reports the decoding position: makes the row converting, 100 ×
    //! position ÷ length percent done, but only while a batch runs
    //! (`bConverting`) and the position is known (not -1). False when no
    //! progress can be computed (a length of 0 or -1): the caller treats that
    //! as a failure.
    bool reportProgress(QWORD position, QWORD length);

    //! Ends the row with `outcome` and `reason` (why it ended so; may be
    //! empty), shown as the status cell's tooltip. A complete conversion
    //! whose reason tells of a damaged input ends "complete from a damaged
    //! input".
    void setOutcome(Outcome outcome, const filelist::RowReason& reason = {});
    //! Sets the reason shown with the row's status; empty clears it.
    void setReason(const filelist::RowReason& reason);

    // ---- Loudness -------------------------------------------------------

    //! Makes reportProgress() show pass `pass` of `passes` (from 1): each
    //! pass takes its share of the bar. One pass of one until changed.
    void setPass(int pass, int passes);
    //! Shows the output's loudness with the row's status.
    void setLoudness(const filelist::MeasuredLoudness& loudness);
    //! The albums of the batch and the row of this conversion among them;
    //! null when the conversion belongs to no batch.
    loudness::AlbumLoudness* albums() const { return m_albums; }
    int albumRow() const { return m_albumRow; }
    void setAlbums(loudness::AlbumLoudness* albums, int row)
    {
        m_albums = albums;
        m_albumRow = row;
    }
    //! What the encoder path measured of an output that got its final name
    //! (before any album gain), for the batch's albums; empty otherwise.
    std::shared_ptr<const loudness::MeasuredOutput> measured;

    //! The output file the encoder path kept under its final name for the
    //! row being converted (empty when it kept none); the name may differ from
    //! the one it was given when another run took that one meanwhile.
    QString outputMade;

    //! How the shorter file of a stopped conversion is named: "%1 (stopped at
    //! %2)", the output's name without extension and the time reached. Given
    //! by the user-interface thread in the language shown (a worker never
    //! reads the language); English until then.
    const QString& stoppedNameFormat() const { return m_stoppedNameFormat; }
    void setStoppedNameFormat(const QString& format) { m_stoppedNameFormat = format; }

    //! Runs while an encoder path waits on an encoder: yields, and true when
    //! the user asked the batch to stop.
    bool stopRequestedWhileWaiting();

    //! Lets pending window events run once: where a Stop click is handled.
    //! Skipped when the previous yield ran less than the yield interval ago.
    void yield();
    //! The shortest time between two yields that run the event loop, in ms
    //! (0, the default: every yield runs it). The paths yield once per chunk,
    //! thousands of times a second; running the loop (and so repainting the
    //! progress) a hundred times a second keeps clicks just as prompt.
    void setYieldInterval(int ms) { m_yieldInterval = ms; }
    //! Whether the user asked the batch to stop.
    bool cancelRequested() const { return m_state.bCancelConversion; }

private:
    filelist::FileList* rowList() const;

    platform::Desktop& m_desktop;
    ConversionState& m_state;          // any thread: atomic flags
    options::FormatOptions& m_options; // a worker's own snapshot, or the window's on its thread
    ListAccess m_currentList;          // called only on the user-interface thread
    std::optional<int> m_row;
    RowStatusBoard* m_board = nullptr;      // set for a conversion on a worker thread; the board locks
    QPointer<filelist::FileList> m_rowList; // the list m_row belongs to: user-interface thread only
    QString m_stoppedNameFormat;
    int m_yieldInterval = 0;
    QElapsedTimer m_sinceYield;
    int m_pass = 1;
    int m_passes = 1;
    loudness::AlbumLoudness* m_albums = nullptr;
    int m_albumRow = -1;
};

} // namespace convert
