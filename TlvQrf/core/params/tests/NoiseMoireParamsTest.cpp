// The colour-noise strength factor and the moire filter set from the level
// triple.
#include "params/TlMoireLevel.h"
#include "params/TlNoiseStrength.h"

#include "filters/moire/TlMoireFilter.h"

#include "NoiseVignetteTestRig.h"

using namespace noise_vignette_test;

TEST(NoiseStrength, FactorPerStep)
{
    const struct {
        int step;
        double factor;
    } cases[] = {{1, 0.2},  {2, 0.3},  {3, 0.4}, {4, 0.5},  {5, 0.63}, {6, 0.7}, {7, 0.8},
                 {8, 0.9},  {9, 0.95}, {10, 1.0}, {11, 0.0}, {0, 0.0},  {-1, 0.0}, {0x7FFFFFFF, 0.0}};
    for (const auto& c : cases) {
        SettingsRig rig;
        rig.holder.tripleValue.first = c.step;
        EXPECT_EQ(c.factor, GetNoiseStrengthFactor(*rig.Params())) << "step " << c.step;
    }
}

TEST(NoiseStrength, NothingWithoutTagsOrRecord)
{
    const struct {
        const char* name;
        bool withTags;
        std::uint8_t tripleUsed;
    } cases[] = {{"no tag control", false, 1}, {"level triple unused", true, 0}};
    for (const auto& c : cases) {
        SettingsRig rig(c.withTags);
        rig.holder.tripleValueUsed = c.tripleUsed;
        rig.holder.tripleValue.first = 5;
        EXPECT_EQ(0.0, GetNoiseStrengthFactor(*rig.Params())) << c.name;
    }
    SettingsRig rig;
    rig.holder.tripleValue.first = 5;
    std::unique_ptr<CTlvParamSet> params = rig.Params();
    params->levelTriple = nullptr;
    EXPECT_EQ(0.0, GetNoiseStrengthFactor(*params)) << "flag set but no record";
}

TEST(MoireLevel, StrengthPerLevelSwitchesTheFilterOn)
{
    const struct {
        int level;
        int strength;
    } cases[] = {{1, 15}, {2, 25}, {3, 75}, {4, 0}, {-2, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.level);
        SettingsRig settings;
        settings.holder.tripleValue.second = c.level;
        FilterRig<CMoireFilter> rig;
        ErrorsReleased released;
        EXPECT_TRUE(SetMoireLevel(*settings.Params(), rig.filter));
        EXPECT_EQ(c.strength, rig.filter.GetStrength());
        EXPECT_TRUE(rig.filter.IsEnabled());
        EXPECT_TRUE(rig.filter.LastEnableWas(true));
    }
}

TEST(MoireLevel, NoLevelSwitchesTheFilterOff)
{
    const struct {
        const char* name;
        std::uint8_t tripleUsed;
        int level;
    } cases[] = {{"level 0", 1, 0}, {"level triple unused", 0, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsRig settings;
        settings.holder.tripleValueUsed = c.tripleUsed;
        settings.holder.tripleValue.second = c.level;
        FilterRig<CMoireFilter> rig;
        EXPECT_TRUE(SetMoireLevel(*settings.Params(), rig.filter));
        EXPECT_EQ(CMoireFilter::kDefaultStrength, rig.filter.GetStrength());
        EXPECT_FALSE(rig.filter.IsEnabled());
        ASSERT_EQ(1u, rig.filter.enables.size());
    }
}

TEST(MoireLevel, AFailingCallLeavesTheFilterOff)
{
    const struct {
        const char* name;
        int level;
        std::set<int> refuseNotices;
        std::set<int> failEnables;
        std::size_t enableCalls;
    } cases[] = {
        {"strength refused", 2, {0}, {}, 1},
        {"switching on fails", 2, {}, {0}, 2},
        {"switching off fails", 0, {}, {0}, 2},
        {"everything fails", 3, {}, {0, 1}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SettingsRig settings;
        settings.holder.tripleValue.second = c.level;
        FilterRig<CMoireFilter> rig;
        rig.sink.refuse = c.refuseNotices;
        rig.filter.failEnables = c.failEnables;
        ErrorsReleased released;
        EXPECT_FALSE(SetMoireLevel(*settings.Params(), rig.filter));
        EXPECT_EQ(c.enableCalls, rig.filter.enables.size());
        EXPECT_TRUE(rig.filter.LastEnableWas(false));
    }
}
