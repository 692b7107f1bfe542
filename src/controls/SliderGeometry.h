#pragma once

#include "controls/ColorRef.h"

#include <QtGlobal>

//! Geometry and colour arithmetic of the slider, in pixels, with mouse
//! coordinates in twips. "Length" is the control's inner size along its axis.
namespace controls::slidergeometry {

constexpr int kTwipsPerPixel = 15;

// Artwork sizes, in pixels.
constexpr int kThickness = 20;                                         // strips and end caps across the track
constexpr int kLowCap = 11;                                            // PicLeft, PicDown
constexpr int kHighCap = 14;                                           // PicRight, PicUp
constexpr int kHandleLength = 19;                                      // PicHandle along the track
constexpr int kHandleThickness = 10;                                   // PicHandle across the track
constexpr int kHandleInset = 4;                                        // handle distance from the track's edge
constexpr int kChannelFirst = 6;                                       // first pixel of the channel across a strip
constexpr int kChannelLast = 12;                                       // last pixel of the channel
constexpr int kMinimumLength = kLowCap + kHighCap + 2 * kHandleLength; // 63

//! Rounds to the nearest integer, halves to the even neighbour.
double roundHalfEven(double value);

//! Horizontal: left edge of the handle for `value` on a control `length`
//! pixels wide, when the handle shows the value (not the pointer).
int handleLeft(qint64 value, qint32 min, qint32 max, int length);

//! Vertical: distance of the handle's top edge from the bottom edge of a
//! control `length` pixels high, when the handle shows the value. This is the
//! horizontal position mirrored, plus the handle's own length because the
//! distance is measured to the far side of the handle.
int handleTopFromBottom(qint64 value, qint32 min, qint32 max, int length);

//! Where `value` lies between `min` and `max`, 0 at min and 1 at max.
double valueFraction(qint64 value, qint32 min, qint32 max);

//! Fraction shown while the handle follows the pointer.
double offsetFraction(double handleOffset, int length);

//! Mixes `from` (at 0) and `to` (at 1); components are limited to 0 to 255
//! and rounded halves to even.
ColorRef blendColor(ColorRef from, ColorRef to, double fraction);

//! The result of positioning the slider by the mouse.
struct MousePositioning {
    qint32 value = 0;             // new value, limited to min..max
    double limitedCoordinate = 0; // the mouse coordinate limited to the track, twips
    double handleOffset = 0;      // handle position in pixels (see handleLeft / handleTopFromBottom)
};

//! Positioning of a horizontal slider by mouse X (twips).
MousePositioning positionFromMouseX(double x, int width, qint32 min, qint32 max);

//! Positioning of a vertical slider by mouse Y (twips); the value grows upwards.
MousePositioning positionFromMouseY(double y, int height, qint32 min, qint32 max);

//! `value` limited to min..max.
qint32 limitValue(qint64 value, qint32 min, qint32 max);

} // namespace controls::slidergeometry
