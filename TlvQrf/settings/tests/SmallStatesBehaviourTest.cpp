// Copy, equality, defaults, reset and the record-specific operations of the
// small records.
#include "SmallStateCases.h"

#include <gtest/gtest.h>

using namespace tlstate_test;

namespace {

TEST(ChromaBoostStateTest, LoadClampsTheAmount)
{
    const struct { std::int32_t stored, loaded; } cases[] = {{150, 100}, {-5, 0}, {100, 100}, {0, 0}};
    for (const auto& c : cases) {
        Bytes block = Hex(kChromaBoostStateV1);
        PutU32(block, 23, std::uint32_t(c.stored));
        CTlChromaBoostState record;
        EXPECT_EQ(LoadBytes(record, block), 27);
        EXPECT_EQ(record.amount, c.loaded) << c.stored;
    }
}

TEST(ChromaBoostStateTest, CopyClampsAndKeepsTheWorkingValue)
{
    CTlChromaBoostState source;
    source.amount = 250;
    source.working = 9;
    source.enabled = false;
    CTlChromaBoostState target;
    target = source;
    EXPECT_EQ(target.amount, 100);
    EXPECT_EQ(target.working, -1);
    EXPECT_FALSE(target.enabled);
    EXPECT_TRUE(target.IsEqual(CTlChromaBoostState(source)));
}

TEST(ChromaBoostStateTest, DefaultsAndReset)
{
    CTlChromaBoostState record;
    FillChromaBoost(record);
    record.working = 4;
    EXPECT_FALSE(record.IsDefault());
    record.Reset();
    EXPECT_TRUE(record.IsDefault());
    EXPECT_EQ(record.working, -1);
    EXPECT_TRUE(record.enabled);
}

TEST(ChromaBoostStateTest, BlockWithoutFieldsLoadsTheDefaults)
{
    Bytes block = Hex(kChromaBoostStateV1);
    block.resize(22);
    PutU32(block, 18, 4);
    CTlChromaBoostState record;
    FillChromaBoost(record);
    EXPECT_EQ(LoadBytes(record, block), 27);
    EXPECT_EQ(record.amount, 0);
    EXPECT_TRUE(record.enabled);
}

TEST(AdjustStateTest, DefaultsAreZeroExceptMode)
{
    CTlAdjustState record;
    EXPECT_TRUE(record.IsDefault());
    EXPECT_EQ(record.mode, 3);
    FillAdjust(record);
    EXPECT_FALSE(record.IsDefault());
    record.Reset();
    EXPECT_TRUE(record.IsDefault());
}

TEST(AdjustStateTest, EqualityLooksAtEveryField)
{
    CTlAdjustState base;
    FillAdjust(base);
    void (*changes[])(CTlAdjustState&) = {
        [](CTlAdjustState& r) { r.value += 0.01; },  [](CTlAdjustState& r) { ++r.first; },
        [](CTlAdjustState& r) { ++r.second; },       [](CTlAdjustState& r) { ++r.third; },
        [](CTlAdjustState& r) { ++r.firstFlag; },    [](CTlAdjustState& r) { ++r.mode; },
        [](CTlAdjustState& r) { ++r.secondFlag; },   [](CTlAdjustState& r) { ++r.extra; },
        [](CTlAdjustState& r) { ++r.fourth; },
    };
    for (auto change : changes) {
        CTlAdjustState other = base;
        EXPECT_TRUE(other.IsEqual(base));
        change(other);
        EXPECT_FALSE(other.IsEqual(base));
    }
}

TEST(FlagStateTest, NeverAtDefaultsAndResetsToFalseThree)
{
    CTlFlagState record;
    EXPECT_FALSE(record.IsDefault());
    FillFlag(record);
    record.Reset();
    EXPECT_FALSE(record.flag);
    EXPECT_EQ(record.value, 3);
}

TEST(FlagStateTest, FlagByteIsNormalised)
{
    Bytes block = Hex(kFlagStateV1);
    block[22] = 0x7F;
    CTlFlagState record;
    ASSERT_EQ(LoadBytes(record, block), 27);
    EXPECT_EQ(SaveWhole(record)[22], 1);
}

TEST(TripleValueStateTest, SecondIsClearedWhenUnavailable)
{
    CTlTripleValueState record;
    FillTripleValue(record);
    record.SetSecondAvailable(true);
    EXPECT_EQ(record.second, -2);
    record.SetSecondAvailable(false);
    EXPECT_EQ(record.second, 0);
    EXPECT_EQ(record.first, 5);
}

TEST(TripleValueStateTest, DefaultsAndReset)
{
    CTlTripleValueState record;
    EXPECT_TRUE(record.IsDefault());
    FillTripleValue(record);
    EXPECT_FALSE(record.IsDefault());
    record.Reset();
    EXPECT_TRUE(record.IsDefault());
}

TEST(RevelationStateTest, DefaultsLookAtTheFirstTwoOnly)
{
    CTlRevelationState record;
    EXPECT_FALSE(record.IsDefault());
    record.first = 0;
    record.second = 0;
    EXPECT_TRUE(record.IsDefault());
    record.Reset();
    EXPECT_EQ(record.first, 51);
    EXPECT_EQ(record.second, 51);
    EXPECT_EQ(record.third, 190);
}

TEST(VignetteStateTest, DefaultsMeanZeroResetMeansEighty)
{
    CTlVignetteState record;
    EXPECT_FALSE(record.IsDefault());
    record.value = 0;
    EXPECT_TRUE(record.IsDefault());
    record.Reset();
    EXPECT_EQ(record.value, 80);
}

TEST(UsmStateTest, EqualityLooksAtTheFirstTwoValues)
{
    CTlUsmState a;
    CTlUsmState b;
    b.value3 = 9;
    b.kind = 1;
    b.flag = 1;
    EXPECT_TRUE(a.IsEqual(b));
    b.value2 = 1;
    EXPECT_FALSE(a.IsEqual(b));
}

TEST(UsmStateTest, FlagByteIsTakenAsStored)
{
    Bytes block = Hex(kUsmStateV1);
    block[26] = 0x7F;
    CTlUsmState record;
    ASSERT_EQ(LoadBytes(record, block), 27);
    EXPECT_EQ(record.flag, 0x7F);
}

TEST(UsmListStateTest, ThreeEntriesSave104Bytes)
{
    CTlUsmListState record;
    record.entries.resize(3);
    EXPECT_EQ(record.GetSize(), 23 + 81);
    EXPECT_FALSE(record.IsDefault());
    EXPECT_TRUE(CTlUsmListState().IsDefault());
}

TEST(UsmListStateTest, EntryWithAnotherVersionEndsTheList)
{
    Bytes block = Hex(kUsmListStateV2);
    PutU16(block, 23 + 27 + 16, 2);
    CTlUsmListState record;
    FillUsmList(record);
    record.entries.push_back(CTlUsmState());
    EXPECT_EQ(LoadBytes(record, block), 23 + 2 * 27);
    ASSERT_EQ(record.entries.size(), 1u);
    EXPECT_EQ(record.entries[0].value1, 100);
}

TEST(UsmListStateTest, BlockEndingBeforeTheCountEmptiesTheList)
{
    Bytes block = Hex(kUsmListStateV2);
    block.resize(22);
    PutU32(block, 18, 4);
    CTlUsmListState record;
    FillUsmList(record);
    EXPECT_EQ(LoadBytes(record, block), 23);
    EXPECT_TRUE(record.IsDefault());
}

TEST(UsmListStateTest, OnlyTheFirst255EntriesAreSaved)
{
    CTlUsmListState record;
    record.entries.resize(300);
    const Bytes bytes = SaveWhole(record);
    EXPECT_EQ(bytes.size(), 23u + 255u * 27u);
    EXPECT_EQ(bytes[22], 255);
    CTlUsmListState loaded;
    EXPECT_EQ(LoadBytes(loaded, bytes), int(bytes.size()));
    EXPECT_EQ(loaded.entries.size(), 255u);
}

TEST(WhiteBalanceStateTest, EqualityDependsOnTheMode)
{
    CTlWhiteBalanceState a;
    FillWhiteBalance(a);
    const struct { std::int32_t mode; bool gainsMatter, temperatureMatters; } modes[] = {
        {1, true, false}, {2, false, false}, {3, false, true}, {4, false, false}};
    for (const auto& m : modes) {
        a.mode = m.mode;
        CTlWhiteBalanceState b = a;
        EXPECT_TRUE(a.IsEqual(b)) << m.mode;
        b.firstGain += 1.0;
        EXPECT_EQ(a.IsEqual(b), !m.gainsMatter) << m.mode;
        b = a;
        b.temperature += 1;
        EXPECT_EQ(a.IsEqual(b), !m.temperatureMatters) << m.mode;
        b = a;
        b.preset += 1;
        EXPECT_EQ(a.IsEqual(b), !m.temperatureMatters) << m.mode;
    }
    a.mode = 5;
    EXPECT_FALSE(a.IsEqual(a));
    CTlWhiteBalanceState b = a;
    b.mode = 4;
    EXPECT_FALSE(a.IsEqual(b));
}

TEST(WhiteBalanceStateTest, DefaultsMeanAsShotResetMeansGains)
{
    CTlWhiteBalanceState record;
    FillWhiteBalance(record);
    record.mode = 2;
    EXPECT_TRUE(record.IsDefault());
    record.Reset();
    EXPECT_FALSE(record.IsDefault());
    EXPECT_EQ(record.mode, 1);
    EXPECT_EQ(record.firstGain, 0.0);
    EXPECT_EQ(record.preset, 0);
}

TEST(RedEyeStateTest, OneTenByteBlockSaves45Bytes)
{
    CTlRedEyeState record;
    record.firstRegions.resize(1);
    ASSERT_TRUE(record.firstRegions[0].Set(nullptr, 10));
    EXPECT_EQ(record.GetSize(), 45);
}

TEST(RedEyeStateTest, LoadedRegionsHoldTheStoredBytes)
{
    CTlRedEyeState record;
    ASSERT_EQ(LoadBytes(record, Hex(kRedEyeStateV1)), 44);
    ASSERT_EQ(record.firstRegions.size(), 1u);
    ASSERT_EQ(record.secondRegions.size(), 1u);
    EXPECT_EQ(Bytes(record.firstRegions[0].Data(), record.firstRegions[0].Data() + 3), (Bytes{0xAA, 0xBB, 0xCC}));
    EXPECT_EQ(record.secondRegions[0].Count(), 2u);
}

TEST(RedEyeStateTest, ResetRequestDropsTheSecondList)
{
    CTlRedEyeState record;
    FillRedEye(record);
    record.SetResetRequest(false);
    EXPECT_EQ(record.secondRegions.size(), 1u);
    record.SetResetRequest(true);
    EXPECT_TRUE(record.resetRequest);
    EXPECT_TRUE(record.secondRegions.empty());
    EXPECT_EQ(record.firstRegions.size(), 1u);
}

TEST(RedEyeStateTest, ClearEmptiesEverything)
{
    CTlRedEyeState record;
    FillRedEye(record);
    record.resetRequest = true;
    record.further = 1;
    record.Clear();
    EXPECT_TRUE(record.IsDefault());
    EXPECT_EQ(SaveWhole(record), SaveWhole(CTlRedEyeState()));
    EXPECT_FALSE(record.resetRequest);
    EXPECT_EQ(record.further, 0);
}

TEST(RedEyeStateTest, CopyTakesValueFlagAndListsOnly)
{
    CTlRedEyeState source;
    FillRedEye(source);
    source.resetRequest = true;
    source.further = 1;
    CTlRedEyeState target;
    target = source;
    EXPECT_EQ(SaveWhole(target), Hex(kRedEyeStateV1));
    EXPECT_FALSE(target.resetRequest);
    EXPECT_EQ(target.further, 0);
    EXPECT_NE(target.firstRegions[0].Data(), source.firstRegions[0].Data());
}

TEST(LEGeneralTest, ResetClearsAllFour)
{
    CTlLEGeneral record;
    FillLEGeneral(record);
    record.Reset();
    EXPECT_EQ(SaveWhole(record), SaveWhole(CTlLEGeneral()));
}

TEST(ZentharGeneralTest, RectangleEdgesAreStoredAsIntegers)
{
    CTlvZentharGeneral record;
    FillZenthar(record);
    CTlvZentharGeneral loaded;
    ASSERT_EQ(LoadBytes(loaded, SaveWhole(record)), 66);
    EXPECT_EQ(loaded.rect[0], 10.0);
    EXPECT_EQ(loaded.rect[1], -3.0);
    EXPECT_EQ(loaded.rect[3], 200.0);
    EXPECT_EQ(loaded.m, 0.5);
}

TEST(ZentharGeneralTest, CopyTakesTheUnstoredMembersToo)
{
    CTlvZentharGeneral source;
    source.runValues[2] = 9;
    source.runDouble = 1.5;
    CTlvZentharGeneral target;
    target = source;
    EXPECT_EQ(target.runValues[2], 9);
    EXPECT_EQ(target.runDouble, 1.5);
}

TEST(ZentharGeneralTest, SharesItsIdWithTheGeneralRecord)
{
    EXPECT_EQ(std::memcmp(CTlvZentharGeneral().GetID(), CTlLEGeneral().GetID(), 16), 0);
}

} // namespace
