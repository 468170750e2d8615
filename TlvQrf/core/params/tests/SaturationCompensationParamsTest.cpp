// The saturation-compensation level from the settings or the camera, and
// the filter set from it.
#include "params/TlSaturationCompensation.h"

#include "filters/saturation/TlSaturationCompensationFilter.h"

#include "NoiseVignetteTestRig.h"

using namespace noise_vignette_test;

namespace {

void SetCameraLevel(SettingsRig& rig, std::uint8_t level)
{
    std::uint8_t block[kTlColourDataSize] = {};
    block[kTlColourDataSaturationOffset] = level;
    block[kTlColourDataSaturationOffset - 1] = 0xEE; // neighbours must not count
    block[kTlColourDataSaturationOffset + 1] = 0xEE;
    raw_test::SetBytes(*rig.tags, kTlColourDataTag, kKelvraTagTypeColorData, block, sizeof block);
}

} // namespace

TEST(SaturationCompensation, LevelFromSettingsOrCamera)
{
    const struct {
        const char* name;
        std::uint8_t raw;
        std::uint8_t adjustUsed;
        std::uint8_t setByte;
        int settingsLevel;
        int cameraLevel; // -1: no colour block
        int level;
    } cases[] = {
        {"not raw", 0, 1, 1, 4, 7, 0},
        {"settings level", 1, 1, 1, 4, 7, 4},
        {"settings level 0 is no compensation", 1, 1, 1, 0, 7, 0},
        {"set byte clear: camera", 1, 1, 0, 4, 7, 7},
        {"adjust unused: camera", 1, 0, 1, 4, 7, 7},
        {"camera byte is unsigned", 1, 1, 0, 4, 200, 200},
        {"no colour block", 1, 1, 0, 4, -1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsRig rig;
        rig.holder.rawFlag = c.raw;
        rig.holder.adjustUsed = c.adjustUsed;
        rig.holder.adjust.secondFlag = c.setByte;
        rig.holder.adjust.extra = c.settingsLevel;
        if (c.cameraLevel >= 0)
            SetCameraLevel(rig, static_cast<std::uint8_t>(c.cameraLevel));
        ErrorsReleased released;
        int level = -99;
        EXPECT_EQ(c.level != 0, GetSaturationCompensation(*rig.Params(), &level));
        EXPECT_EQ(c.level, level);
        EXPECT_EQ(c.level != 0, GetSaturationCompensation(*rig.Params(), nullptr)) << "without an out level";
    }
}

TEST(SaturationCompensation, UnreadableColourBlockMeansNone)
{
    const struct {
        const char* name;
        bool withTags;
        std::uint32_t type;
        std::uint32_t size;
    } cases[] = {
        {"no tag control", false, 0, 0},
        {"block of another type", true, kKelvraTagTypeBytes, kTlColourDataSize},
        {"short block of another type", true, kKelvraTagTypeBytes, 6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsRig rig(c.withTags);
        rig.holder.rawFlag = 1;
        if (c.size != 0) {
            std::vector<std::uint8_t> block(c.size, 5);
            raw_test::SetBytes(*rig.tags, kTlColourDataTag, c.type, block.data(), block.size());
        }
        ErrorsReleased released;
        int level = -99;
        EXPECT_FALSE(GetSaturationCompensation(*rig.Params(), &level));
        EXPECT_EQ(0, level);
    }
}

TEST(SaturationCompensation, FilterTakesTheLevelHeldInRange)
{
    const struct {
        int level;
        int filterLevel;
        bool result;
        bool enabled;
    } cases[] = {{12, 9, true, true}, {9, 9, true, true}, {3, 3, true, true}, {-3, 0, false, true}, {0, 1, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        SettingsRig settings;
        settings.holder.rawFlag = 1;
        settings.holder.adjust.secondFlag = 1;
        settings.holder.adjust.extra = c.level;
        raw_test::SetLong(*settings.tags, kKelvraTagModelCode, 1026);
        FilterRig<CSaturationCompensationFilter> rig;
        ErrorsReleased released;
        EXPECT_EQ(c.result, SetSaturationCompensation(*settings.Params(), rig.filter));
        EXPECT_EQ(c.filterLevel, rig.filter.GetLevel());
        EXPECT_EQ(c.enabled, rig.filter.IsEnabled());
        EXPECT_TRUE(rig.filter.LastEnableWas(c.enabled));
        EXPECT_EQ(c.level != 0 ? 1026 : 0, rig.filter.GetParameter()) << "the model code goes with a level";
    }
}

TEST(SaturationCompensation, FailuresAreDropped)
{
    const struct {
        const char* name;
        std::set<int> refuseNotices;
        std::set<int> failEnables;
        std::size_t enableCalls;
    } cases[] = {
        {"level refused: the filter is left alone", {0}, {}, 0},
        {"switching on fails", {}, {0}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsRig settings;
        settings.holder.rawFlag = 1;
        settings.holder.adjust.secondFlag = 1;
        settings.holder.adjust.extra = 5;
        FilterRig<CSaturationCompensationFilter> rig;
        rig.sink.refuse = c.refuseNotices;
        rig.filter.failEnables = c.failEnables;
        ErrorsReleased released;
        EXPECT_TRUE(SetSaturationCompensation(*settings.Params(), rig.filter));
        EXPECT_EQ(c.enableCalls, rig.filter.enables.size());
    }
    SettingsRig settings;
    FilterRig<CSaturationCompensationFilter> rig;
    rig.filter.failEnables = {0};
    ErrorsReleased released;
    EXPECT_FALSE(SetSaturationCompensation(*settings.Params(), rig.filter)) << "switching off fails";
}
