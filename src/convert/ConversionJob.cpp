#include "convert/ConversionJob.h"

#include "convert/ConversionFailure.h"
#include "convert/ErrorLog.h"
#include "convert/OptionsSnapshot.h"
#include "engine/Bass.h"
#include "options/FormatOptions.h"
#include "platform/FileName.h"
#include "platform/LogCategories.h"

#include <QThread>
#include <exception>

namespace convert {

ConversionJob::ConversionJob(platform::Desktop& desktop, ConversionState& state, const options::FormatOptions& options,
                             RowStatusBoard& board, int row, QString inputPath, QString outputPath,
                             EncoderFunction convert, const QString& stoppedNameFormat)
    : m_owner(QThread::currentThread()), m_options(SnapshotOptions(options)), m_session(desktop, state, *m_options, {}),
      m_row(row), m_inputPath(std::move(inputPath)), m_outputPath(std::move(outputPath)), m_convert(convert)
{
    m_session.inputPath = m_inputPath;
    m_session.reportThrough(board, row);
    m_session.setStoppedNameFormat(stoppedNameFormat);
}

ConversionJob::~ConversionJob()
{
    wait();
}

void ConversionJob::start(std::function<void()> whenDone)
{
    Q_ASSERT(QThread::currentThread() == m_owner);
    m_thread = std::thread([this, whenDone = std::move(whenDone)] {
        m_session.outputMade.clear();
        QString escaped;
        m_session.measured.reset();
        try {
            m_convert(m_session, m_inputPath, m_outputPath);
        } catch (const std::exception& failure) {
            // Its text may hold a file name: its bytes are kept.
            escaped = platform::fromNativeName(QByteArray(failure.what()));
        } catch (...) {
            escaped = QStringLiteral("an unexpected failure");
        }
        if (!escaped.isNull()) {
            // The encoder path did not get to end the row: its output is not
            // known to be whole, so none is reported.
            m_session.outputMade.clear();
            m_session.measured.reset();
            qCWarning(lcConvert, "Converting %s failed: %s", qUtf8Printable(m_inputPath), qUtf8Printable(escaped));
            EndWithError(m_session, ErrorLog(), m_inputPath, BASS_ERROR_UNKNOWN, escaped);
        }
        m_made = m_session.outputMade;
        whenDone();
    });
}

void ConversionJob::wait()
{
    Q_ASSERT(QThread::currentThread() == m_owner);
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace convert
