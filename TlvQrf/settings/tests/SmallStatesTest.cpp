// Table-driven checks of every small record's stored form against its
// golden bytes, and of the save and load rules that every record follows.
#include "SmallStateCases.h"

#include <gtest/gtest.h>

using namespace tlstate_test;

namespace {

class SmallStatesTest : public ::testing::TestWithParam<RecordCase> {
protected:
    Bytes Golden() const { return Hex(GetParam().golden); }
    std::unique_ptr<AnyRecord> Filled() const { return GetParam().make(true); }
    std::unique_ptr<AnyRecord> Fresh() const { return GetParam().make(false); }
};

TEST_P(SmallStatesTest, FilledRecordSavesItsGoldenBytes)
{
    auto record = Filled();
    EXPECT_EQ(SaveWhole(record->State()), Golden());
}

TEST_P(SmallStatesTest, SizeQueryEqualsFullSaveAndLengthWordCountsTheRest)
{
    auto record = Filled();
    const Bytes golden = Golden();
    EXPECT_EQ(record->State().GetSize(), int(golden.size()));
    EXPECT_EQ(record->State().Save(nullptr, 0), int(golden.size()));
    if (GetParam().hasLengthWord) {
        std::uint32_t length = 0;
        std::memcpy(&length, golden.data() + 18, 4);
        EXPECT_EQ(length, golden.size() - 18);
    }
}

TEST_P(SmallStatesTest, GoldenLoadsIntoAFreshRecordAndSavesBackUnchanged)
{
    auto record = Fresh();
    const Bytes golden = Golden();
    EXPECT_EQ(LoadBytes(record->State(), golden), int(golden.size()));
    EXPECT_EQ(SaveWhole(record->State()), golden);
}

TEST_P(SmallStatesTest, IdSlotReturnsTheIdStoredFirst)
{
    auto record = Fresh();
    EXPECT_EQ(std::memcmp(record->State().GetID(), Golden().data(), 16), 0);
}

// Every buffer size from 0 to the full size: the result is always the full
// size, nothing is written past the buffer, and what is written matches the
// golden bytes (the length word apart, which counts only what was written).
TEST_P(SmallStatesTest, ShortBuffersGetOnlyWhatFits)
{
    auto record = Filled();
    const Bytes golden = Golden();
    for (std::size_t n = 0; n <= golden.size(); ++n) {
        Bytes buffer(golden.size() + 4, 0xEE);
        EXPECT_EQ(record->State().Save(buffer.data(), int(n)), int(golden.size())) << n;
        for (std::size_t i = n; i < buffer.size(); ++i)
            ASSERT_EQ(buffer[i], 0xEE) << "size " << n << " wrote byte " << i;
        const bool lengthWord = GetParam().hasLengthWord;
        for (std::size_t i = 0; i < n; ++i) {
            if (lengthWord && i >= 18 && i < 22)
                continue;
            ASSERT_TRUE(buffer[i] == 0xEE || buffer[i] == golden[i]) << "size " << n << " byte " << i;
        }
        EXPECT_EQ(n >= 16, std::memcmp(buffer.data(), golden.data(), 16) == 0) << n;
    }
}

TEST_P(SmallStatesTest, SixteenByteBufferHoldsOnlyTheId)
{
    auto record = Filled();
    Bytes buffer(24, 0xEE);
    record->State().Save(buffer.data(), 16);
    EXPECT_EQ(Bytes(buffer.begin() + 16, buffer.end()), Bytes(8, 0xEE));
}

TEST_P(SmallStatesTest, TwentyOneByteBufferHoldsIdAndVersionButNoLengthWord)
{
    if (!GetParam().hasLengthWord)
        GTEST_SKIP() << "stored without a length word";
    auto record = Filled();
    const Bytes golden = Golden();
    Bytes buffer(21, 0xEE);
    record->State().Save(buffer.data(), 21);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 18), Bytes(golden.begin(), golden.begin() + 18));
    EXPECT_EQ(Bytes(buffer.begin() + 18, buffer.end()), Bytes(3, 0xEE));
}

TEST_P(SmallStatesTest, HeaderOnlyBlockResetsOrIsRefused)
{
    auto record = Filled();
    const Bytes golden = Golden();
    const Bytes idOnly(golden.begin(), golden.begin() + 16);
    const int result = LoadBytes(record->State(), idOnly);
    EXPECT_EQ(result, GetParam().headerOnlyResult);
    const Bytes expected = SaveWhole(result == 0 ? Filled()->State() : Fresh()->State());
    EXPECT_EQ(SaveWhole(record->State()), expected);
}

TEST_P(SmallStatesTest, AssignCopiesThroughTheStoredForm)
{
    auto source = Filled();
    auto target = Fresh();
    target->State().Assign(source->State());
    EXPECT_EQ(SaveWhole(target->State()), Golden());
}

TEST_P(SmallStatesTest, AssignFromAnotherKindLeavesTheTargetUnchanged)
{
    CTlFlagState other;
    CTlVignetteState vignette;
    ITlState& source = std::strcmp(GetParam().name, "FlagState") == 0 ? static_cast<ITlState&>(vignette) : other;
    auto target = Filled();
    target->State().Assign(source);
    EXPECT_EQ(SaveWhole(target->State()), Golden());
}

TEST_P(SmallStatesTest, NewerVersionIsRefusedReadAsCurrentOrReset)
{
    Bytes block = Golden();
    PutU16(block, 16, 0x7FFF);
    auto record = Filled();
    const int result = LoadBytes(record->State(), block);
    switch (GetParam().newerVersion) {
    case NewerVersion::kRefused:
        EXPECT_EQ(result, 0);
        EXPECT_EQ(SaveWhole(record->State()), Golden());
        break;
    case NewerVersion::kReadAsCurrent:
        EXPECT_EQ(result, int(block.size()));
        EXPECT_EQ(SaveWhole(record->State()), Golden());
        break;
    case NewerVersion::kDefaults:
        EXPECT_EQ(result, 22);
        EXPECT_EQ(SaveWhole(record->State()), SaveWhole(Fresh()->State()));
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(Records, SmallStatesTest, ::testing::ValuesIn(SmallRecordCases()),
                         [](const ::testing::TestParamInfo<RecordCase>& info) { return std::string(info.param.name); });

} // namespace
