#pragma once

#include <QtGlobal>

namespace controls {

//! A colour as the window toolkit stores it: 0x00BBGGRR.
using ColorRef = quint32;

constexpr ColorRef colorRef(int red, int green, int blue)
{
    return ColorRef(red & 0xFF) | (ColorRef(green & 0xFF) << 8) | (ColorRef(blue & 0xFF) << 16);
}

constexpr int redOf(ColorRef color)
{
    return int(color & 0xFF);
}

constexpr int greenOf(ColorRef color)
{
    return int((color >> 8) & 0xFF);
}

constexpr int blueOf(ColorRef color)
{
    return int((color >> 16) & 0xFF);
}

//! The same colour as 0xRRGGBB, the order of pixel buffers and QRgb.
constexpr quint32 toRgb(ColorRef color)
{
    return (quint32(redOf(color)) << 16) | (quint32(greenOf(color)) << 8) | quint32(blueOf(color));
}

} // namespace controls
