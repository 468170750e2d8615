// The lens information record's stored form: the interleaved tables, the
// load rule that accepts only a whole version-2 block, the record without
// tables, and the copy.
#include "settings/lens/TlLensInformation.h"

#include "StateTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace tlstate_test;

namespace {

constexpr int kEntries = CTlLensInformation::kTableEntries;
constexpr int kStoredSize = 131095;

// Table k (0 to 3), entry i: exact in binary, distinct across tables.
double PatternValue(int table, int entry)
{
    return (table + 1) + entry / 4096.0;
}

std::vector<double> PatternTable(int table)
{
    std::vector<double> values(kEntries);
    for (int i = 0; i < kEntries; ++i)
        values[i] = PatternValue(table, i);
    return values;
}

void FillPattern(CTlLensInformation& lens, std::uint8_t code)
{
    const auto t0 = PatternTable(0), t1 = PatternTable(1), t2 = PatternTable(2), t3 = PatternTable(3);
    ASSERT_TRUE(lens.SetLensData(t0.data(), t1.data(), t2.data(), t3.data()));
    lens.SetLensCode(code);
}

void AppendDouble(Bytes& bytes, double value)
{
    const auto* raw = reinterpret_cast<const unsigned char*>(&value);
    bytes.insert(bytes.end(), raw, raw + sizeof value);
}

// The lens record with the pattern tables, written from its stored layout:
// header (version 2, length word 131077), lens code, then entry i of tables
// 1 and 2 side by side, then entry i of tables 3 and 4.
Bytes LensRecordV2(std::uint8_t code)
{
    Bytes bytes = Hex("06D742A09BED4A3EA019772A0A9A769C" "0200" "05000200");
    bytes.push_back(code);
    for (int half = 0; half < 2; ++half) {
        for (int i = 0; i < kEntries; ++i) {
            AppendDouble(bytes, PatternValue(2 * half, i));
            AppendDouble(bytes, PatternValue(2 * half + 1, i));
        }
    }
    return bytes;
}

std::uint64_t Fnv1a64(const Bytes& bytes)
{
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (unsigned char byte : bytes) {
        hash ^= byte;
        hash *= 0x100000001B3ull;
    }
    return hash;
}

void ExpectPatternTables(const CTlLensInformation& lens)
{
    const double* tables[4] = {};
    lens.GetLensData(&tables[0], &tables[1], &tables[2], &tables[3]);
    for (int t = 0; t < 4; ++t) {
        ASSERT_NE(nullptr, tables[t]) << t;
        for (int i : {0, 1, 2047, 4095})
            EXPECT_EQ(PatternValue(t, i), tables[t][i]) << "table " << t << " entry " << i;
    }
}

TEST(LensInformationStoredFormTest, FullRecordIsTheLayoutByteForByte)
{
    CTlLensInformation lens;
    FillPattern(lens, 128);
    const Bytes saved = SaveWhole(lens);

    ASSERT_EQ(kStoredSize, lens.GetSize());
    ASSERT_EQ(std::size_t(kStoredSize), saved.size());
    EXPECT_EQ(LensRecordV2(128), saved);
    // Pinned independently of the builder above.
    EXPECT_EQ(Hex("0500020080"), Bytes(saved.begin() + 18, saved.begin() + 23));
    EXPECT_EQ(Hex("000000000000F03F0000000000000040"), Bytes(saved.begin() + 23, saved.begin() + 39));
    EXPECT_EQ(Hex("00000000000008400000000000001040"), Bytes(saved.begin() + 65559, saved.begin() + 65575));
    EXPECT_EQ(0x88779410D1030047ull, Fnv1a64(saved));
    EXPECT_EQ(0, std::memcmp(lens.GetID(), saved.data(), 16));
}

// Where a save into `size` bytes stops: items end at 16 (id), 18 (version),
// 22 (length word), 23 (lens code) and every 8 bytes after (one double).
int WrittenEnd(int size)
{
    if (size < 16)
        return 0;
    if (size < 18)
        return 16;
    if (size < 22)
        return 18;
    if (size < 23)
        return 22;
    return 23 + (size - 23) / 8 * 8;
}

TEST(LensInformationStoredFormTest, ShortBuffersGetOnlyWhatFitsAndAlwaysTheFullSize)
{
    CTlLensInformation lens;
    FillPattern(lens, 128);
    const Bytes golden = LensRecordV2(128);
    for (int size : {0, 16, 21, 22, 23, 30, 31, 65558, kStoredSize - 1}) {
        Bytes buffer(kStoredSize, 0xEE);
        EXPECT_EQ(kStoredSize, lens.Save(buffer.data(), size)) << size;
        const int written = WrittenEnd(size);
        EXPECT_TRUE(std::equal(golden.begin() + 22, golden.begin() + std::max(written, 22), buffer.begin() + 22))
            << size;
        EXPECT_TRUE(std::all_of(buffer.begin() + written, buffer.end(), [](unsigned char b) { return b == 0xEE; }))
            << size;
        if (size >= 22) {
            std::uint32_t length = 0;
            std::memcpy(&length, buffer.data() + 18, 4);
            EXPECT_EQ(std::uint32_t(written - 18), length) << size;
        }
    }
}

TEST(LensInformationStoredFormTest, GoldenLoadsIntoAFreshRecordAndSavesBackUnchanged)
{
    CTlLensInformation lens;
    const Bytes golden = LensRecordV2(128);
    EXPECT_EQ(kStoredSize, LoadBytes(lens, golden));
    EXPECT_EQ(128, lens.GetLensCode());
    ExpectPatternTables(lens);
    EXPECT_EQ(golden, SaveWhole(lens));
}

// Blocks with the record's id that are not a whole version-2 record: each
// is refused and takes the tables away, the lens code staying as it was.
TEST(LensInformationStoredFormTest, AnyOtherBlockWithTheIdIsRefusedAndLeavesNoTables)
{
    struct Case {
        const char* name;
        void (*spoil)(Bytes&);
    };
    const Case cases[] = {
        {"one byte short", [](Bytes& b) { b.pop_back(); }},
        {"one byte long", [](Bytes& b) { b.push_back(0); }},
        {"id and version only", [](Bytes& b) { b.resize(18); }},
        {"id only", [](Bytes& b) { b.resize(16); }},
        {"version 1", [](Bytes& b) { PutU16(b, 16, 1); }},
        {"version 3", [](Bytes& b) { PutU16(b, 16, 3); }},
        {"version 0", [](Bytes& b) { PutU16(b, 16, 0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CTlLensInformation lens;
        FillPattern(lens, 7);
        Bytes block = LensRecordV2(128);
        c.spoil(block);

        EXPECT_EQ(0, LoadBytes(lens, block));
        EXPECT_FALSE(lens.HasTables());
        const double stale = 1.0;
        const double* tables[4] = {&stale, &stale, &stale, &stale};
        lens.GetLensData(&tables[0], &tables[1], &tables[2], &tables[3]);
        for (const double* table : tables)
            EXPECT_EQ(nullptr, table);
        EXPECT_EQ(7, lens.GetLensCode());
    }
}

TEST(LensInformationStoredFormTest, ForeignOrTooShortBlocksChangeNothing)
{
    Bytes otherId = LensRecordV2(128);
    otherId[3] ^= 0x01;
    Bytes shorterThanId = LensRecordV2(128);
    shorterThanId.resize(15);

    for (const Bytes* block : {&otherId, &shorterThanId}) {
        CTlLensInformation lens;
        FillPattern(lens, 7);
        EXPECT_EQ(0, LoadBytes(lens, *block));
        EXPECT_EQ(7, lens.GetLensCode());
        ExpectPatternTables(lens);
    }
    CTlLensInformation lens;
    FillPattern(lens, 7);
    EXPECT_EQ(0, lens.Load(nullptr, kStoredSize));
    ExpectPatternTables(lens);
}

// A rejected lens file leaves a record without tables behind; it must stay
// usable. It has nothing to store, so it writes nothing and reports size 0,
// and copying it through its stored form leaves the target as it was.
TEST(LensInformationStoredFormTest, RecordWithoutTablesStoresNothing)
{
    CTlLensInformation rejected;
    rejected.SetLensCode(128);
    Bytes block = LensRecordV2(128);
    block.pop_back();
    ASSERT_EQ(0, LoadBytes(rejected, block));

    EXPECT_EQ(0, rejected.GetSize());
    Bytes buffer(kStoredSize, 0xEE);
    EXPECT_EQ(0, rejected.Save(buffer.data(), kStoredSize));
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](unsigned char b) { return b == 0xEE; }));

    CTlLensInformation target;
    FillPattern(target, 128);
    target.Assign(rejected);
    ExpectPatternTables(target);
    EXPECT_EQ(CTlLensInformation().GetSize(), 0);
}

TEST(LensInformationCopyTest, CopyTakesCodeAndTablesButNoClientsOrManager)
{
    // With a manager, so that dropping the client at the end does not
    // delete this object from the stack.
    struct : CTlLensInformation::IMgr {
        void OnClientsChanged(CTlLensInformation*, int) override {}
    } manager;
    CTlLensInformation source;
    FillPattern(source, 128);
    source.SetClient(&manager);
    int user = 0;
    ASSERT_TRUE(source.AddClient(&user));

    CTlLensInformation copy(source);
    EXPECT_EQ(128, copy.GetLensCode());
    ExpectPatternTables(copy);
    EXPECT_EQ(0, copy.GetClientCount());
    EXPECT_EQ(SaveWhole(source), SaveWhole(copy));

    // The copy owns its tables.
    const double* sourceTable = nullptr;
    const double* copyTable = nullptr;
    source.GetLensData(&sourceTable, nullptr, nullptr, nullptr);
    copy.GetLensData(&copyTable, nullptr, nullptr, nullptr);
    EXPECT_NE(sourceTable, copyTable);
    source.RemoveClient(&user);
}

TEST(LensInformationCopyTest, CopyOfARecordWithoutTablesHasNone)
{
    CTlLensInformation withTables;
    FillPattern(withTables, 128);
    CTlLensInformation empty;
    empty.SetLensCode(5);

    withTables = empty;
    EXPECT_FALSE(withTables.HasTables());
    EXPECT_EQ(5, withTables.GetLensCode());
    EXPECT_EQ(0, withTables.GetSize());
}

TEST(LensInformationCopyTest, MissingTablesOfSetLensDataReadAsZeros)
{
    CTlLensInformation lens;
    const auto t1 = PatternTable(1);
    ASSERT_TRUE(lens.SetLensData(nullptr, t1.data(), nullptr, nullptr));
    const double* tables[4] = {};
    lens.GetLensData(&tables[0], &tables[1], &tables[2], &tables[3]);
    EXPECT_EQ(0.0, tables[0][4095]);
    EXPECT_EQ(PatternValue(1, 4095), tables[1][4095]);
    EXPECT_EQ(0.0, tables[3][0]);
}

} // namespace
