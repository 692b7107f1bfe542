#include "controls/SliderGeometry.h"

#include <gtest/gtest.h>
#include <limits>

using namespace controls;
using namespace controls::slidergeometry;

// The widget tests cover the ordinary figures; these cover the extremes of
// the 32-bit range, where products and sums leave 32 bits.
TEST(SliderGeometry, ExtremeRangesNeitherOverflowNorLeaveTheTrack)
{
    const qint32 lowest = std::numeric_limits<qint32>::min();
    const qint32 highest = std::numeric_limits<qint32>::max();
    EXPECT_NEAR(handleLeft(lowest, lowest, highest, 300), 10, 1);
    EXPECT_NEAR(handleLeft(highest, lowest, highest, 300), 300 - 33, 1);
    EXPECT_EQ(positionFromMouseX(1e7, 63, lowest, highest).value, highest);
    EXPECT_EQ(positionFromMouseX(-1e7, 63, lowest, highest).value, lowest);
    EXPECT_EQ(positionFromMouseY(-1e7, 63, lowest, highest).value, highest);
    EXPECT_EQ(limitValue(qint64(highest) + 1, 0, highest), highest);
}

TEST(SliderGeometry, BlendComponentsAreLimitedOutsideTheRange)
{
    const ColorRef red = colorRef(255, 0, 0);
    const ColorRef green = colorRef(0, 255, 0);
    EXPECT_EQ(blendColor(red, green, 1.5), green);
    EXPECT_EQ(blendColor(red, green, -0.5), red);
}

TEST(SliderGeometry, MouseValueIsTakenBeforeThePointerIsLimitedToTheTrack)
{
    // Pixel 19.2 is left of where the handle can go, but already counts as
    // 0.2 / 19 of a 63-pixel slider's track: 1 on a range of 100.
    const auto positioning = positionFromMouseX(19.2 * kTwipsPerPixel, 63, 0, 100);
    EXPECT_EQ(positioning.value, 1);
    EXPECT_DOUBLE_EQ(positioning.limitedCoordinate, 19.5 * kTwipsPerPixel);
    EXPECT_DOUBLE_EQ(positioning.handleOffset, 10);
}
