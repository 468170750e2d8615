// The auto-brightness record: its copy, defaults and reset, and how it takes
// the levels that the watched filter reports.
#include "SmallStateCases.h"

#include "kelvra/tests/KelvraNullFilter.h"
#include "settings/small/TlAutoLevelsSource.h"

#include <gtest/gtest.h>

using namespace tlstate_test;

namespace {

// A filter that offers fixed levels and records which channels were asked.
class FakeLevelsFilter : public kelvra_image_test::CNullFilter, public ITlAutoLevelsSource {
public:
    FakeLevelsFilter() : CNullFilter(KelvraFourCC('A', 'u', 't', 'o')) {}
    long GetLowLevel(long channel) override
    {
        lowChannel = channel;
        return 17;
    }
    long GetHighLevel(long channel) override
    {
        highChannel = channel;
        return 230;
    }
    long GetAutoGain() override { return -384; }

    long lowChannel = 99;
    long highChannel = 99;
};

TEST(AutoBrightnessStateTest, LevelsFoundNoticeTakesTheFiltersLevels)
{
    FakeLevelsFilter filter;
    CTlAutoBrightnessState record;
    EXPECT_EQ(record.OnNotify(&filter, CTlAutoBrightnessState::kLevelsFoundCode, nullptr), 0);
    EXPECT_EQ(record.lowLevel, 17);
    EXPECT_EQ(record.highLevel, 230);
    EXPECT_EQ(record.autoGain, -384);
    EXPECT_EQ(filter.lowChannel, -1);
    EXPECT_EQ(filter.highChannel, -1);
}

TEST(AutoBrightnessStateTest, OtherNoticesAndFiltersChangeNothing)
{
    FakeLevelsFilter filter;
    kelvra_image_test::CNullFilter plain(KelvraFourCC('N', 'u', 'l', 'l'));
    CTlAutoBrightnessState record;
    EXPECT_EQ(record.OnNotify(&filter, 999, nullptr), 0);
    EXPECT_EQ(record.OnNotify(&plain, CTlAutoBrightnessState::kLevelsFoundCode, nullptr), 0);
    EXPECT_EQ(record.OnNotify(nullptr, CTlAutoBrightnessState::kLevelsFoundCode, nullptr), 0);
    EXPECT_EQ(record.lowLevel, -1);
    EXPECT_EQ(record.highLevel, -1);
    EXPECT_EQ(record.autoGain, -1);
}

TEST(AutoBrightnessStateTest, CopyTakesSettingsAndLevelsButNotTheGain)
{
    CTlAutoBrightnessState source;
    FillAutoBrightness(source);
    source.autoGain = 5;
    source.transient = 1;
    CTlAutoBrightnessState target;
    target.transient = 1;
    target = source;
    EXPECT_EQ(SaveWhole(target), Hex(kAutoBrightnessStateV1));
    EXPECT_EQ(target.autoGain, -1);
    EXPECT_EQ(target.transient, 0);
    EXPECT_TRUE(target.IsEqual(source));
}

TEST(AutoBrightnessStateTest, LoadClearsTheTransientByteAndKeepsTheGain)
{
    CTlAutoBrightnessState record;
    record.transient = 1;
    record.autoGain = 8;
    ASSERT_EQ(LoadBytes(record, Hex(kAutoBrightnessStateV1)), 39);
    EXPECT_EQ(record.transient, 0);
    EXPECT_EQ(record.autoGain, 8);
}

TEST(AutoBrightnessStateTest, EqualityAndDefaultsIgnoreTheLevels)
{
    CTlAutoBrightnessState a;
    CTlAutoBrightnessState b;
    b.lowLevel = 3;
    EXPECT_TRUE(a.IsEqual(b));
    EXPECT_TRUE(b.IsDefault());
    b.useBlackLevel = true;
    EXPECT_FALSE(a.IsEqual(b));
    EXPECT_FALSE(b.IsDefault());
    b.Reset();
    EXPECT_TRUE(b.IsDefault());
    EXPECT_EQ(b.lowLevel, 3);
}

TEST(AutoBrightnessStateTest, AbsentLevelsDefaultToMinusOne)
{
    Bytes block = Hex(kAutoBrightnessStateV1);
    block.resize(31);
    PutU32(block, 18, 31 - 18);
    CTlAutoBrightnessState record;
    FillAutoBrightness(record);
    EXPECT_EQ(LoadBytes(record, block), 39);
    EXPECT_EQ(record.lowLevel, -1);
    EXPECT_EQ(record.highLevel, -1);
    EXPECT_TRUE(record.useBlackLevel);
    EXPECT_EQ(record.exposureCompensation, 1.5);
}

} // namespace
