#include "SliderTestLog.h"
#include "controls/MemoryPropertyBag.h"
#include "controls/SliderWidget.h"

#include <gtest/gtest.h>

using namespace controls;

TEST(PropertyBag, KeepsOnlyValuesThatDifferFromTheirDefault)
{
    MemoryPropertyBag bag;
    bag.write("Value", 7, 50);
    EXPECT_EQ(bag.read("Value", 50).toInt(), 7);
    bag.write("Value", 50, 50);
    EXPECT_FALSE(bag.contains("Value")) << "a stale value must not survive a write of the default";
    EXPECT_EQ(bag.read("Value", 50).toInt(), 50);
    EXPECT_EQ(bag.read("Missing", "fallback").toString(), "fallback");
}

TEST(SliderPersistence, DefaultsStoreNothing)
{
    SliderWidget slider;
    MemoryPropertyBag bag;
    slider.saveProperties(bag);
    EXPECT_EQ(bag.size(), 0);
}

TEST(SliderPersistence, RoundTripStoresOnlyWhatDiffers)
{
    SliderWidget original;
    original.setMin(-2);
    original.setMax(10);
    original.setValue(3);
    original.setSnap(true);
    original.setBackColor(colorRef(255, 192, 192));
    MemoryPropertyBag bag;
    original.saveProperties(bag);
    EXPECT_EQ(bag.names(), QStringList({"BackColor", "Max", "Min", "Snap", "Value"}));

    SliderWidget copy;
    SliderTestLog log(copy);
    copy.loadProperties(bag);
    EXPECT_EQ(copy.Min(), -2);
    EXPECT_EQ(copy.Max(), 10);
    EXPECT_EQ(copy.Value(), 3);
    EXPECT_TRUE(copy.Snap());
    EXPECT_TRUE(copy.Enabled());
    EXPECT_EQ(copy.Style(), 0);
    EXPECT_EQ(copy.BackColor(), colorRef(255, 192, 192));
    EXPECT_EQ(copy.ForeColor(), colorRef(200, 200, 0));
    EXPECT_EQ(copy.ForeColor2(), colorRef(200, 0, 0));
    // Value, Max, Min and the three colours, through their setters.
    EXPECT_EQ(log.events.count("Change"), 6);

    MemoryPropertyBag again;
    copy.saveProperties(again);
    EXPECT_EQ(again.names(), bag.names());
}

TEST(SliderPersistence, RangesOutsideTheDefaultOneComeBackWhole)
{
    struct Case {
        qint32 min, max, value;
    };
    for (const Case c : {Case{150, 200, 175}, Case{-300, -200, -250}, Case{-1000, 1000, 999}, Case{0, 1, 1}}) {
        SliderWidget original;
        original.setMax(std::max(c.max, original.Max()));
        original.setMin(c.min);
        original.setMax(c.max);
        original.setValue(c.value);
        ASSERT_EQ(original.Min(), c.min);
        ASSERT_EQ(original.Max(), c.max);
        MemoryPropertyBag bag;
        original.saveProperties(bag);

        SliderWidget copy;
        copy.loadProperties(bag);
        EXPECT_EQ(copy.Min(), c.min);
        EXPECT_EQ(copy.Max(), c.max);
        EXPECT_EQ(copy.Value(), c.value);
    }
}

TEST(SliderPersistence, LoadingKeepsThePlacedSize)
{
    for (int width : {195, 250, 372}) {
        SliderWidget slider;
        slider.resize(width, 20);
        MemoryPropertyBag bag;
        bag.write("Snap", true, false);
        slider.loadProperties(bag);
        EXPECT_EQ(slider.size(), QSize(width, 20));
    }

    SliderWidget vertical;
    vertical.setStyle(1);
    vertical.resize(20, 300);
    MemoryPropertyBag bag;
    vertical.saveProperties(bag);
    EXPECT_EQ(bag.read("Style", 0).toInt(), 1);
    vertical.loadProperties(bag);
    EXPECT_EQ(vertical.size(), QSize(20, 300));

    // A fresh instance made vertical by loading keeps its length, turned.
    SliderWidget fresh;
    fresh.resize(240, 20);
    fresh.loadProperties(bag);
    EXPECT_EQ(fresh.size(), QSize(20, 240));
}

TEST(SliderPersistence, StoredTextAndBadEntriesFallBackSensibly)
{
    MemoryPropertyBag bag;
    const QVariant none;
    bag.write("Value", "7", none);
    bag.write("Max", "not a number", none);
    bag.write("Min", "99999999999", none); // beyond 32 bits
    bag.write("Enabled", "False", none);
    bag.write("Snap", "1", none);
    bag.write("ForeColor", "255", none);
    bag.write("BackColor", -1, none);
    bag.write("Style", "banana", none);

    SliderWidget slider;
    slider.loadProperties(bag);
    EXPECT_EQ(slider.Value(), 7);
    EXPECT_EQ(slider.Max(), 100);
    EXPECT_EQ(slider.Min(), -100);
    EXPECT_FALSE(slider.Enabled());
    EXPECT_TRUE(slider.Snap());
    EXPECT_EQ(slider.ForeColor(), colorRef(255, 0, 0));
    EXPECT_EQ(slider.BackColor(), 0xFFFFFFFFu);
    EXPECT_EQ(slider.Style(), 0);
}
