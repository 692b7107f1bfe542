#include "controls/SliderGeometry.h"

#include <algorithm>
#include <cmath>

namespace controls::slidergeometry {

namespace {

constexpr double kTpp = kTwipsPerPixel;
constexpr double kHalfHandle = kHandleLength / 2.0;

// Pixel positions are kept far inside int; a value stored outside the range
// (only a DblClick handler can do that) must not overflow the conversion.
int toPixel(double position)
{
    return int(std::clamp(position, -1e9, 1e9));
}

double range(qint32 min, qint32 max)
{
    return double(max) - double(min);
}

double trackLength(int length)
{
    return double(length) - kLowCap - kHighCap - kHandleLength;
}

// Value for a pointer `pixels` along the track from its low end; computed
// before the pointer is limited to the track, then limited to the range.
qint32 valueAt(double pixels, int length, qint32 min, qint32 max, bool fromMax)
{
    const double steps = roundHalfEven((pixels - kHandleLength) / trackLength(length) * range(min, max));
    const double value = fromMax ? double(max) - steps : steps + double(min);
    return qint32(std::clamp(value, double(min), double(max)));
}

double limitCoordinate(double coordinate, int length)
{
    const double low = (kHalfHandle + kLowCap - 1) * kTpp;
    const double high = length * kTpp - (kHalfHandle + kHighCap) * kTpp;
    return std::clamp(coordinate, low, std::max(low, high));
}

} // namespace

double roundHalfEven(double value)
{
    // The default floating-point rounding mode rounds halves to even.
    return std::nearbyint(value);
}

int handleLeft(qint64 value, qint32 min, qint32 max, int length)
{
    const double track = trackLength(length);
    const double span = range(min, max);
    const double a = roundHalfEven(double(value) * track / span);
    const double b = roundHalfEven(kHalfHandle + a + 1);
    return toPixel(roundHalfEven(b - double(min) * track / span));
}

int handleTopFromBottom(qint64 value, qint32 min, qint32 max, int length)
{
    return toPixel(double(handleLeft(value, min, max, length)) + kHandleLength);
}

double valueFraction(qint64 value, qint32 min, qint32 max)
{
    return (double(value) - double(min)) / range(min, max);
}

double offsetFraction(double handleOffset, int length)
{
    return handleOffset / (double(length) - kLowCap - kHighCap);
}

ColorRef blendColor(ColorRef from, ColorRef to, double fraction)
{
    const auto mix = [fraction](int a, int b) {
        const double c = (1 - fraction) * a + fraction * b;
        return int(roundHalfEven(std::clamp(c, 0.0, 255.0)));
    };
    return colorRef(mix(redOf(from), redOf(to)), mix(greenOf(from), greenOf(to)), mix(blueOf(from), blueOf(to)));
}

MousePositioning positionFromMouseX(double x, int width, qint32 min, qint32 max)
{
    MousePositioning result;
    result.value = valueAt(x / kTpp, width, min, max, false);
    result.limitedCoordinate = limitCoordinate(x, width);
    // The handle is centred under the pointer.
    result.handleOffset = result.limitedCoordinate / kTpp - kHalfHandle;
    return result;
}

MousePositioning positionFromMouseY(double y, int height, qint32 min, qint32 max)
{
    MousePositioning result;
    result.value = valueAt(y / kTpp, height, min, max, true);
    result.limitedCoordinate = limitCoordinate(y, height);
    result.handleOffset = height - (result.limitedCoordinate / kTpp - kHalfHandle) - kHandleInset;
    return result;
}

qint32 limitValue(qint64 value, qint32 min, qint32 max)
{
    return qint32(std::clamp<qint64>(value, min, max));
}

} // namespace controls::slidergeometry
