#pragma once

#include "convert/ConversionSession.h"

#include <QString>
#include <functional>
#include <memory>
#include <thread>

class QThread;

namespace convert {

class RowStatusBoard;

//! One row's conversion, made on the user-interface thread and run on a
//! thread of its own: its own copy of the options, its own session (stream,
//! channel information, WMA rates) reporting through the status board, and
//! the output name the batch reserved for it. Plain standard threads keep
//! every hand-over visible to the thread checker.
class ConversionJob {
public:
    //! An encoder path: converts the input into the output path given.
    using EncoderFunction = void (*)(ConversionSession&, const QString& origfile, const QString& outFile);

    //! `stoppedNameFormat` words the name of a stopped conversion's shorter
    //! file, in the language shown when the row starts.
    ConversionJob(platform::Desktop& desktop, ConversionState& state, const options::FormatOptions& options,
                  RowStatusBoard& board, int row, QString inputPath, QString outputPath, EncoderFunction convert,
                  const QString& stoppedNameFormat);
    //! Waits for the thread when it still runs.
    ~ConversionJob();
    ConversionJob(const ConversionJob&) = delete;
    ConversionJob& operator=(const ConversionJob&) = delete;

    //! Converts on a new thread, then calls `whenDone` there. A failure that
    //! escapes the encoder path fails this row only, with its reason logged.
    void start(std::function<void()> whenDone);
    //! Waits for the thread to end; outputMade() is valid afterwards.
    void wait();

    int row() const { return m_row; }
    //! The name reserved for the output.
    const QString& outputPath() const { return m_outputPath; }
    //! After run(): the file the row kept under its final name, or empty.
    const QString& outputMade() const { return m_made; }
    //! Before start(): the albums of the batch the row belongs to.
    void setAlbums(loudness::AlbumLoudness* albums) { m_session.setAlbums(albums, m_row); }
    //! After run(): what the row measured of the output it made, if it
    //! completed one.
    std::shared_ptr<const loudness::MeasuredOutput> measured() const { return m_session.measured; }

private:
    // Made on the thread that creates the job (the batch's): it alone calls
    // start(), wait() and the destructor. The worker runs between start()
    // and the end of wait(), whose join hands everything back.
    QThread* m_owner;
    // The worker's while it runs; set up by the owner before start().
    std::unique_ptr<options::FormatOptions> m_options;
    ConversionSession m_session;
    // Set by the owner before start(), read by both threads, never changed.
    int m_row;
    QString m_inputPath;
    QString m_outputPath;
    EncoderFunction m_convert;
    // Written by the worker; the owner reads it after wait().
    QString m_made;
    // The owner's.
    std::thread m_thread;
};

} // namespace convert
