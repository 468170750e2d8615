// Chaining two integer tables into one.
#include "settings/curves/TlLut.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

TEST(ComposeLuts, TwoIdentityTablesGiveTheIdentity)
{
    std::vector<std::uint16_t> identity(65536);
    for (std::size_t i = 0; i < identity.size(); ++i)
        identity[i] = static_cast<std::uint16_t>(i);
    std::vector<std::uint16_t> out(65536, 7);
    ComposeLuts(identity.data(), 2, 65536, 65536, identity.data(), 2, 65536, 65536, out.data(), 2, 65536, 65536);
    EXPECT_EQ(identity, out);
}

TEST(ComposeLuts, InterpolatesBothStagesAndScalesToTheOutputLevels)
{
    // A bent 8-bit curve of three entries through a 2-entry identity, read
    // at five places into 16 bits (65535 / 255 = 257).
    const std::uint8_t first[] = {0, 128, 255};
    const std::uint8_t second[] = {0, 255};
    std::uint16_t out[5] = {};
    ComposeLuts(first, 1, 3, 256, second, 1, 2, 256, out, 2, 5, 65536);
    const std::uint16_t expected[] = {0, 64 * 257, 128 * 257, 49215 /* 191.5 * 257 */, 65535};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(expected[i], out[i]) << i;
}

TEST(ComposeLuts, SecondTableMapsTheFirstsValues)
{
    std::uint8_t invert[256];
    std::uint8_t half[256];
    for (int i = 0; i < 256; ++i) {
        invert[i] = static_cast<std::uint8_t>(255 - i);
        half[i] = static_cast<std::uint8_t>(i / 2);
    }
    std::uint8_t out[256] = {};
    ComposeLuts(invert, 1, 256, 256, half, 1, 256, 256, out, 1, 256, 256);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ((255 - i) / 2, out[i]) << i;
}

TEST(ComposeLuts, ValuesBeyondTheFirstTablesLevelsStopAtTheSecondTablesTop)
{
    // 16-bit values in a table that claims 256 levels reach far past the
    // second table's top entry.
    const std::uint16_t first[] = {0, 1000, 65535};
    const std::uint8_t second[] = {10, 20, 30, 40};
    std::uint8_t out[3] = {};
    ComposeLuts(first, 2, 3, 256, second, 1, 4, 256, out, 1, 3, 256);
    EXPECT_EQ(10, out[0]);
    EXPECT_EQ(40, out[1]);
    EXPECT_EQ(40, out[2]);
}

struct SUntouchedCase {
    const char* name;
    int firstCount;
    int firstLevels;
    int secondCount;
    int secondLevels;
    int outCount;
};

TEST(ComposeLuts, TooSmallTablesOrLevelsLeaveTheOutputUntouched)
{
    const SUntouchedCase cases[] = {
        {"first count 1", 1, 256, 2, 256, 2},  {"second count 1", 2, 256, 1, 256, 2},
        {"out count 1", 2, 256, 2, 256, 1},    {"first count 0", 0, 256, 2, 256, 2},
        {"first levels 1", 2, 1, 2, 256, 2},   {"second levels 1", 2, 256, 2, 1, 2},
        {"negative counts", -5, 256, -1, 256, 2},
    };
    const std::uint8_t table[] = {0, 255};
    for (const SUntouchedCase& c : cases) {
        std::uint8_t out[2] = {0x5A, 0x5A};
        ComposeLuts(table, 1, c.firstCount, c.firstLevels, table, 1, c.secondCount, c.secondLevels, out, 1,
                    c.outCount, 256);
        EXPECT_EQ(0x5A, out[0]) << c.name;
        EXPECT_EQ(0x5A, out[1]) << c.name;
    }
}

} // namespace
