#include "convert/DecodeProgress.h"

#include "convert/ConversionSession.h"
#include "convert/InputDamage.h"

#include <algorithm>

namespace convert {

bool DecodeProgress::report(ConversionSession& session)
{
    const QWORD length = BASS_ChannelGetLength(m_stream, BASS_POS_BYTE);
    m_position = BASS_ChannelGetPosition(m_stream, BASS_POS_BYTE);
    if (m_statedLength == QWORD(-1))
        m_statedLength = length;
    return session.reportProgress(m_position, length);
}

filelist::RowReason DecodeProgress::damage() const
{
    return InputDamageReason(m_stream, m_statedLength, m_position);
}

double DecodeProgress::seconds() const
{
    return std::max(0.0, BASS_ChannelBytes2Seconds(m_stream, m_position));
}

} // namespace convert
