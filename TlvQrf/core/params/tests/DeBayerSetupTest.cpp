// The De-Bayer set-up: the sensitivity key, the sensor crop per camera, the
// 12-bit gain tables with hostile multipliers, and a real filter set up for
// synthetic mosaics (crop, tables, pattern, tuning, switching off).
#include "params/TlDeBayerSetup.h"
#include "params/TlGainTables.h"
#include "params/TlSensitivityCode.h"
#include "params/TlSensorCrop.h"

#include "DevelopTestSupport.h"
#include "filters/debayer/TlDeBayerHQFilter.h"
#include "filters/debayer/TlDeBayerStdFilter.h"

#include <limits>

using namespace develop_test;
using namespace raw_test;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

void SetSensitivity(IKelvraTagControl& tags, std::uint16_t extended, std::uint16_t value)
{
    const std::uint16_t values[2] = {extended, value};
    SetBytes(tags, 0x80002, kKelvraTagTypeUShorts2, values, sizeof values);
}

std::vector<std::uint8_t> PatternOf(IKelvraTagControl& tags)
{
    std::vector<std::uint8_t> bytes(tags.GetTagSize(0xA302, 0));
    ExpectOk(tags.GetTag(0xA302, kKelvraTagTypeBytes, std::uint32_t(bytes.size()), bytes.data(), 0));
    return bytes;
}

class DeBayerSetupTest : public ::testing::Test {
protected:
    IKelvraManager* Manager() { return m_holder.manager; }
    ManagerHolder m_holder;
};

} // namespace

TEST(SensitivityCode, PlainAndExtendedSettings)
{
    struct Case {
        std::uint32_t model;
        bool present;
        std::uint16_t extended, value;
        int code;
    } const cases[] = {
        {1025, true, 0, 400, 400},  {259, true, 0, 3200, 3200}, {1025, true, 1, 3200, -1},
        {1025, true, 1, 6400, -2},  {259, true, 1, 1600, -1},   {259, true, 1, 3200, -2},
        {1025, true, 1, 1600, 0},   {259, true, 7, 6400, 0},    {1025, true, 0, 0, 0},
        {1025, false, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.model << ": " << c.extended << ", " << c.value);
        PellioTagsPtr tags = MakeTags();
        SetLong(*tags, kKelvraTagModelCode, c.model);
        if (c.present)
            SetSensitivity(*tags, c.extended, c.value);
        EXPECT_EQ(c.code, GetSensitivityCode(tags.get()));
    }
}

TEST(SensitivityCode, UnreadableTagGivesZero)
{
    EXPECT_EQ(0, GetSensitivityCode(nullptr));
    PellioTagsPtr tags = MakeTags();
    const std::uint8_t threeBytes[3] = {0, 1, 2};
    SetBytes(*tags, 0x80002, kKelvraTagTypeBytes, threeBytes, sizeof threeBytes);
    EXPECT_EQ(0, GetSensitivityCode(tags.get()));
}

TEST(SensorCrop, KnownCamerasAndTheWholeSensor)
{
    struct Case {
        std::uint16_t model;
        long divisor;
        KelvraRect crop;
    } const cases[] = {
        {260, 1, {9, 3, 9 + 2473, 3 + 1635}},
        {1025, 1, {7, 6, 7 + 3015, 6 + 2006}},
        {1026, 1, {9, 1, 9 + 3017, 1 + 2001}},
        {1026, 2, {4, 0, 4 + 1508, 0 + 1000}},
        {257, 1, {0, 0, 3040, 2014}},
        {513, 4, {0, 0, 760, 503}},
        // A divisor that would divide by zero or flip the rectangle counts as 1.
        {260, 0, {9, 3, 9 + 2473, 3 + 1635}},
        {257, -3, {0, 0, 3040, 2014}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.model << " / " << c.divisor);
        EXPECT_EQ(c.crop, SensorCrop(c.model, 3040, 2014, c.divisor));
    }
}

TEST(GainTables, EntriesAreTruncatedAndHeldTo12Bits)
{
    struct Case {
        double multiplier;
        std::uint16_t at1000, at2047, at4095;
    } const cases[] = {
        {2.0, 2000, 4094, 4095},
        {0.5, 500, 1023, 2047},
        {1.25, 1250, 2558, 4095},
        // Hostile multipliers from the file: no wrap, no negative entry.
        {-2.0, 1000, 2047, 4095},
        {0.0, 1000, 2047, 4095},
        {kNaN, 1000, 2047, 4095},
        {-kInfinity, 1000, 2047, 4095},
        {kInfinity, 1000, 2047, 4095},
        {1e300, 4095, 4095, 4095},
        {1e-300, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.multiplier);
        STlGainTables tables;
        ASSERT_TRUE(BuildGainTables(c.multiplier, 1.0, tables));
        ASSERT_EQ(4096u, tables.red.size());
        EXPECT_EQ(c.at1000, tables.red[1000]);
        EXPECT_EQ(c.at2047, tables.red[2047]);
        EXPECT_EQ(c.at4095, tables.red[4095]);
        EXPECT_EQ(0, tables.red[0]);
        for (std::size_t i = 0; i < 4096; ++i) {
            ASSERT_LE(tables.red[i], 4095) << i;
            ASSERT_EQ(i, tables.green[i]) << i;
            ASSERT_EQ(i, tables.blue[i]) << i;
        }
    }
}

TEST_F(DeBayerSetupTest, SetsUpAMosaicOfEachCamera)
{
    struct Case {
        std::uint32_t model;
        long divisor;
        long width, height; // of the output rectangle
    } const cases[] = {
        {258, 1, 180, 116},  // the whole sensor, less the demosaicing border
        {258, 2, 96, 64},    // half the sensor
        {1025, 20, 150, 100}, // the camera's crop, reduced
        {260, 20, 123, 81},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.model << " / " << c.divisor);
        SyntheticPicture picture(Manager(), c.model);
        SetMultipliers(picture.Tags(), 2.0, 0.5);
        CDeBayerStdFilter filter(Manager());
        ExpectOk(filter.Enable(false, false));
        EXPECT_TRUE(SetupDeBayer(&filter, *picture.Params(), c.divisor));
        EXPECT_TRUE(filter.IsEnabled());
        EXPECT_FALSE(filter.GetPixelAspectMode());
        EXPECT_EQ(c.width, filter.GetOutputRect().Width());
        EXPECT_EQ(c.height, filter.GetOutputRect().Height());
        EXPECT_EQ(PatternOf(picture.Tags()), filter.GetPixelMap());

        const CTlChannelTables& tables = filter.GetChannelTables();
        EXPECT_EQ(12, tables.InBits());
        EXPECT_EQ(12, tables.OutBits());
        ASSERT_NE(nullptr, tables.Lut(0));
        EXPECT_EQ(2000, tables.Lut(0)[1000]);
        EXPECT_EQ(4095, tables.Lut(0)[3000]);
        EXPECT_EQ(1000, tables.Lut(1)[1000]);
        EXPECT_EQ(500, tables.Lut(2)[1000]);
        EXPECT_EQ(3, filter.GetTuning()[0]) << "the standard filter is not tuned";
    }
}

TEST_F(DeBayerSetupTest, HostileMultipliersGiveIdentityTables)
{
    SyntheticPicture picture(Manager(), 258);
    SetMultipliers(picture.Tags(), -4.0, kNaN);
    CDeBayerStdFilter filter(Manager());
    EXPECT_TRUE(SetupDeBayer(&filter, *picture.Params(), 1));
    const CTlChannelTables& tables = filter.GetChannelTables();
    ASSERT_NE(nullptr, tables.Lut(0));
    ASSERT_NE(nullptr, tables.Lut(2));
    for (std::uint16_t i : {0, 1, 2047, 4095}) {
        EXPECT_EQ(i, tables.Lut(0)[i]);
        EXPECT_EQ(i, tables.Lut(2)[i]);
    }
}

TEST_F(DeBayerSetupTest, PreBalancedCameraKeepsNoChannelTables)
{
    SyntheticPicture picture(Manager(), 257);
    CDeBayerStdFilter filter(Manager());
    const std::uint16_t table[4096] = {};
    ExpectOk(filter.SetChannelLuts(12, 12, table, table, table, false));
    EXPECT_TRUE(SetupDeBayer(&filter, *picture.Params(), 1));
    EXPECT_EQ(nullptr, filter.GetChannelTables().Lut(0));
    EXPECT_EQ(nullptr, filter.GetChannelTables().Lut(2));
    EXPECT_EQ(0, filter.GetChannelTables().InBits());
}

TEST_F(DeBayerSetupTest, HighQualityFilterIsTunedBySensitivity)
{
    struct Case {
        std::uint32_t model;
        std::uint16_t extended, value;
        std::int32_t level;
    } const cases[] = {
        {258, 0, 570, 6},  {258, 1, 3200, 15}, {258, 1, 6400, 30}, {259, 0, 140, 4},
        {259, 1, 1600, 15}, {258, 0, 3, 3},     {258, 0, 140, 3}, // keys not in the table
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.model << ": " << c.extended << ", " << c.value);
        SyntheticPicture picture(Manager(), c.model);
        SetSensitivity(picture.Tags(), c.extended, c.value);
        CDeBayerHQFilter filter(Manager());
        EXPECT_TRUE(SetupDeBayer(&filter, *picture.Params(), 1));
        const std::int32_t expected[9] = {c.level, c.level, c.level, 6, 15, 1, 14, 1, 1};
        EXPECT_TRUE(std::equal(expected, expected + 9, filter.GetTuning()));
    }
}

TEST_F(DeBayerSetupTest, OtherImagesSwitchTheFilterOff)
{
    CDeBayerHQFilter filter(Manager());
    SyntheticPicture developed(Manager(), 513);
    EXPECT_TRUE(SetupDeBayer(&filter, *developed.Params(), 1));
    EXPECT_FALSE(filter.IsEnabled());
    EXPECT_TRUE(SetupDeBayer(nullptr, *developed.Params(), 1));

    SyntheticPicture mosaic(Manager(), 258);
    EXPECT_FALSE(SetupDeBayer(nullptr, *mosaic.Params(), 1)) << "a mosaic needs a filter";
    mosaic.holder.images.image = nullptr;
    EXPECT_FALSE(SetupDeBayer(&filter, *mosaic.Params(), 1));
}

TEST_F(DeBayerSetupTest, MissingTagsLeaveDefaults)
{
    SyntheticPicture picture(Manager(), 1025);
    for (std::uint32_t id : {0x8000Cu, 0x80002u, 0xA302u, 0x10000u, 0x10001u})
        ExpectOk(picture.Tags().RemoveTag(id));
    CDeBayerHQFilter filter(Manager());
    EXPECT_TRUE(SetupDeBayer(&filter, *picture.Params(), 1));
    EXPECT_TRUE(filter.GetPixelMap().empty());
    EXPECT_EQ(3, filter.GetTuning()[0]);
    ASSERT_NE(nullptr, filter.GetChannelTables().Lut(0));
    EXPECT_EQ(1234, filter.GetChannelTables().Lut(0)[1234]);
    EXPECT_EQ(180, filter.GetOutputRect().Width());

    // Without any tags: no tuning, no pattern, still set up.
    picture.holder.images.tags = nullptr;
    CDeBayerHQFilter bare(Manager());
    EXPECT_TRUE(SetupDeBayer(&bare, *picture.Params(), 1));
    EXPECT_TRUE(bare.IsEnabled());
}

TEST_F(DeBayerSetupTest, BadPatternFailsButKeepsTheOtherSettings)
{
    SyntheticPicture picture(Manager(), 258);
    const std::uint8_t threeByThree[13] = {0, 3, 0, 3, 0, 1, 2, 1, 2, 1, 0, 1, 2};
    SetBytes(picture.Tags(), 0xA302, kKelvraTagTypeBytes, threeByThree, sizeof threeByThree);
    CDeBayerStdFilter filter(Manager());
    EXPECT_FALSE(SetupDeBayer(&filter, *picture.Params(), 1));
    EXPECT_TRUE(filter.IsEnabled());
    EXPECT_NE(nullptr, filter.GetChannelTables().Lut(0));
}
