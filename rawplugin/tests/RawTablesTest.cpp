// The reader's fixed tables: error codes, noise strengths by sensitivity,
// white-balance curves (corrupt gains too), colour-filter patterns, the ICC
// choice and the white-balance options, and the strip and orientation rules.
#include "RawPluginTestSupport.h"

#include "TlRawPluginRead.h"
#include "TlRawTables.h"

#include <algorithm>
#include <cmath>

namespace {

TEST(RawTablesTest, OutsideErrorCodesMapAsTheTableSays)
{
    struct Case {
        long first;
        long last;
        int result;
    };
    const Case cases[] = {
        {0, 1, 0},         {1000, 1002, 4},   {1004, 1004, 4},   {1005, 1005, 1},   {1006, 1006, 9},
        {1008, 1009, 9},   {1010, 1011, 3},   {1012, 1012, 4},   {1013, 1013, 3},   {1014, 1014, 4},
        {1070, 1072, 3},   {1073, 1073, 4},   {1090, 1090, 9},   {1092, 1092, 9},   {1100, 1100, 6},
        {1101, 1108, 9},   {1300, 1300, 0},   {1302, 1302, 3},   {1315, 1315, 3},   {1400, 1401, 4},
        {1402, 1402, 3},   {1403, 1408, 4},   {1409, 1409, 3},   {1412, 1412, 4},   {1413, 1413, 3},
        {1501, 1503, 3},   {1600, 1600, 4},   {1602, 1602, 9},   {1603, 1603, 6},   {1604, 1604, 9},
        {1605, 1605, 4},   {1606, 1606, 9},   {1607, 1609, 4},   {11001, 11001, 9}, {11007, 11007, 16},
    };
    for (const Case& c : cases)
        for (long code = c.first; code <= c.last; ++code)
            EXPECT_EQ(c.result, TlRawMapErrorCode(code)) << code;
    for (long unknown : {-1L, 2L, 999L, 1003L, 1007L, 1091L, 1301L, 1410L, 1500L, 1601L, 11000L, 11008L})
        EXPECT_EQ(8, TlRawMapErrorCode(unknown)) << unknown;
}

TEST(RawTablesTest, AnErrorChainMapsByItsInnermostCodeAndIsReleased)
{
    const long before = IKelvraError::LiveCount();
    IKelvraError* inner = KELVRA_ERROR(nullptr, KelvraFourCC('T', 'e', 's', 't'), 1603);
    IKelvraError* chain = KELVRA_WRAP(nullptr, KelvraFourCC('O', 'u', 't', 'r'), inner);
    EXPECT_EQ(6, TlRawMapError(chain));
    EXPECT_EQ(before, IKelvraError::LiveCount());
    EXPECT_EQ(0, TlRawMapError(nullptr));
}

TEST(RawTablesTest, SensitivityGivesTheModelsNoiseStrength)
{
    struct Case {
        long model;
        std::uint16_t first;
        std::uint16_t second;
        std::int32_t key;
        bool found;
        std::int32_t strength;
    };
    const Case cases[] = {
        {259, 0, 160, 160, true, 4},   {259, 1, 1600, -1, true, 15}, {259, 1, 3200, -2, true, 30},
        {259, 1, 1000, 0, false, 3},   {259, 0, 125, 125, true, 3},  {259, 0, 800, 800, true, 7},
        {257, 0, 200, 200, true, 3},   {257, 0, 1010, 1010, true, 6}, {1025, 1, 3200, -1, true, 15},
        {1025, 2, 6400, -2, true, 30}, {1025, 0, 160, 160, false, 3}, {260, 0, 1600, 1600, true, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.model << " (" << c.first << ", " << c.second << ")");
        const std::int32_t key = TlRawSensitivityKey(c.model, c.first, c.second);
        EXPECT_EQ(c.key, key);
        std::int32_t tuning[9] = {};
        EXPECT_EQ(c.found, TlRawNoiseTuning(c.model, key, tuning));
        const std::int32_t expected[9] = {c.strength, c.strength, c.strength, 6, 15, 1, 14, 1, 1};
        EXPECT_TRUE(std::equal(std::begin(expected), std::end(expected), std::begin(tuning)));
    }
}

TEST(RawTablesTest, WhiteBalanceCurvesScaleRedAndBlueAndStayInTwelveBits)
{
    struct Case {
        double red;
        double blue;
        std::uint16_t red0, red1000, red4095;
        std::uint16_t blue1000, blue4095;
    };
    const double nan = std::nan("");
    const Case cases[] = {
        {2.0, 1.5, 0, 2000, 4095, 1500, 4095},
        {0.5, 1.0, 0, 500, 2047, 1000, 4095},
        // Corrupt gains count as 1.0 rather than wrapping the entries.
        {-2.0, 0.0, 0, 1000, 4095, 1000, 4095},
        {nan, HUGE_VAL, 0, 1000, 4095, 1000, 4095},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.red << ", " << c.blue);
        TlRawCurves curves;
        ASSERT_TRUE(TlRawWhiteBalanceCurves(c.red, c.blue, &curves));
        ASSERT_EQ(4096u, curves.red.size());
        EXPECT_EQ(c.red0, curves.red[0]);
        EXPECT_EQ(c.red1000, curves.red[1000]);
        EXPECT_EQ(c.red4095, curves.red[4095]);
        EXPECT_EQ(1000, curves.green[1000]);
        EXPECT_EQ(4095, curves.green[4095]);
        EXPECT_EQ(c.blue1000, curves.blue[1000]);
        EXPECT_EQ(c.blue4095, curves.blue[4095]);
        for (std::uint16_t v : curves.red)
            ASSERT_LE(v, 4095);
    }
}

TEST(RawTablesTest, PatternsMustHoldWhatTheirDimensionsSay)
{
    struct Case {
        std::vector<std::uint8_t> bytes;
        bool fits;
    };
    const Case cases[] = {
        {{0, 2, 0, 2, 0, 1, 1, 2}, true},
        {{0, 2, 0, 3, 0, 1, 1, 2, 0, 1}, true},
        {{0, 2, 0, 2, 0, 1, 1}, false},
        {{0, 2, 0, 2, 0, 1, 1, 2, 9}, false},
        {{0, 0, 0, 2}, false},
        {{0x7F, 0xFF, 0x7F, 0xFF, 1, 2}, false},
        {{0, 2, 0}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.fits, TlRawPatternFits(c.bytes)) << c.bytes.size();
}

TEST(RawTablesTest, TheProfileFollowsTheTagTheChainAndTheModel)
{
    struct Case {
        long tag;
        bool answered;
        long space;
        long model;
        const char* file;
    };
    const Case cases[] = {
        {0xFFFF, true, 6, 1025, "TLsRGB.icm"}, {0xFFFF, true, 2, 1025, "TLAdobe.icm"},
        {0xFFFF, false, 0, 257, "TLNTSC.icm"}, {0xFFFF, false, 0, 1025, "TLsRGB.icm"},
        {2, false, 0, 257, "TLAdobe.icm"},     {16, false, 0, 1025, "TLNTSC.icm"},
        {1, true, 3, 1025, "TLNTSC.icm"},      {2, true, 1, 1025, "TLsRGB.icm"},
        {5, false, 0, 257, "TLsRGB.icm"},      {7, false, 0, 257, "TLNTSC.icm"},
        {0xFFFF, true, 4, 257, "TLsRGB.icm"},  {0xFFFF, true, 9, 257, "TLNTSC.icm"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.tag << " " << c.answered << " " << c.space << " " << c.model);
        EXPECT_STREQ(c.file, TlRawProfileName(TlRawColorCode(c.tag, c.answered, c.space), c.model));
    }
}

TEST(RawTablesTest, DialogIndexesGiveTheLibrarysWhiteBalanceOptions)
{
    const TlnWhiteBalance expected[] = {{0, 0},       {0x100, 3000}, {0x300, 4200}, {0x400, 4200}, {0x200, 5200},
                                        {0x201, 8000}, {0x202, 6000}, {0x500, 5400}, {0, 0}};
    for (int index = 0; index <= 8; ++index) {
        const TlnWhiteBalance option = TlRawWhiteBalanceOption(index);
        EXPECT_EQ(expected[index].code, option.code) << index;
        EXPECT_EQ(expected[index].temperature, option.temperature) << index;
    }
    for (int index : {-1, 12, 13})
        EXPECT_EQ(0, TlRawWhiteBalanceOption(index).code) << index;
}

TEST(RawTablesTest, StripsAndOrientations)
{
    EXPECT_EQ(208, TlRawRowsPerStrip(2012, 3000, false));
    EXPECT_EQ(260, TlRawRowsPerStrip(2013, 3000, false));
    EXPECT_EQ(100, TlRawRowsPerStrip(2013, 100, false));
    EXPECT_EQ(3000, TlRawRowsPerStrip(2012, 3000, true));
    const long turns[][2] = {{0, 1}, {90, 8}, {180, 3}, {270, 6}, {360, 1}, {450, 8}, {-90, 6}, {45, 1}};
    for (const auto& turn : turns)
        EXPECT_EQ(turn[1], TlRawExifOrientation(turn[0])) << turn[0];
}

} // namespace
