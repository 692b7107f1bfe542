#include "convert/InputDamage.h"

#include "engine/ChannelHealth.h"

#include <algorithm>

namespace convert {

namespace {

// Data that ends more than this short of the stated length was cut: decoders
// and containers disagree by a frame or two, never by a second.
constexpr double kShortBySeconds = 1.0;

} // namespace

filelist::RowReason InputDamageReason(HSTREAM stream, QWORD statedLength, QWORD endPosition)
{
    constexpr QWORD kUnknown = QWORD(-1);
    const QWORD damagedAt = engine::channelDamagedAt(stream);
    const double stated = statedLength == kUnknown ? -1 : BASS_ChannelBytes2Seconds(stream, statedLength);
    const double ended = BASS_ChannelBytes2Seconds(stream, endPosition);
    const bool cutShort = stated > 0 && ended >= 0 && ended + kShortBySeconds < stated;
    if (damagedAt == kUnknown && !cutShort)
        return engine::channelMetInvalidSamples(stream)
                   ? filelist::RowReason::coded(filelist::RowReason::Code::InvalidSamples)
                   : filelist::RowReason();
    const QWORD at = damagedAt == kUnknown ? endPosition : std::min(damagedAt, endPosition);
    const double atSeconds = BASS_ChannelBytes2Seconds(stream, at);
    const double total = std::max(stated, ended);
    return filelist::RowReason::damage(atSeconds, total);
}

} // namespace convert
