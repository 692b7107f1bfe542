#include "convert/ConversionSession.h"

#include "filelist/FileList.h"
#include "lang/StringTable.h"
#include "platform/Desktop.h"

#include <QCoreApplication>
#include <QThread>
#include <algorithm>

namespace convert {

ConversionSession::ConversionSession(platform::Desktop& desktop, ConversionState& state,
                                     options::FormatOptions& options, ListAccess currentList)
    : m_desktop(desktop), m_state(state), m_options(options), m_currentList(std::move(currentList)),
      m_stoppedNameFormat(lang::englishText(lang::StringId::StoppedAtName))
{
}

ConversionSession::~ConversionSession()
{
    freeConversionStream();
}

filelist::FileList* ConversionSession::currentList() const
{
    return m_currentList ? m_currentList() : nullptr;
}

std::optional<int> ConversionSession::currentRow() const
{
    if (m_board)
        return m_row;
    return rowList() ? m_row : std::nullopt;
}

void ConversionSession::reportThrough(RowStatusBoard& board, int row)
{
    m_board = &board;
    m_row = row;
    m_rowList = nullptr;
}

void ConversionSession::setCurrentRow(std::optional<int> row)
{
    m_row = row;
    m_rowList = row ? currentList() : nullptr;
}

filelist::FileList* ConversionSession::rowList() const
{
    // A row index means nothing in a list that has since been replaced.
    filelist::FileList* list = m_rowList.data();
    Q_ASSERT(!list || QThread::currentThread() == list->thread());
    if (!m_row || !list || list != currentList() || *m_row < 0 || *m_row >= list->count())
        return nullptr;
    return list;
}

void ConversionSession::releaseConversionStream()
{
    const HSTREAM old = conversionStream;
    BASS_ChannelStop(old);
    BASS_StreamFree(old);
    conversionStream = 0;
    BASS_SetConfig(BASS_CONFIG_FLOATDSP, 0);
    // Whatever encoder the previous conversion left is abandoned, not finished:
    // its output was dealt with (or discarded) when that conversion ended.
    static_cast<void>(BASS_Encode_Stop(old));
}

void ConversionSession::freeConversionStream()
{
    if (conversionStream == 0)
        return;
    BASS_ChannelStop(conversionStream);
    BASS_StreamFree(conversionStream);
    conversionStream = 0;
}

bool ConversionSession::reportProgress(QWORD position, QWORD length)
{
    constexpr QWORD kUnknown = QWORD(-1);
    if (length == 0 || length == kUnknown)
        return false;
    if (!m_state.bConverting || position == kUnknown)
        return true;
    // Each pass fills its share of the bar.
    float share = float(position) / float(length);
    if (m_passes > 1)
        share = std::min(1.0f, share);
    const float percent = (float(m_pass - 1) + share) / float(m_passes) * 100.0f;
    if (m_board)
        m_board->post(*m_row, {percent, {}, {}, {}, {}});
    else if (filelist::FileList* list = rowList())
        list->setProgress(*m_row, percent);
    return true;
}

void ConversionSession::setOutcome(Outcome outcome, const filelist::RowReason& reason)
{
    using filelist::RowState;
    const RowState state = outcome == Outcome::Complete
                               ? (reason.damaged() ? RowState::CompleteDamaged : RowState::Complete)
                           : outcome == Outcome::Cancelled ? RowState::Cancelled
                                                           : RowState::Failed;
    if (m_board) {
        m_board->post(*m_row, {{}, state, reason, outputMade, {}});
        return;
    }
    filelist::FileList* list = rowList();
    if (!list)
        return;
    list->setReason(*m_row, reason);
    list->setOutputPath(*m_row, outputMade);
    list->setState(*m_row, state);
}

void ConversionSession::setReason(const filelist::RowReason& reason)
{
    if (m_board) {
        m_board->post(*m_row, {{}, {}, reason, {}, {}});
        return;
    }
    if (filelist::FileList* list = rowList())
        list->setReason(*m_row, reason);
}

void ConversionSession::setPass(int pass, int passes)
{
    m_passes = std::max(1, passes);
    m_pass = std::clamp(pass, 1, m_passes);
}

void ConversionSession::setLoudness(const filelist::MeasuredLoudness& loudness)
{
    if (m_board) {
        RowStatusBoard::Update update;
        update.loudness = loudness;
        m_board->post(*m_row, update);
        return;
    }
    if (filelist::FileList* list = rowList())
        list->setLoudness(*m_row, loudness);
}

bool ConversionSession::stopRequestedWhileWaiting()
{
    yield();
    return cancelRequested();
}

void ConversionSession::yield()
{
    if (m_board)
        return; // a worker thread: the window runs on its own
    Q_ASSERT(!QCoreApplication::instance() || QThread::currentThread() == QCoreApplication::instance()->thread());
    if (m_yieldInterval > 0 && m_sinceYield.isValid() && !m_sinceYield.hasExpired(m_yieldInterval))
        return;
    m_sinceYield.start();
    m_desktop.processEvents();
}

} // namespace convert
