#include "convert/WmaBitrateList.h"
#include "engine/Bass.h"

#include <gtest/gtest.h>

using convert::GetWMABitRateFromQuality;
using convert::WmaBitrateList;

namespace {

const DWORD kTenRates[] = {320000, 256000, 192000, 160000, 128000, 96000, 80000, 64000, 48000, 32000, 0};

} // namespace

TEST(WmaBitrateList, EntriesShowKilobitsAndHoldTheExactRate)
{
    WmaBitrateList list;
    EXPECT_EQ(list.name(), QStringLiteral("cmbWMAEncodingBitrate"));
    EXPECT_EQ(list.ListCount(), 0);
    const DWORD rates[] = {1411200, 127600, 0, 5};
    list.fillFromRates(rates);
    ASSERT_EQ(list.ListCount(), 2);
    EXPECT_EQ(list.items().at(0), QStringLiteral("1,411 Kbps"));
    EXPECT_EQ(list.items().at(1), QStringLiteral("128 Kbps"));
    EXPECT_EQ(list.ItemData(0), 1411200u);
    EXPECT_EQ(list.ItemData(1), 127600u);
    EXPECT_EQ(list.ItemData(2), 0u);
    EXPECT_EQ(list.ListIndex(), -1);
    // The chosen rate is the text's rounded kilobits, not the exact item data.
    EXPECT_EQ(list.selectForQuality(0), 128000);
    EXPECT_EQ(list.selectForQuality(100), 1411000);
}

TEST(WmaBitrateList, QualityChoosesAnEntryWithHalvesToEven)
{
    WmaBitrateList list;
    list.fillFromRates(kTenRates);
    struct Case {
        int quality;
        int entry;
    };
    for (const Case c : {Case{50, 5}, Case{55, 4}, Case{45, 6}, Case{3, 9}, Case{0, 9}, Case{1, 9}, Case{100, 0},
                         Case{65, 4} /* 6.5 rounds to 6 */, Case{75, 2} /* 7.5 rounds to 8 */, Case{99, 0}}) {
        EXPECT_EQ(list.selectForQuality(c.quality), int(kTenRates[c.entry])) << c.quality;
        EXPECT_EQ(list.ListIndex(), c.entry) << c.quality;
    }
    EXPECT_EQ(list.selectForQuality(101), -1);
    EXPECT_EQ(list.selectForQuality(-1), -1);
    WmaBitrateList empty;
    EXPECT_EQ(empty.selectForQuality(50), -1);
}

TEST(WmaBitrateList, RatesComeFromTheEncoderForTheInputFormat)
{
    WmaBitrateList list;
    EXPECT_EQ(GetWMABitRateFromQuality(list, true, 44100, 2, 50), 0);
    EXPECT_EQ(list.ListCount(), 0);

    const DWORD* stereo = BASS_WMA_EncodeGetRates(44100, 2, BASS_WMA_ENCODE_STANDARD);
    ASSERT_NE(stereo, nullptr);
    EXPECT_EQ(GetWMABitRateFromQuality(list, false, 44100, 2, 100), int(stereo[0]));
    EXPECT_EQ(list.ListIndex(), 0);
    const int stereoCount = list.ListCount();
    EXPECT_EQ(GetWMABitRateFromQuality(list, false, 44100, 2, 0), int(stereo[stereoCount - 1]));
    EXPECT_EQ(GetWMABitRateFromQuality(list, false, 44100, 2, 1), int(stereo[stereoCount - 1]));

    // A mono input gets the list for one channel.
    const DWORD* mono = BASS_WMA_EncodeGetRates(8000, 1, BASS_WMA_ENCODE_STANDARD);
    ASSERT_NE(mono, nullptr);
    GetWMABitRateFromQuality(list, false, 8000, 1, 100);
    EXPECT_EQ(list.ItemData(0), mono[0]);
    EXPECT_LT(mono[0], stereo[0]);

    // No rates for the format: -1, and the list keeps the last entries.
    const int before = list.ListCount();
    EXPECT_EQ(GetWMABitRateFromQuality(list, false, 96000, 2, 50), -1);
    EXPECT_EQ(list.ListCount(), before);
}
