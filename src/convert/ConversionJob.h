#pragma once

#include "convert/ConversionSession.h"

#include <QString>
#include <memory>

namespace convert {

class RowStatusBoard;

//! One row's conversion, made on the user-interface thread and run on a
//! worker thread: its own copy of the options, its own session (stream,
//! channel information, WMA rates) reporting through the status board, and
//! the output name the batch reserved for it.
class ConversionJob {
public:
    //! An encoder path: converts the input into the output path given.
    using EncoderFunction = void (*)(ConversionSession&, const QString& origfile, const QString& outFile);

    ConversionJob(Desktop& desktop, ConversionState& state, const options::FormatOptions& options,
                  RowStatusBoard& board, int row, QString inputPath, QString outputPath, EncoderFunction convert);
    ~ConversionJob();
    ConversionJob(const ConversionJob&) = delete;
    ConversionJob& operator=(const ConversionJob&) = delete;

    //! Converts; runs on a worker thread. A failure that escapes the encoder
    //! path fails this row only.
    void run();

    int row() const { return m_row; }
    //! The name reserved for the output.
    const QString& outputPath() const { return m_outputPath; }
    //! After run(): the file the row kept under its final name, or empty.
    const QString& outputMade() const { return m_made; }

private:
    std::unique_ptr<options::FormatOptions> m_options;
    ConversionSession m_session;
    int m_row;
    QString m_inputPath;
    QString m_outputPath;
    EncoderFunction m_convert;
    QString m_made;
};

} // namespace convert
