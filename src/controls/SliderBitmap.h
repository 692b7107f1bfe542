#pragma once

#include <QtGlobal>
#include <vector>

namespace controls {

//! A 24-bit picture: pixels as 0xRRGGBB, row by row from the top.
struct SliderBitmap {
    int width = 0;
    int height = 0;
    std::vector<quint32> pixels;

    SliderBitmap() = default;
    SliderBitmap(int w, int h, quint32 fill = 0) : width(w), height(h), pixels(std::size_t(w) * std::size_t(h), fill) {}

    quint32 pixel(int x, int y) const { return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)]; }
    void setPixel(int x, int y, quint32 rgb) { pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] = rgb; }
};

} // namespace controls
