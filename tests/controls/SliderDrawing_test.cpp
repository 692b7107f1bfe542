#include "controls/SliderArtwork.h"
#include "controls/SliderWidget.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

using namespace controls;

namespace {

QRgb rgbAt(const QImage& image, int x, int y)
{
    return image.pixel(x, y) & 0xFFFFFF;
}

// Whether `picture` stands in the image with its top left corner at (left, top).
bool standsAt(const QImage& image, const SliderBitmap& picture, int left, int top)
{
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            if (rgbAt(image, left + x, top + y) != picture.pixel(x, y))
                return false;
    return true;
}

// Left edges of every place where `picture` appears in the image, with its
// top at `top`.
QList<int> placesOf(const QImage& image, const SliderBitmap& picture, int top)
{
    QList<int> places;
    for (int left = 0; left + picture.width <= image.width(); ++left)
        if (standsAt(image, picture, left, top))
            places << left;
    return places;
}

// Tops of every place where `picture` appears, with its left at `left`.
QList<int> verticalPlacesOf(const QImage& image, const SliderBitmap& picture, int left)
{
    QList<int> places;
    for (int top = 0; top + picture.height <= image.height(); ++top)
        if (standsAt(image, picture, left, top))
            places << top;
    return places;
}

QImage render(SliderWidget& slider)
{
    return slider.grab().toImage();
}

} // namespace

TEST(SliderArtwork, PicturesHaveTheirSizesAndChannels)
{
    const SliderArtwork art = SliderArtwork::make();
    const std::pair<const SliderBitmap*, QSize> sizes[] = {{&art.PicLeft, {11, 20}},      {&art.PicRight, {14, 20}},
                                                           {&art.PicHandle, {19, 10}},    {&art.PicEmptyFill, {1, 20}},
                                                           {&art.PicFullFill, {1, 20}},   {&art.PicUp, {20, 14}},
                                                           {&art.PicDown, {20, 11}},      {&art.PicHandle2, {10, 19}},
                                                           {&art.PicEmptyFill2, {20, 1}}, {&art.PicFullFill2, {20, 1}}};
    for (const auto& [bitmap, size] : sizes) {
        EXPECT_EQ(QSize(bitmap->width, bitmap->height), size);
        EXPECT_EQ(bitmap->pixels.size(), std::size_t(size.width() * size.height()));
    }
    for (int i = 0; i < 20; ++i) {
        const bool channel = i >= 6 && i <= 12;
        EXPECT_EQ(art.PicEmptyFill.pixel(0, i) == 0x000000, channel) << i;
        EXPECT_EQ(art.PicFullFill.pixel(0, i) == 0xFF7F00, channel) << i;
        EXPECT_EQ(art.PicFullFill2.pixel(i, 0), art.PicFullFill.pixel(0, i));
    }

    SliderBitmap strip = art.PicFullFill2;
    SliderArtwork::paintChannel(strip, 0x123456);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(strip.pixel(i, 0), i >= 6 && i <= 12 ? 0x123456u : art.PicFullFill2.pixel(i, 0));
}

TEST(SliderDrawing, HandleEndsOfThe225PixelTrack)
{
    const SliderArtwork art = SliderArtwork::make();
    SliderWidget slider;
    slider.resize(225, 20);
    slider.setMin(0);
    slider.setMax(9);
    slider.setValue(0);
    QImage image = render(slider);
    ASSERT_EQ(image.size(), QSize(225, 20));
    EXPECT_EQ(placesOf(image, art.PicHandle, 4), QList<int>({10}));
    EXPECT_EQ(placesOf(image, art.PicLeft, 0).value(0), 0);

    slider.setValue(9);
    image = render(slider);
    EXPECT_EQ(placesOf(image, art.PicHandle, 4), QList<int>({192}));
    // The handle ends exactly where the right cap begins.
    EXPECT_EQ(placesOf(image, art.PicRight, 0), QList<int>({211}));
}

TEST(SliderDrawing, FilledChannelBlendsFromForeColorToForeColor2)
{
    SliderWidget slider;
    slider.resize(225, 20);
    slider.setForeColor(colorRef(255, 0, 0));
    slider.setForeColor2(colorRef(0, 255, 0));
    slider.setBackColor(colorRef(0, 0, 255));
    slider.setMin(0);
    slider.setMax(100);

    slider.setValue(50);
    QImage image = render(slider);
    const int handle = slider.handlePixel();
    ASSERT_EQ(handle, 100); // round(9.5 + round(90.5) + 1)
    for (int y = 6; y <= 12; ++y) {
        EXPECT_EQ(rgbAt(image, 50, y), qRgb(128, 128, 0) & 0xFFFFFF) << y;
        EXPECT_EQ(rgbAt(image, 180, y), qRgb(0, 0, 255) & 0xFFFFFF) << y;
    }
    EXPECT_NE(rgbAt(image, 50, 5), qRgb(128, 128, 0) & 0xFFFFFF);
    EXPECT_NE(rgbAt(image, 50, 13), qRgb(128, 128, 0) & 0xFFFFFF);

    slider.setValue(100);
    image = render(slider);
    EXPECT_EQ(rgbAt(image, 50, 9), qRgb(0, 255, 0) & 0xFFFFFF);
    slider.setValue(0);
    EXPECT_EQ(slider.fillColor(), colorRef(255, 0, 0));
}

TEST(SliderDrawing, VerticalHandleLiesBetweenTheCapsAndFillsFromTheBottom)
{
    const SliderArtwork art = SliderArtwork::make();
    SliderWidget slider;
    slider.setStyle(1);
    slider.resize(20, 225);
    slider.setMin(0);
    slider.setMax(9);
    slider.setForeColor(colorRef(255, 0, 0));
    slider.setForeColor2(colorRef(255, 0, 0));
    slider.setBackColor(colorRef(0, 0, 255));

    slider.setValue(0);
    QImage image = render(slider);
    ASSERT_EQ(image.size(), QSize(20, 225));
    EXPECT_EQ(verticalPlacesOf(image, art.PicHandle2, 4), QList<int>({225 - 29}));
    EXPECT_EQ(verticalPlacesOf(image, art.PicUp, 0).value(0), 0);
    // Like the horizontal handle over the left cap, it covers the bottom
    // cap's first row.
    EXPECT_TRUE(verticalPlacesOf(image, art.PicDown, 0).isEmpty());

    slider.setValue(9);
    image = render(slider);
    EXPECT_EQ(verticalPlacesOf(image, art.PicDown, 0), QList<int>({214}));
    EXPECT_EQ(verticalPlacesOf(image, art.PicHandle2, 4), QList<int>({14}));
    // Below the handle the channel (columns 6 to 12) is filled.
    EXPECT_EQ(rgbAt(image, 9, 100), qRgb(255, 0, 0) & 0xFFFFFF);
    EXPECT_NE(rgbAt(image, 13, 100), qRgb(255, 0, 0) & 0xFFFFFF);

    slider.setValue(4);
    image = render(slider);
    const int top = slider.handlePixel();
    EXPECT_EQ(rgbAt(image, 9, top - 20), qRgb(0, 0, 255) & 0xFFFFFF);
    EXPECT_EQ(rgbAt(image, 9, top + 30), qRgb(255, 0, 0) & 0xFFFFFF);
}

TEST(SliderDrawing, ValueOutsideTheRangeStillDraws)
{
    // Only a DblClick handler can store such a value; drawing must cope.
    SliderWidget slider;
    slider.resize(100, 20);
    slider.setMin(0);
    slider.setMax(9);
    slider.setSnap(true);
    QObject::connect(&slider, &SliderWidget::DblClick, [](int& value) { value = 2000000000; });
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(50, 10));
    ASSERT_EQ(slider.Value(), 2000000000);
    const QImage image = render(slider);
    EXPECT_EQ(image.size(), QSize(100, 20));
    EXPECT_EQ(slider.fillColor(), colorRef(200, 0, 0)) << "the blend is limited to the colour range";
}
