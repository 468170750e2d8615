// Older stored versions of the small records load and upgrade to the
// current record as their version ladders say.
#include "SmallStateCases.h"

#include <gtest/gtest.h>

using namespace tlstate_test;

namespace {

struct AdjustStep {
    const char* block;
    int result;
    CTlAdjustState expected;
};

CTlAdjustState Adjust(double value, std::uint16_t first, std::uint16_t second, std::uint8_t firstFlag,
                      std::int32_t mode, std::uint16_t third, std::uint8_t secondFlag, std::int32_t extra)
{
    CTlAdjustState r;
    r.value = value;
    r.first = first;
    r.second = second;
    r.firstFlag = firstFlag;
    r.mode = mode;
    r.third = third;
    r.secondFlag = secondFlag;
    r.extra = extra;
    return r;
}

TEST(SmallStatesUpgradeTest, AdjustStateEachVersionAddsItsFields)
{
    const AdjustStep steps[] = {
        {kAdjustStateV1, 26, Adjust(-1.5, 4, 0, 0, 3, 0, 0, 0)},
        {kAdjustStateV2, 33, Adjust(-1.5, 4, 5, 1, 1, 0, 0, 0)},
        {kAdjustStateV3, 35, Adjust(-1.5, 4, 5, 1, 1, 6, 0, 0)},
        {kAdjustStateV4, 40, Adjust(-1.5, 4, 5, 1, 1, 6, 3, 77)},
        {kAdjustStateV5, 48, Adjust(-1.555, 4, 5, 1, 1, 6, 3, 77)},
    };
    for (const AdjustStep& step : steps) {
        CTlAdjustState record;
        record.fourth = 99;
        EXPECT_EQ(LoadBytes(record, Hex(step.block)), step.result);
        EXPECT_TRUE(record.IsEqual(step.expected)) << step.result;
        EXPECT_NEAR(record.value, step.expected.value, 1e-12) << step.result;
    }
}

TEST(SmallStatesUpgradeTest, AdjustStateVersion1ValueIsInHundredths)
{
    CTlAdjustState record;
    ASSERT_EQ(LoadBytes(record, Hex(kAdjustStateV1)), 26);
    EXPECT_DOUBLE_EQ(record.value, -1.5);
    EXPECT_EQ(record.mode, 3);
}

TEST(SmallStatesUpgradeTest, AdjustStateSavesHundredthsTruncatedAndSaturated)
{
    const struct { double value; std::int16_t stored; } cases[] = {
        {-1.259, -125}, {1.259, 125}, {400.0, 32767}, {-400.0, -32768}};
    for (const auto& c : cases) {
        CTlAdjustState record;
        record.value = c.value;
        const Bytes bytes = SaveWhole(record);
        std::int16_t stored = 0;
        std::memcpy(&stored, bytes.data() + 22, 2);
        EXPECT_EQ(stored, c.stored) << c.value;
    }
}

TEST(SmallStatesUpgradeTest, TripleValueStateVersion1MapsTheCode)
{
    const struct { std::uint16_t code; std::int32_t first; } codes[] = {{0, 0}, {1, 4}, {2, 5}, {3, 8}, {4, 0}};
    for (const auto& c : codes) {
        Bytes block = Hex(kTripleValueStateV1);
        PutU16(block, 22, c.code);
        CTlTripleValueState record;
        record.second = 7;
        EXPECT_EQ(LoadBytes(record, block), 25);
        EXPECT_EQ(record.first, c.first) << c.code;
        EXPECT_TRUE(record.flag);
        EXPECT_EQ(record.second, 0);
    }
}

TEST(SmallStatesUpgradeTest, TripleValueStateVersion2HasNoSecondValue)
{
    CTlTripleValueState record;
    record.second = 7;
    EXPECT_EQ(LoadBytes(record, Hex(kTripleValueStateV2)), 27);
    EXPECT_EQ(record.first, 9);
    EXPECT_TRUE(record.flag);
    EXPECT_EQ(record.second, 0);
}

TEST(SmallStatesUpgradeTest, WhiteBalanceStateLadder)
{
    CTlWhiteBalanceState v1;
    EXPECT_EQ(LoadBytes(v1, Hex(kWhiteBalanceStateV1)), 38);
    EXPECT_EQ(v1.firstGain, 1.25);
    EXPECT_EQ(v1.secondGain, 0.75);
    EXPECT_EQ(v1.mode, 1);

    CTlWhiteBalanceState v2;
    EXPECT_EQ(LoadBytes(v2, Hex(kWhiteBalanceStateV2)), 48);
    EXPECT_EQ(v2.mode, 4);
    EXPECT_EQ(v2.preset, 256);
    EXPECT_EQ(v2.temperature, 3000);
    EXPECT_EQ(v2.further, 0);

    CTlWhiteBalanceState v3;
    v3.flag = 1;
    EXPECT_EQ(LoadBytes(v3, Hex(kWhiteBalanceStateV3)), 50);
    EXPECT_EQ(v3.further, 11);
    EXPECT_EQ(v3.flag, 0);
}

TEST(SmallStatesUpgradeTest, WhiteBalanceStateNewerVersionReadsTheCurrentFields)
{
    Bytes block = Hex(kWhiteBalanceStateV4);
    PutU16(block, 16, 9);
    CTlWhiteBalanceState record;
    EXPECT_EQ(LoadBytes(record, block), 51);
    EXPECT_EQ(record.flag, 1);
}

TEST(SmallStatesUpgradeTest, UsmListStateVersion1HasNoLengthWord)
{
    CTlUsmListState record;
    EXPECT_EQ(LoadBytes(record, Hex(kUsmListStateV1)), 19 + 27);
    ASSERT_EQ(record.entries.size(), 1u);
    EXPECT_EQ(record.entries[0].value1, 100);
    EXPECT_EQ(record.entries[0].kind, 2);
    EXPECT_EQ(SaveWhole(record).size(), 23u + 27u);
}

TEST(SmallStatesUpgradeTest, LEGeneralVersion1KeepsTwoValues)
{
    CTlLEGeneral record;
    record.values[3] = 5;
    EXPECT_EQ(LoadBytes(record, Hex(kLEGeneralV1)), 26);
    EXPECT_EQ(record.values[0], 8);
    EXPECT_EQ(record.values[1], 9);
    EXPECT_EQ(record.values[2], 0);
    EXPECT_EQ(record.values[3], 0);
}

TEST(SmallStatesUpgradeTest, VignetteStateVersion0IsTheDefault)
{
    CTlVignetteState record;
    record.value = 3;
    const Bytes golden = Hex(kVignetteStateV1);
    Bytes block(golden.begin(), golden.begin() + 18);
    PutU16(block, 16, 0);
    EXPECT_EQ(LoadBytes(record, block), 22);
    EXPECT_EQ(record.value, 80);
}

} // namespace
