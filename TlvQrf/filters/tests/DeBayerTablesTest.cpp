// The tone tables, the sensitivity-keyed tuning blocks and the channel
// tables made from the white-balance tables.
#include "filters/debayer/TlChannelTables.h"
#include "filters/debayer/TlKeyedParams.h"
#include "filters/debayer/TlToneTables.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

TEST(DeBayerToneTables, KnownEntries)
{
    const std::int32_t* root = GetSqrtTable();
    EXPECT_EQ(0, root[0]);
    EXPECT_EQ(4096, root[1]);
    EXPECT_EQ(262143, root[4095]);
    const std::uint16_t* square = GetSquareTable();
    EXPECT_EQ(0, square[0]);
    EXPECT_EQ(1, square[256]);
    EXPECT_EQ(65535, square[65535]);
}

TEST(DeBayerToneTables, ThreadsAskingAtOnceAllSeeWholeTables)
{
    std::vector<std::thread> threads;
    std::vector<int> complete(8, 0);
    for (std::size_t i = 0; i < complete.size(); ++i) {
        threads.emplace_back([&complete, i] {
            const std::int32_t* root = GetSqrtTable();
            complete[i] = root[4095] == 262143 && root[1] == 4096 && GetSquareTable()[65535] == 65535;
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    for (int ok : complete)
        EXPECT_TRUE(ok);
}

struct KeyCase {
    bool secondTable;
    std::int32_t key;
    bool notFound;
    std::int32_t level;
};

TEST(KeyedParams, LevelsByKey)
{
    const KeyCase cases[] = {
        {false, 200, false, 3},  {false, 280, false, 4}, {false, 570, false, 6},  {false, 1600, false, 7},
        {false, -1, false, 15},  {false, -2, false, 30}, {false, 3, true, 3},     {false, 125, true, 3},
        {true, 125, false, 3},   {true, 140, false, 4},  {true, 280, false, 6},   {true, 800, false, 7},
        {true, -1, false, 15},   {true, -2, false, 30},  {true, 1600, true, 3},   {true, 1010, true, 3},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.secondTable ? "B " : "A ") << c.key);
        CTlKeyedParams params;
        EXPECT_EQ(c.notFound, c.secondTable ? params.SelectB(c.key) : params.SelectA(c.key));
        const std::int32_t expected[9] = {c.level, c.level, c.level, 6, 15, 1, 14, 1, 1};
        for (int i = 0; i < 9; ++i)
            EXPECT_EQ(expected[i], params.Values()[i]) << i;
    }
}

TEST(KeyedParams, KeyNotFoundLeavesAnEarlierChoice)
{
    CTlKeyedParams params;
    EXPECT_FALSE(params.SelectA(-2));
    EXPECT_TRUE(params.SelectA(3));
    EXPECT_EQ(30, params.Values()[0]);
    EXPECT_EQ(30, params.Values()[2]);
}

// Ramps of `bits` output bits whose value at i is i * gain (limited).
std::vector<std::uint16_t> Ramp(int inBits, int outBits, double gain)
{
    const long entries = 1L << inBits, top = (1L << outBits) - 1;
    std::vector<std::uint16_t> ramp(static_cast<std::size_t>(entries));
    for (long i = 0; i < entries; ++i) {
        const double value = double(i) * gain * double(top) / double(entries - 1);
        ramp[std::size_t(i)] = std::uint16_t(value > top ? top : value);
    }
    return ramp;
}

TEST(ChannelTables, WithoutLutsEveryChannelUsesTheSquareRootTable)
{
    CTlChannelTables tables;
    const std::int32_t* used[3] = {};
    ASSERT_TRUE(tables.Prepare(used));
    for (const std::int32_t* table : used)
        EXPECT_EQ(GetSqrtTable(), table);
}

TEST(ChannelTables, SixteenBitTablesAreScaledInFloatingPointNotToBlack)
{
    const std::vector<std::uint16_t> identity = Ramp(12, 16, 1.0);
    CTlChannelTables tables;
    const std::uint16_t* const luts[3] = {identity.data(), identity.data(), identity.data()};
    ASSERT_EQ(CTlChannelTables::Result::Changed, tables.SetLuts(12, 16, luts));
    const std::int32_t* used[3] = {};
    ASSERT_TRUE(tables.Prepare(used));
    const std::int32_t* root = GetSqrtTable();
    for (int j : {1, 100, 2048, 4094, 4095})
        EXPECT_NEAR(root[j], used[0][j], 8) << j;
}

TEST(ChannelTables, LutValuesAboveTheirBitsAreLimited)
{
    std::vector<std::uint16_t> wild(4096, 0xFFFF); // 16-bit values in a 12-bit table
    CTlChannelTables tables;
    const std::uint16_t* const luts[3] = {wild.data(), nullptr, nullptr};
    ASSERT_EQ(CTlChannelTables::Result::Changed, tables.SetLuts(12, 12, luts));
    const std::int32_t* used[3] = {};
    ASSERT_TRUE(tables.Prepare(used));
    EXPECT_EQ(262143, used[0][0]);
    EXPECT_EQ(262143, used[0][4095]);
    EXPECT_EQ(GetSqrtTable(), used[1]);
}

TEST(ChannelTables, GainTableDoublesTheLinearValue)
{
    const std::vector<std::uint16_t> doubled = Ramp(12, 12, 2.0);
    CTlChannelTables tables;
    const std::uint16_t* const luts[3] = {doubled.data(), nullptr, nullptr};
    ASSERT_EQ(CTlChannelTables::Result::Changed, tables.SetLuts(12, 12, luts));
    const std::int32_t* used[3] = {};
    ASSERT_TRUE(tables.Prepare(used));
    EXPECT_NEAR(GetSqrtTable()[2000], used[0][1000], 1);
    EXPECT_EQ(262143, used[0][3000]);
}

TEST(ChannelTables, NewTablesRebuildAndClearingReturnsToTheSharedTable)
{
    const std::vector<std::uint16_t> doubled = Ramp(12, 12, 2.0), halved = Ramp(12, 12, 0.5);
    CTlChannelTables tables;
    const std::uint16_t* const first[3] = {doubled.data(), nullptr, nullptr};
    const std::uint16_t* const second[3] = {halved.data(), nullptr, nullptr};
    const std::uint16_t* const none[3] = {nullptr, nullptr, nullptr};
    const std::int32_t* used[3] = {};
    ASSERT_EQ(CTlChannelTables::Result::Changed, tables.SetLuts(12, 12, first));
    ASSERT_TRUE(tables.Prepare(used));
    EXPECT_EQ(CTlChannelTables::Result::Unchanged, tables.SetLuts(12, 12, first));
    ASSERT_EQ(CTlChannelTables::Result::Changed, tables.SetLuts(12, 12, second));
    ASSERT_TRUE(tables.Prepare(used));
    EXPECT_NEAR(GetSqrtTable()[1000], used[0][2000], 1);
    ASSERT_EQ(CTlChannelTables::Result::Changed, tables.SetLuts(12, 12, none));
    ASSERT_TRUE(tables.Prepare(used));
    EXPECT_EQ(GetSqrtTable(), used[0]);
    EXPECT_EQ(0, tables.InBits());
}

TEST(ChannelTables, BitCountsOutsideTheirRangeAreRefused)
{
    const std::vector<std::uint16_t> identity = Ramp(12, 12, 1.0);
    const std::uint16_t* const luts[3] = {identity.data(), identity.data(), identity.data()};
    CTlChannelTables tables;
    EXPECT_EQ(CTlChannelTables::Result::BadBits, tables.SetLuts(17, 12, luts));
    EXPECT_EQ(CTlChannelTables::Result::BadBits, tables.SetLuts(12, -1, luts));
    EXPECT_EQ(0, tables.InBits());
}

} // namespace
