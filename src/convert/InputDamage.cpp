#include "convert/InputDamage.h"

#include "engine/ChannelHealth.h"
#include "lang/StringLookup.h"

#include <algorithm>
#include <cmath>

namespace convert {

namespace {

// Data that ends more than this short of the stated length was cut: decoders
// and containers disagree by a frame or two, never by a second.
constexpr double kShortBySeconds = 1.0;

} // namespace

QString playingTime(double seconds)
{
    const auto whole = static_cast<long long>(std::floor(std::max(seconds, 0.0)));
    const long long h = whole / 3600;
    const long long m = whole / 60 % 60;
    const long long s = whole % 60;
    auto two = [](long long v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    return h > 0 ? QString::number(h) + u':' + two(m) + u':' + two(s) : two(whole / 60) + u':' + two(s);
}

QString InputDamageReason(HSTREAM stream, QWORD statedLength, QWORD endPosition)
{
    constexpr QWORD kUnknown = QWORD(-1);
    const QWORD damagedAt = engine::channelDamagedAt(stream);
    const double stated = statedLength == kUnknown ? -1 : BASS_ChannelBytes2Seconds(stream, statedLength);
    const double ended = BASS_ChannelBytes2Seconds(stream, endPosition);
    const bool cutShort = stated > 0 && ended >= 0 && ended + kShortBySeconds < stated;
    if (damagedAt == kUnknown && !cutShort)
        return {};
    const QWORD at = damagedAt == kUnknown ? endPosition : std::min(damagedAt, endPosition);
    const double atSeconds = BASS_ChannelBytes2Seconds(stream, at);
    const double total = std::max(stated, ended);
    return lang::caption(lang::StringId::InputDamaged).arg(playingTime(atSeconds), playingTime(total));
}

} // namespace convert
