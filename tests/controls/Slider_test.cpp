#include "SliderTestLog.h"
#include "controls/SliderWidget.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <limits>

using controls::colorRef;
using controls::SliderWidget;

namespace {

// A shown horizontal slider 225 pixels wide with the range 0 to 9.
struct SmallRange : ::testing::Test {
    SliderWidget slider;
    void SetUp() override
    {
        slider.resize(225, 20);
        slider.setMin(0);
        slider.setMax(9);
        slider.setValue(5);
        slider.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&slider));
    }
};

} // namespace

TEST(Slider, StartsWithItsDefaults)
{
    SliderWidget slider;
    EXPECT_EQ(slider.Style(), 0);
    EXPECT_TRUE(slider.Enabled());
    EXPECT_FALSE(slider.Snap());
    EXPECT_EQ(slider.BackColor(), colorRef(0, 0, 0));
    EXPECT_EQ(slider.ForeColor(), colorRef(200, 200, 0));
    EXPECT_EQ(slider.ForeColor2(), colorRef(200, 0, 0));
    EXPECT_EQ(slider.Value(), 50);
    EXPECT_EQ(slider.Max(), 100);
    EXPECT_EQ(slider.Min(), -100);
    // Never loaded, it still draws the blend of its own colours: 75% of the way.
    EXPECT_EQ(slider.fillColor(), colorRef(200, 50, 0));
}

TEST(Slider, RangeSettersKeepMinBelowMax)
{
    SliderWidget slider;
    slider.setMin(0);
    slider.setMax(0);
    EXPECT_EQ(slider.Max(), 1);
    slider.setMax(-40);
    EXPECT_EQ(slider.Max(), 1);
    EXPECT_EQ(slider.Value(), 1) << "Value is lowered to the new Max";
    slider.setMin(1);
    EXPECT_EQ(slider.Min(), 0);
    slider.setMax(20);
    slider.setMin(15);
    EXPECT_EQ(slider.Value(), 15) << "Value is raised to the new Min";

    slider.setMin(std::numeric_limits<qint32>::min());
    slider.setMax(std::numeric_limits<qint32>::min());
    EXPECT_EQ(slider.Max(), std::numeric_limits<qint32>::min() + 1);
    slider.setMax(std::numeric_limits<qint32>::max());
    slider.setMin(std::numeric_limits<qint32>::max());
    EXPECT_EQ(slider.Min(), std::numeric_limits<qint32>::max() - 1);
}

TEST_F(SmallRange, ValueIsLimitedAndAlwaysRaisesChange)
{
    QSignalSpy change(&slider, &SliderWidget::Change);
    int seen = -1;
    QObject::connect(&slider, &SliderWidget::Change, [&] { seen = slider.Value(); });
    slider.setValue(1000);
    EXPECT_EQ(seen, 9) << "the handler runs before the setter returns";
    EXPECT_EQ(slider.Value(), 9);
    slider.setValue(9);
    slider.setValue(-3);
    EXPECT_EQ(slider.Value(), 0);
    EXPECT_EQ(change.count(), 3);
}

TEST_F(SmallRange, ColourSettersRaiseChangeButStyleEnabledAndSnapDoNot)
{
    SliderTestLog log(slider);
    slider.setBackColor(colorRef(1, 2, 3));
    slider.setForeColor(colorRef(4, 5, 6));
    slider.setForeColor2(colorRef(7, 8, 9));
    EXPECT_EQ(log.events, QStringList({"Change", "Change", "Change"}));
    log.events.clear();
    slider.setEnabled(false);
    slider.setSnap(true);
    slider.setStyle(0);
    EXPECT_TRUE(log.events.isEmpty());
    EXPECT_FALSE(slider.Enabled());
    EXPECT_TRUE(slider.isEnabled()) << "the widget itself stays enabled for the keyboard";
}

TEST_F(SmallRange, ArrowKeysStepAndStopAtTheEnds)
{
    SliderTestLog log(slider);
    slider.setValue(9);
    log.events.clear();
    QTest::keyClick(&slider, Qt::Key_Right);
    EXPECT_EQ(slider.Value(), 9);
    EXPECT_EQ(log.events, QStringList({"Change", "Scroll"}));

    QTest::keyClick(&slider, Qt::Key_Left);
    EXPECT_EQ(slider.Value(), 8);

    slider.setValue(0);
    log.events.clear();
    QTest::keyClick(&slider, Qt::Key_Left);
    QTest::keyClick(&slider, Qt::Key_Up);
    QTest::keyClick(&slider, Qt::Key_Down);
    EXPECT_EQ(slider.Value(), 0);
    EXPECT_EQ(log.events, QStringList({"Change", "Scroll", "Change", "Scroll", "Change", "Scroll"}));

    slider.setMax(std::numeric_limits<qint32>::max());
    slider.setValue(std::numeric_limits<qint32>::max());
    QTest::keyClick(&slider, Qt::Key_Right);
    EXPECT_EQ(slider.Value(), std::numeric_limits<qint32>::max());
}

TEST_F(SmallRange, ClickRaisesItsEventsInOrder)
{
    SliderTestLog log(slider);
    // Pointer at pixel 50: (50 - 19) / 181 * 9 = 1.54 -> 2.
    hover(slider, QPoint(50, 10));
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(50, 10));
    EXPECT_EQ(slider.Value(), 2);
    EXPECT_EQ(log.events, QStringList({"MouseUp", "Click", "Scroll", "Change", "DblClick"}));
    EXPECT_EQ(log.mouseUpButtons, QList<qint16>({1}));
}

TEST_F(SmallRange, ClickOnAControlThatCameUnderAStillPointerUsesThePressPosition)
{
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_EQ(slider.Value(), 9);
}

TEST_F(SmallRange, DragMovesTheValueOnEveryMove)
{
    SliderTestLog log(slider);
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(100, 10));
    EXPECT_TRUE(log.events.isEmpty()) << "a press does nothing";
    QTest::mouseMove(&slider, QPoint(30, 10));
    EXPECT_EQ(slider.Value(), 1);
    EXPECT_EQ(log.events, QStringList({"Scroll", "Change"}));
    QTest::mouseMove(&slider, QPoint(500, 10));
    EXPECT_EQ(slider.Value(), 9);
    // The handle follows the pointer, limited to the track's end.
    EXPECT_EQ(slider.handlePixel(), 225 - 33);
    log.events.clear();
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(500, 10));
    // Released outside the control: no click.
    EXPECT_EQ(log.events, QStringList({"MouseUp"}));
    EXPECT_EQ(slider.Value(), 9);
}

TEST_F(SmallRange, DragReleasedOnTheControlEndsWithAClickAtTheLastPosition)
{
    SliderTestLog log(slider);
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(100, 10));
    QTest::mouseMove(&slider, QPoint(2, 10));
    EXPECT_EQ(slider.Value(), 0);
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(2, 10));
    EXPECT_EQ(slider.Value(), 0);
    EXPECT_EQ(log.events, QStringList({"Scroll", "Change", "MouseUp", "Click", "Scroll", "Change", "DblClick"}));
}

TEST_F(SmallRange, DoubleClickRunsTheClickRoutineTwice)
{
    SliderTestLog log(slider);
    hover(slider, QPoint(110, 10));
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(110, 10));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(110, 10));
    QTest::mouseDClick(&slider, Qt::LeftButton, {}, QPoint(110, 10));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(110, 10));
    EXPECT_EQ(log.events, QStringList({"MouseUp", "Click", "Scroll", "Change", "DblClick", "Scroll", "Change",
                                       "DblClick", "MouseUp"}));
    EXPECT_EQ(slider.Value(), 5);
}

TEST_F(SmallRange, DblClickHandlerWritesTheValueWithoutLimits)
{
    QObject::connect(&slider, &SliderWidget::DblClick, [](int& value) { value = 42; });
    QTest::mouseClick(&slider, Qt::LeftButton, {}, QPoint(50, 10));
    EXPECT_EQ(slider.Value(), 42);
    // The arrow keys bring it back into the range.
    QTest::keyClick(&slider, Qt::Key_Left);
    EXPECT_EQ(slider.Value(), 9);
}

TEST_F(SmallRange, DisabledIgnoresTheMouseButFollowsTheKeys)
{
    slider.setEnabled(false);
    SliderTestLog log(slider);
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(100, 10));
    QTest::mouseMove(&slider, QPoint(200, 10));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_EQ(slider.Value(), 5);
    EXPECT_EQ(log.events, QStringList({"MouseUp", "Click", "DblClick"}));

    QTest::keyClick(&slider, Qt::Key_Right);
    EXPECT_EQ(slider.Value(), 6);
}

TEST_F(SmallRange, RightButtonDragDoesNothing)
{
    SliderTestLog log(slider);
    hover(slider, QPoint(30, 10));
    QTest::mousePress(&slider, Qt::RightButton, {}, QPoint(30, 10));
    QTest::mouseMove(&slider, QPoint(200, 10));
    QTest::mouseRelease(&slider, Qt::RightButton, {}, QPoint(200, 10));
    EXPECT_EQ(slider.Value(), 5);
    EXPECT_EQ(log.events, QStringList({"MouseUp"}));
    EXPECT_EQ(log.mouseUpButtons, QList<qint16>({2}));
}

TEST_F(SmallRange, MouseUpPassesButtonShiftAndTwips)
{
    QSignalSpy up(&slider, &SliderWidget::MouseUp);
    QTest::mouseClick(&slider, Qt::MiddleButton, Qt::ShiftModifier | Qt::ControlModifier, QPoint(30, 7));
    ASSERT_EQ(up.count(), 1);
    EXPECT_EQ(up[0][0].value<qint16>(), 4);
    EXPECT_EQ(up[0][1].value<qint16>(), 3);
    EXPECT_FLOAT_EQ(up[0][2].toFloat(), 450.0f);
    EXPECT_FLOAT_EQ(up[0][3].toFloat(), 105.0f);
}

TEST_F(SmallRange, WithoutSnapTheHandleAndColourFollowThePointer)
{
    slider.setForeColor(colorRef(255, 0, 0));
    slider.setForeColor2(colorRef(0, 255, 0));
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(100, 10));
    QTest::mouseMove(&slider, QPoint(120, 10));
    EXPECT_EQ(slider.Value(), 5);
    EXPECT_EQ(slider.handlePixel(), 110); // 120 - 9.5 = 110.5 -> 110
    // Fraction 110.5 / 200.
    EXPECT_EQ(slider.fillColor(), colorRef(114, 141, 0));

    slider.setSnap(true);
    EXPECT_EQ(slider.handlePixel(), 112); // value 5: round(9.5 + round(100.56) + 1)
    EXPECT_EQ(slider.fillColor(), colorRef(113, 142, 0));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(120, 10));

    // A key clears the pointer mark: the handle shows the value again.
    slider.setSnap(false);
    EXPECT_EQ(slider.handlePixel(), 110);
    QTest::keyClick(&slider, Qt::Key_Up);
    EXPECT_EQ(slider.handlePixel(), 112);
}

TEST(SliderSize, HorizontalKeepsItsMinimumLengthAndThickness)
{
    SliderWidget slider;
    slider.resize(40, 50);
    EXPECT_EQ(slider.size(), QSize(63, 20));
    slider.resize(300, 5);
    EXPECT_EQ(slider.size(), QSize(300, 20));
}

TEST(SliderSize, StyleTurnsTheControlAndKeepsItsLength)
{
    SliderWidget slider;
    slider.resize(300, 20);
    slider.setStyle(1);
    EXPECT_EQ(slider.size(), QSize(20, 300));
    slider.resize(50, 10);
    EXPECT_EQ(slider.size(), QSize(20, 63));
    slider.resize(20, 250);
    // Setting the orientation it already has must not shrink it.
    slider.setStyle(7);
    EXPECT_EQ(slider.size(), QSize(20, 250));
    slider.setStyle(0);
    EXPECT_EQ(slider.size(), QSize(250, 20));
    slider.setStyle(0);
    EXPECT_EQ(slider.size(), QSize(250, 20));
}

TEST(SliderSize, VerticalMouseAndKeys)
{
    SliderWidget slider;
    slider.setStyle(1);
    slider.resize(20, 225);
    slider.setMin(0);
    slider.setMax(9);
    slider.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&slider));
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(10, 100));
    QTest::mouseMove(&slider, QPoint(10, 0));
    EXPECT_EQ(slider.Value(), 9) << "top is Max";
    EXPECT_EQ(slider.handlePixel(), 14);
    QTest::mouseMove(&slider, QPoint(10, 224));
    EXPECT_EQ(slider.Value(), 0);
    EXPECT_EQ(slider.handlePixel(), 225 - 29);
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(10, 224));
    QTest::keyClick(&slider, Qt::Key_Right);
    EXPECT_EQ(slider.Value(), 1);
}
