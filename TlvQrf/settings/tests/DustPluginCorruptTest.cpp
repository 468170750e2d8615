// Corrupt stored forms of the dust and plug-in records: each is refused
// (result 0), leaves the record as it was and reads nothing beyond the
// bytes present.
#include "DustPluginGoldens.h"
#include "PluginHostFakes.h"
#include "StateTestSupport.h"

#include "settings/dust/TlDustState.h"
#include "settings/plugins/TlPluginListState.h"
#include "settings/plugins/TlPluginState.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

using namespace tlstate_test;
using namespace plugin_test;

namespace {

struct RecordCase {
    const char* name;
    const char* golden;
    std::function<std::unique_ptr<AnyRecord>()> make;
    // False when a version newer than 1 is read as version 1.
    bool refusesNewerVersions;
};

void PrintTo(const RecordCase& c, std::ostream* out)
{
    *out << c.name;
}

template <typename T>
RecordCase Case(const char* name, const char* golden, bool refusesNewerVersions)
{
    return RecordCase{name, golden, [] { return std::make_unique<Boxed<T>>(); }, refusesNewerVersions};
}

const RecordCase kRecords[] = {
    Case<CTlDustState>("DustState", kDustStateV1, true),
    Case<CTlPluginState>("PluginState", kPluginStateV1, false),
    Case<CTlPluginListState>("PluginListState", kPluginListStateV1, false),
};

struct Corruption {
    const char* name;
    // Makes the corrupt block from the golden one.
    void (*make)(Bytes& block);
};

const Corruption kCorruptions[] = {
    {"WrongId", [](Bytes& b) { b[5] ^= 0x01; }},
    {"ShorterThanId", [](Bytes& b) { b.resize(15); }},
    {"Truncated", [](Bytes& b) { b.pop_back(); }},
    {"CutAfterTheLengthWord", [](Bytes& b) { b.resize(23); }},
    {"LengthWordBeyondTheBlock", [](Bytes& b) { PutU32(b, 18, std::uint32_t(b.size() - 18 + 1)); }},
    {"LengthWordAtItsLargest", [](Bytes& b) { PutU32(b, 18, 0xFFFFFFFFu); }},
};

// Lengths and counts inside the records that claim more than is present.
struct InnerCorruption {
    const char* record;
    const char* name;
    std::size_t offset;
    int width;
    std::uint32_t value;
};

const InnerCorruption kInnerCorruptions[] = {
    {"DustState", "DataSizeOneBeyondTheBlock", 22, 4, 15},
    {"DustState", "DataSizeAtItsLargest", 22, 4, 0xFFFFFFFFu},
    {"DustState", "DataSizeBeyondAnInt", 22, 4, 0x80000000u},
    {"PluginState", "ParameterSizeBeyondTheBlock", 27, 4, 16},
    {"PluginState", "ParameterSizeAtItsLargest", 27, 4, 0xFFFFFFFFu},
    {"PluginState", "ParameterSizeWrappingTheOffset", 27, 4, 0xFFFFFFE1u},
    {"PluginState", "NameOneBeyondTheBlock", 34, 1, 5},
    {"PluginState", "NameAtItsLargest", 34, 1, 255},
    {"PluginListState", "CountBeyondTheEntries", 22, 2, 3},
    {"PluginListState", "CountAtItsLargest", 22, 2, 0xFFFF},
    {"PluginListState", "EntryWithAnotherId", 24 + 3, 1, 0x00},
    {"PluginListState", "EntryLengthWordAtItsLargest", 24 + 18, 4, 0xFFFFFFFFu},
    {"PluginListState", "EntryParameterSizeAtItsLargest", 24 + 27, 4, 0xFFFFFFFFu},
    {"PluginListState", "EntryNameBeyondTheBlock", 24 + 39 + 31 + 1, 1, 8},
};

class DustPluginCorruptTest : public ::testing::TestWithParam<RecordCase> {
protected:
    void SetUp() override
    {
        world.Install("C:\\Plug-ins\\Blur.8bf", 0x1234, "Blur");
        world.Install("C:\\Plug-ins\\Sharpen.8bf", 0x5678, "Sharpen");
    }

    // A record holding the golden contents.
    std::unique_ptr<AnyRecord> Golden()
    {
        auto record = GetParam().make();
        EXPECT_GT(LoadBytes(record->State(), Hex(GetParam().golden)), 0);
        return record;
    }

    void ExpectRefused(const Bytes& block, const char* what)
    {
        auto record = Golden();
        const Bytes before = SaveWhole(record->State());
        const int hostsBefore = world.hostsMade - world.hostsDeleted;
        EXPECT_EQ(LoadBytes(record->State(), block), 0) << what;
        EXPECT_EQ(SaveWhole(record->State()), before) << what;
        EXPECT_EQ(world.hostsMade - world.hostsDeleted, hostsBefore) << what << ": no host outlives a refusal";
    }

    FakePluginWorld world;
};

TEST_P(DustPluginCorruptTest, EveryCorruptionIsRefusedAndChangesNothing)
{
    for (const Corruption& corruption : kCorruptions) {
        Bytes block = Hex(GetParam().golden);
        corruption.make(block);
        ExpectRefused(block, corruption.name);
    }
}

TEST_P(DustPluginCorruptTest, LengthsBeyondTheBlockAreRefused)
{
    for (const InnerCorruption& c : kInnerCorruptions) {
        if (std::string(c.record) != GetParam().name)
            continue;
        Bytes block = Hex(GetParam().golden);
        if (c.width == 1)
            block[c.offset] = static_cast<unsigned char>(c.value);
        else if (c.width == 2)
            PutU16(block, c.offset, static_cast<std::uint16_t>(c.value));
        else
            PutU32(block, c.offset, c.value);
        ExpectRefused(block, c.name);
    }
}

TEST_P(DustPluginCorruptTest, NullBufferAndNegativeSizeAreRefused)
{
    auto record = Golden();
    const Bytes golden = Hex(GetParam().golden);
    EXPECT_EQ(record->State().Load(nullptr, int(golden.size())), 0);
    EXPECT_EQ(record->State().Load(golden.data(), -1), 0);
    EXPECT_EQ(SaveWhole(record->State()), golden);
}

TEST_P(DustPluginCorruptTest, AnUnknownVersionIsRefusedOrReadAsTheCurrentOne)
{
    Bytes block = Hex(GetParam().golden);
    PutU16(block, 16, 0x7FFF);
    if (GetParam().refusesNewerVersions) {
        ExpectRefused(block, "UnknownVersion");
        return;
    }
    auto record = GetParam().make();
    EXPECT_EQ(LoadBytes(record->State(), block), static_cast<int>(block.size()));
    Bytes current = Hex(GetParam().golden);
    EXPECT_EQ(SaveWhole(record->State()), current);
}

TEST_P(DustPluginCorruptTest, AnIdAloneIsRefusedUnlessVersionZeroMeansEmpty)
{
    Bytes block = Hex(GetParam().golden);
    block.resize(16);
    auto record = Golden();
    const int result = LoadBytes(record->State(), block);
    if (std::string(GetParam().name) == "PluginState") {
        EXPECT_EQ(result, 22);
        EXPECT_EQ(SaveWhole(record->State()), Hex(kPluginStateEmptyV1));
    } else {
        EXPECT_EQ(result, 0);
        EXPECT_EQ(SaveWhole(record->State()), Hex(GetParam().golden));
    }
}

INSTANTIATE_TEST_SUITE_P(Records, DustPluginCorruptTest, ::testing::ValuesIn(kRecords),
                         [](const ::testing::TestParamInfo<RecordCase>& info) { return std::string(info.param.name); });

} // namespace
