// The hue and saturation stage: levels from the settings or the camera's
// tags, the three tables, and what SetHueSaturationLut leaves on a filter.
#include "params/TlHueSaturationTables.h"
#include "params/TlLutTable.h"
#include "params/TlToneLuts.h"

#include "ToneLutTestSupport.h"

#include <climits>

using namespace raw_test;
using namespace tonelut_test;

namespace {

constexpr int kNoTag = INT_MIN;

struct SLevelCase {
    const char* what;
    std::uint8_t raw;
    bool adjust;
    bool hueSet;
    int hueLevel;
    int saturationMode;
    int hueTag;
    int saturationTag;
    int expectedHue;
    double expectedFactor;
    bool differs;
};

const SLevelCase kLevelCases[] = {
    {"nothing anywhere", 1, false, false, 0, 0, kNoTag, kNoTag, 3, 1.0, false},
    {"processed image", 0, true, true, 6, 1, 9, 2, 3, 1.0, false},
    {"hue from the settings", 1, true, true, 6, 0, 9, kNoTag, 6, 1.0, true},
    {"neutral hue from the settings", 1, true, true, 3, 0, 9, kNoTag, 3, 1.0, false},
    {"hue tag when the settings leave it", 1, true, false, 6, 0, 9, kNoTag, 6, 1.0, true},
    {"hue tag without adjustment", 1, false, true, 6, 1, -4, kNoTag, 2, 1.0, true}, // -4 / 3 is -1
    {"small hue tag", 1, false, false, 0, 0, 2, kNoTag, 3, 1.0, false},
    {"low saturation setting", 1, true, false, 0, 1, kNoTag, 3, 3, 0.85, true},
    {"high saturation setting", 1, true, false, 0, 3, kNoTag, 2, 3, 1.1, true},
    {"normal saturation setting", 1, true, false, 0, 2, kNoTag, 3, 3, 1.0, false},
    {"unknown saturation setting", 1, true, false, 0, 9, kNoTag, 3, 3, 1.0, false},
    {"saturation tag 2 is low", 1, true, false, 0, 0, kNoTag, 2, 3, 0.85, true},
    {"saturation tag 3 is high", 1, false, false, 0, 0, kNoTag, 3, 3, 1.1, true},
    {"other saturation tags are normal", 1, false, false, 0, 0, kNoTag, 7, 3, 1.0, false},
    {"hue and saturation", 1, false, false, 0, 0, 3, 2, 4, 0.85, true},
};

void Apply(const SLevelCase& c, SParamsFixture& fixture)
{
    fixture.holder.rawFlag = c.raw;
    fixture.holder.adjustUsed = c.adjust ? 1 : 0;
    fixture.holder.adjust.firstFlag = c.hueSet ? 1 : 0;
    fixture.holder.adjust.mode = c.hueLevel;
    fixture.holder.adjust.fourth = static_cast<std::uint16_t>(c.saturationMode);
    if (c.hueTag != kNoTag)
        SetLong(fixture.Tags(), kTlvHueTag, static_cast<std::uint32_t>(c.hueTag));
    if (c.saturationTag != kNoTag)
        SetLong(fixture.Tags(), kTlvSaturationTag, static_cast<std::uint32_t>(c.saturationTag));
}

} // namespace

TEST(HueSaturationLut, LevelsFromSettingsAndTags)
{
    for (const SLevelCase& c : kLevelCases) {
        SCOPED_TRACE(c.what);
        SParamsFixture fixture;
        Apply(c, fixture);
        int hue = -1;
        double factor = -1.0;
        EXPECT_EQ(GetHueSaturation(*fixture.Params(), &hue, &factor), c.differs);
        EXPECT_EQ(hue, c.expectedHue);
        EXPECT_DOUBLE_EQ(factor, c.expectedFactor);
    }
}

TEST(HueSaturationLut, TableValues)
{
    struct SCase {
        const char* what;
        int hueLevel;
        double factor;
        int index;
        std::uint16_t lightness, chroma, hue;
    };
    const SCase cases[] = {
        {"nine degrees", 6, 1.0, 0, 0, 0, 1638},
        {"nine degrees at the top wraps", 6, 1.0, 65535, 65535, 65535, 1637},
        {"no turn", 3, 0.85, 1000, 1000, 850, 1000},
        {"low saturation at the top", 3, 0.85, 65535, 65535, 55704, 65535},
        {"high saturation held to the range", 3, 1.1, 65535, 65535, 65535, 65535},
        {"high saturation below the top", 3, 1.1, 1000, 1000, 1100, 1000},
        {"turning back wraps below zero", 0, 1.0, 0, 0, 0, 63898},
        {"turning back, entry 1638", 0, 1.0, 1638, 1638, 1638, 0},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.what);
        STlLutTables tables;
        ASSERT_TRUE(BuildHueSaturationTables(c.hueLevel, c.factor, tables));
        EXPECT_EQ(tables.channel[0][c.index], c.lightness);
        EXPECT_EQ(tables.channel[1][c.index], c.chroma);
        EXPECT_EQ(tables.channel[2][c.index], c.hue);
    }
}

TEST(HueSaturationLut, HostileHueLevelsStillTurnByOneStepPerEntry)
{
    for (int level : {INT_MAX, INT_MIN, 1000000, -1000000}) {
        STlLutTables tables;
        ASSERT_TRUE(BuildHueSaturationTables(level, 1.0, tables));
        for (int i = 1; i < 65536; ++i)
            ASSERT_EQ(static_cast<std::uint16_t>(tables.channel[2][i - 1] + 1), tables.channel[2][i])
                << "level " << level << " entry " << i;
    }
}

TEST(HueSaturationLut, NeutralClearsTheFilter)
{
    SParamsFixture fixture;
    auto params = fixture.Params();
    SFilterPair filters;
    Preload(&filters.cml, true, &filters.lut);

    EXPECT_FALSE(SetHueSaturationLut(*params, &filters.cml, nullptr));
    EXPECT_EQ(CmlSide(filters.cml, true).count, 0);
    EXPECT_FALSE(SetHueSaturationLut(*params, nullptr, &filters.lut));
    EXPECT_FALSE(filters.lut.HasTables());
}

TEST(HueSaturationLut, InstallsOnTheOutputSideOfTheOneFilterGiven)
{
    ManagerHolder manager;
    SParamsFixture fixture;
    fixture.holder.adjustUsed = 1;
    fixture.holder.adjust.fourth = 3;
    auto params = fixture.Params();

    CKelvraFilterCML cml(manager.manager);
    EXPECT_TRUE(SetHueSaturationLut(*params, &cml, nullptr));
    const SCmlSide output = CmlSide(cml, true);
    EXPECT_EQ(output.count, 3);
    EXPECT_EQ(output.inputBits, 16);
    EXPECT_EQ(CmlSide(cml, false).count, 0);

    CKelvraFilterLut lut(manager.manager);
    EXPECT_TRUE(SetHueSaturationLut(*params, nullptr, &lut));
    EXPECT_EQ(lut.GetTableCount(), 3);
    EXPECT_EQ(lut.GetOutputBits(), 16);

    CKelvraFilterLut other(manager.manager);
    EXPECT_FALSE(SetHueSaturationLut(*params, &cml, &other)) << "two filters";
    EXPECT_FALSE(other.HasTables());
    EXPECT_FALSE(SetHueSaturationLut(*params, nullptr, nullptr));
}
