#include "convert/ConversionJob.h"

#include "convert/OptionsSnapshot.h"
#include "options/FormatOptions.h"

namespace convert {

ConversionJob::ConversionJob(platform::Desktop& desktop, ConversionState& state, const options::FormatOptions& options,
                             RowStatusBoard& board, int row, QString inputPath, QString outputPath,
                             EncoderFunction convert)
    : m_options(SnapshotOptions(options)), m_session(desktop, state, *m_options, {}), m_row(row),
      m_inputPath(std::move(inputPath)), m_outputPath(std::move(outputPath)), m_convert(convert)
{
    m_session.sCurrentFile = m_inputPath;
    m_session.reportThrough(board, row);
}

ConversionJob::~ConversionJob()
{
    wait();
}

void ConversionJob::start(std::function<void()> whenDone)
{
    m_thread = std::thread([this, whenDone = std::move(whenDone)] {
        m_session.sOutputMade.clear();
        m_session.measured.reset();
        try {
            m_convert(m_session, m_inputPath, m_outputPath);
        } catch (...) {
            m_session.setOutcome(ConversionSession::Outcome::Error);
        }
        m_made = m_session.sOutputMade;
        whenDone();
    });
}

void ConversionJob::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace convert
