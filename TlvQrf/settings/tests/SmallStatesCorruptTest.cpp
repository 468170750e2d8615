// Corrupt stored forms: every record refuses them (result 0) and keeps its
// previous contents, and no read goes past the bytes present.
#include "SmallStateCases.h"

#include <gtest/gtest.h>

using namespace tlstate_test;

namespace {

struct Corruption {
    const char* name;
    // Makes the corrupt block from the golden one; false when the corruption
    // does not apply to the record.
    bool (*make)(const RecordCase& record, Bytes& block);
};

bool WrongId(const RecordCase&, Bytes& block)
{
    block[5] ^= 0x01;
    return true;
}

bool ShorterThanId(const RecordCase&, Bytes& block)
{
    block.resize(15);
    return true;
}

// A record cut short: its length word claims bytes that are not there.
bool Truncated(const RecordCase& record, Bytes& block)
{
    block.pop_back();
    return record.hasLengthWord;
}

bool LengthWordBeyondTheBlock(const RecordCase& record, Bytes& block)
{
    PutU32(block, 18, std::uint32_t(block.size() - 18 + 1));
    return record.hasLengthWord;
}

bool LengthWordAtItsLargest(const RecordCase& record, Bytes& block)
{
    PutU32(block, 18, 0xFFFFFFFFu);
    return record.hasLengthWord;
}

bool UnknownVersion(const RecordCase& record, Bytes& block)
{
    PutU16(block, 16, 0x7FFF);
    return record.newerVersion == NewerVersion::kRefused;
}

const Corruption kCorruptions[] = {
    {"WrongId", WrongId},
    {"ShorterThanId", ShorterThanId},
    {"Truncated", Truncated},
    {"LengthWordBeyondTheBlock", LengthWordBeyondTheBlock},
    {"LengthWordAtItsLargest", LengthWordAtItsLargest},
    {"UnknownVersion", UnknownVersion},
};

class SmallStatesCorruptTest : public ::testing::TestWithParam<RecordCase> {
protected:
    // Loads `block` into a record holding the golden contents and checks
    // that it is refused and changes nothing.
    void ExpectRefused(const Bytes& block, const char* what)
    {
        auto record = GetParam().make(true);
        EXPECT_EQ(LoadBytes(record->State(), block), 0) << what;
        EXPECT_EQ(SaveWhole(record->State()), Hex(GetParam().golden)) << what;
    }
};

TEST_P(SmallStatesCorruptTest, EveryCorruptionIsRefusedAndChangesNothing)
{
    for (const Corruption& corruption : kCorruptions) {
        Bytes block = Hex(GetParam().golden);
        if (corruption.make(GetParam(), block))
            ExpectRefused(block, corruption.name);
    }
}

TEST_P(SmallStatesCorruptTest, NullBufferAndNegativeSizeAreRefused)
{
    auto record = GetParam().make(true);
    const Bytes golden = Hex(GetParam().golden);
    EXPECT_EQ(record->State().Load(nullptr, int(golden.size())), 0);
    EXPECT_EQ(record->State().Load(golden.data(), -1), 0);
    EXPECT_EQ(SaveWhole(record->State()), golden);
}

INSTANTIATE_TEST_SUITE_P(Records, SmallStatesCorruptTest, ::testing::ValuesIn(SmallRecordCases()),
                         [](const ::testing::TestParamInfo<RecordCase>& info) { return std::string(info.param.name); });

// Counts and sizes inside the records that claim more than the block holds.
struct InnerCorruption {
    const char* name;
    const char* golden;
    std::size_t offset;
    int width;
    std::uint32_t value;
};

const InnerCorruption kInnerCorruptions[] = {
    {"UsmListCountBeyondEntries", kUsmListStateV2, 22, 1, 3},
    {"UsmListCountAtItsLargest", kUsmListStateV2, 22, 1, 255},
    {"UsmListVersion1CountBeyondEntries", kUsmListStateV1, 18, 1, 2},
    {"RedEyeFirstCountBeyondBlocks", kRedEyeStateV1, 27, 2, 2},
    {"RedEyeFirstCountAtItsLargest", kRedEyeStateV1, 27, 2, 0xFFFF},
    {"RedEyeBlockSizeBeyondBlock", kRedEyeStateV1, 29, 4, 40},
    {"RedEyeBlockSizeAtItsLargest", kRedEyeStateV1, 29, 4, 0xFFFFFFFFu},
    {"RedEyeSecondBlockSizeAtItsLargest", kRedEyeStateV1, 38, 4, 0xFFFFFFFCu},
};

template <typename T>
void ExpectInnerCorruptionRefused(const InnerCorruption& c, Bytes block)
{
    T record;
    ASSERT_GT(LoadBytes(record, Hex(c.golden)), 0) << c.name;
    const Bytes before = SaveWhole(record);
    if (c.width == 1)
        block[c.offset] = static_cast<unsigned char>(c.value);
    else if (c.width == 2)
        PutU16(block, c.offset, static_cast<std::uint16_t>(c.value));
    else
        PutU32(block, c.offset, c.value);
    EXPECT_EQ(LoadBytes(record, block), 0) << c.name;
    EXPECT_EQ(SaveWhole(record), before) << c.name;
}

TEST(SmallStatesInnerCorruptTest, CountsAndSizesBeyondTheBlockAreRefused)
{
    for (const InnerCorruption& c : kInnerCorruptions) {
        const Bytes block = Hex(c.golden);
        if (c.golden == kRedEyeStateV1)
            ExpectInnerCorruptionRefused<CTlRedEyeState>(c, block);
        else
            ExpectInnerCorruptionRefused<CTlUsmListState>(c, block);
    }
}

} // namespace
