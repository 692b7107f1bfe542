#include "convert/ConversionSession.h"

#include "filelist/FileList.h"
#include "lang/StringLookup.h"
#include "platform/Desktop.h"

#include <algorithm>

namespace convert {

ConversionSession::ConversionSession(platform::Desktop& desktop, ConversionState& state,
                                     options::FormatOptions& options, ListAccess currentList)
    : m_desktop(desktop), m_state(state), m_options(options), m_currentList(std::move(currentList))
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
    if (!m_row || !list || list != currentList() || *m_row < 0 || *m_row >= list->count())
        return nullptr;
    return list;
}

void ConversionSession::releaseConversionStream()
{
    const HSTREAM old = hConvertStream;
    BASS_ChannelStop(old);
    BASS_StreamFree(old);
    hConvertStream = 0;
    BASS_SetConfig(BASS_CONFIG_FLOATDSP, 0);
    BASS_Encode_Stop(old);
}

void ConversionSession::freeConversionStream()
{
    if (hConvertStream == 0)
        return;
    BASS_ChannelStop(hConvertStream);
    BASS_StreamFree(hConvertStream);
    hConvertStream = 0;
}

QString ConversionSession::progressText(float percent)
{
    return QString::number(double(percent), 'g', 7);
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
    const float progress = (float(m_pass - 1) + share) / float(m_passes);
    if (m_board)
        m_board->post(*m_row, {progressText(progress * 100.0f), progress * 100.0f, {}, {}, {}, {}});
    else if (filelist::FileList* list = rowList())
        list->setCell(*m_row, filelist::FileList::Status, progressText(progress * 100.0f));
    return true;
}

void ConversionSession::setOutcome(Outcome outcome, const QString& reason)
{
    if (m_board) {
        // Worded on the user-interface thread, in the language shown then.
        using Final = convert::RowStatusBoard::Outcome;
        const Final final = outcome == Outcome::Complete    ? Final::Complete
                            : outcome == Outcome::Cancelled ? Final::Cancelled
                                                            : Final::Error;
        m_board->post(*m_row, {{}, {}, {}, final, reason, {}});
        return;
    }
    setReason(reason);
    switch (outcome) {
    case Outcome::Complete:
        setStatusText(lang::caption(lang::StringId::Complete), kCompleteColor);
        break;
    case Outcome::Cancelled:
        setStatusText(lang::caption(lang::StringId::Cancelled), kFailureColor);
        break;
    case Outcome::Error:
        setStatusText(lang::caption(lang::StringId::Error), kFailureColor);
        break;
    }
}

void ConversionSession::setStatusText(const QString& text, quint32 rgb)
{
    if (m_board) {
        m_board->post(*m_row, {text, {}, rgb, {}, {}, {}});
        return;
    }
    filelist::FileList* list = rowList();
    if (!list)
        return;
    list->setCell(*m_row, filelist::FileList::Status, text);
    list->setTextColor(*m_row, filelist::FileList::Status, rgb);
}

void ConversionSession::setReason(const QString& reason)
{
    if (m_board) {
        m_board->post(*m_row, {{}, {}, {}, {}, reason, {}});
        return;
    }
    if (filelist::FileList* list = rowList())
        list->setStatusReason(*m_row, reason);
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
    if (m_yieldInterval > 0 && m_sinceYield.isValid() && !m_sinceYield.hasExpired(m_yieldInterval))
        return;
    m_sinceYield.start();
    m_desktop.processEvents();
}

} // namespace convert
