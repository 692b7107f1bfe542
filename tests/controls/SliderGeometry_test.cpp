#include "controls/SliderGeometry.h"

#include <gtest/gtest.h>

using namespace controls;
using namespace controls::slidergeometry;

TEST(SliderGeometry, RoundsHalvesToEven)
{
    EXPECT_EQ(roundHalfEven(10.5), 10);
    EXPECT_EQ(roundHalfEven(191.5), 192);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
    EXPECT_EQ(roundHalfEven(-1.5), -2);
    EXPECT_EQ(roundHalfEven(2.4), 2);
}

TEST(SliderGeometry, HandleSpansTheTrackOf225Pixels)
{
    // 225 - 11 - 14 - 19 = 181 pixels of track.
    EXPECT_EQ(handleLeft(0, 0, 9, 225), 10);
    EXPECT_EQ(handleLeft(9, 0, 9, 225), 192);
    EXPECT_EQ(handleLeft(9, 0, 9, 225) + kHandleLength, 225 - kHighCap);
    // Negative minimum: the same ends.
    EXPECT_EQ(handleLeft(-2, -2, 10, 225), 10);
    EXPECT_EQ(handleLeft(10, -2, 10, 225), 192);
}

TEST(SliderGeometry, HandleStaysWithinRangeForExtremeIntegers)
{
    const qint32 lowest = std::numeric_limits<qint32>::min();
    const qint32 highest = std::numeric_limits<qint32>::max();
    EXPECT_NEAR(handleLeft(lowest, lowest, highest, 300), 10, 1);
    EXPECT_NEAR(handleLeft(highest, lowest, highest, 300), 300 - 33, 1);
}

TEST(SliderGeometry, VerticalHandleMirrorsTheHorizontalOne)
{
    // At Min the handle's bottom sits one pixel into the bottom cap, as the
    // horizontal handle sits one pixel into the left cap; at Max its top
    // meets the top cap.
    EXPECT_EQ(225 - handleTopFromBottom(0, 0, 9, 225), 225 - 10 - kHandleLength);
    EXPECT_EQ(225 - handleTopFromBottom(9, 0, 9, 225), kHighCap);
}

TEST(SliderGeometry, BlendsAndRoundsHalvesToEven)
{
    const ColorRef red = colorRef(255, 0, 0);
    const ColorRef green = colorRef(0, 255, 0);
    EXPECT_EQ(blendColor(red, green, valueFraction(0, 0, 100)), red);
    EXPECT_EQ(blendColor(red, green, valueFraction(100, 0, 100)), green);
    EXPECT_EQ(blendColor(red, green, valueFraction(50, 0, 100)), colorRef(128, 128, 0));
    // Outside 0..1 the components are limited to 0..255.
    EXPECT_EQ(blendColor(red, green, 1.5), colorRef(0, 255, 0));
    EXPECT_EQ(blendColor(red, green, -0.5), colorRef(255, 0, 0));
}

TEST(SliderGeometry, MouseValueIsTakenBeforeTheTrackLimit)
{
    const int width = 225; // track 181
    // Pointer far right: value limited to Max, handle to the track end.
    auto far = positionFromMouseX(10000 * kTwipsPerPixel, width, 0, 9);
    EXPECT_EQ(far.value, 9);
    EXPECT_DOUBLE_EQ(far.limitedCoordinate, (width - 23.5) * kTwipsPerPixel);
    EXPECT_DOUBLE_EQ(far.handleOffset, width - 33);
    // Pointer left of the track: Min, handle at pixel 10.
    auto left = positionFromMouseX(-500, width, 0, 9);
    EXPECT_EQ(left.value, 0);
    EXPECT_DOUBLE_EQ(left.limitedCoordinate, 19.5 * kTwipsPerPixel);
    EXPECT_DOUBLE_EQ(left.handleOffset, 10);
    // Pointer at pixel 110: (110 - 19) / 181 * 9 = 4.52 -> 5.
    auto middle = positionFromMouseX(110 * kTwipsPerPixel, width, 0, 9);
    EXPECT_EQ(middle.value, 5);
    EXPECT_DOUBLE_EQ(middle.handleOffset, 100.5);
}

TEST(SliderGeometry, VerticalMouseValueGrowsUpwards)
{
    const int height = 225;
    EXPECT_EQ(positionFromMouseY(0, height, -2, 10).value, 10);
    EXPECT_EQ(positionFromMouseY(height * kTwipsPerPixel, height, -2, 10).value, -2);
    // Limited to the track: the handle's top lies between the caps.
    auto top = positionFromMouseY(0, height, -2, 10);
    EXPECT_DOUBLE_EQ(height - top.handleOffset, kHighCap);
    auto bottom = positionFromMouseY(1e6, height, -2, 10);
    EXPECT_DOUBLE_EQ(height - bottom.handleOffset + kHandleLength, height - 10);
}

TEST(SliderGeometry, MouseFarOffAWideRangeDoesNotOverflow)
{
    const qint32 lowest = std::numeric_limits<qint32>::min();
    const qint32 highest = std::numeric_limits<qint32>::max();
    EXPECT_EQ(positionFromMouseX(1e7, 63, lowest, highest).value, highest);
    EXPECT_EQ(positionFromMouseX(-1e7, 63, lowest, highest).value, lowest);
    EXPECT_EQ(limitValue(qint64(highest) + 1, 0, highest), highest);
}
