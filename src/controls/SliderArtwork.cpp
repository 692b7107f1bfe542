#include "controls/SliderArtwork.h"

#include "controls/SliderGeometry.h"

#include <array>
#include <cmath>

namespace controls {

namespace {

using namespace slidergeometry;

constexpr quint32 kBackground = 0xF0F0F0;
constexpr quint32 kDarkEdge = 0x404040;
constexpr quint32 kChannelShadow = 0x606060;
constexpr quint32 kDesignEmptyChannel = 0x000000;
constexpr quint32 kDesignFullChannel = 0xFF7F00;

// The track's colours across its thickness; the channel rows are filled later.
constexpr std::array<quint32, kThickness> kProfile = {
    kDarkEdge, 0xF4F4F4, 0xDCDCDC, 0xC4C4C4, 0xA8A8A8, kChannelShadow, 0,        0,        0,        0,
    0,         0,        0,        0xE8E8E8, 0xD0D0D0, 0xC0C0C0,       0xB0B0B0, 0x9C9C9C, 0x808080, kDarkEdge};

bool inChannel(int across)
{
    return across >= kChannelFirst && across <= kChannelLast;
}

SliderBitmap strip(quint32 channel)
{
    SliderBitmap bitmap(1, kThickness);
    for (int y = 0; y < kThickness; ++y)
        bitmap.setPixel(0, y, inChannel(y) ? channel : kProfile[std::size_t(y)]);
    return bitmap;
}

// A horizontal end cap `length` long, rounded at its outer end (x = 0 when
// `outerAtStart`, else the last column). The channel stops in a shadowed end.
SliderBitmap cap(int length, bool outerAtStart)
{
    constexpr double radius = 6;
    SliderBitmap bitmap(length, kThickness);
    for (int d = 0; d < length; ++d) {
        const int x = outerAtStart ? d : length - 1 - d;
        for (int y = 0; y < kThickness; ++y) {
            const double px = d + 0.5;
            const double py = y + 0.5;
            double distance = -1; // distance from a corner's centre, when in a corner
            if (px < radius && py < radius)
                distance = std::hypot(radius - px, radius - py);
            else if (px < radius && py > kThickness - radius)
                distance = std::hypot(radius - px, py - (kThickness - radius));
            quint32 rgb;
            if (distance > radius)
                rgb = kBackground;
            else if (distance > radius - 1 || d == 0)
                rgb = kDarkEdge;
            else if (inChannel(y))
                rgb = d < 3 ? kProfile[4] : (y == kChannelFirst ? 0x303030 : kChannelShadow);
            else
                rgb = kProfile[std::size_t(y)];
            bitmap.setPixel(x, y, rgb);
        }
    }
    return bitmap;
}

// A grey block with a dark border, light at the top and dark at the bottom,
// with a short grip line in the middle.
SliderBitmap handle()
{
    SliderBitmap bitmap(kHandleLength, kHandleThickness);
    for (int y = 0; y < kHandleThickness; ++y) {
        for (int x = 0; x < kHandleLength; ++x) {
            quint32 rgb;
            if (x == 0 || y == 0 || x == kHandleLength - 1 || y == kHandleThickness - 1) {
                rgb = 0x303030;
            } else if (x == kHandleLength / 2 && y >= 3 && y <= kHandleThickness - 4) {
                rgb = 0x505050;
            } else {
                const int level = 0xF0 - (y - 1) * (0xF0 - 0x70) / (kHandleThickness - 3);
                rgb = quint32(level) * 0x010101;
            }
            bitmap.setPixel(x, y, rgb);
        }
    }
    return bitmap;
}

SliderBitmap turned(const SliderBitmap& source)
{
    SliderBitmap bitmap(source.height, source.width);
    for (int y = 0; y < source.height; ++y)
        for (int x = 0; x < source.width; ++x)
            bitmap.setPixel(y, x, source.pixel(x, y));
    return bitmap;
}

} // namespace

SliderArtwork SliderArtwork::make()
{
    SliderArtwork art;
    art.PicLeft = cap(kLowCap, true);
    art.PicRight = cap(kHighCap, false);
    art.PicHandle = handle();
    art.PicEmptyFill = strip(kDesignEmptyChannel);
    art.PicFullFill = strip(kDesignFullChannel);
    art.PicUp = turned(cap(kHighCap, true));
    art.PicDown = turned(cap(kLowCap, false));
    art.PicHandle2 = turned(art.PicHandle);
    art.PicEmptyFill2 = turned(art.PicEmptyFill);
    art.PicFullFill2 = turned(art.PicFullFill);
    return art;
}

void SliderArtwork::paintChannel(SliderBitmap& strip, quint32 rgb)
{
    const bool acrossRows = strip.width == 1;
    for (int i = kChannelFirst; i <= kChannelLast; ++i) {
        if (acrossRows)
            strip.setPixel(0, i, rgb);
        else
            strip.setPixel(i, 0, rgb);
    }
}

} // namespace controls
