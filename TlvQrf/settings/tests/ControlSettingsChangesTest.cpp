// What the control-side holder notes when an import changes something.
#include "HolderTestSupport.h"

#include "settings/edit/TlvEditSettings.h"
#include "settings/holders/TlvControlSettings.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

using namespace holder_test;

namespace {

using Edit = std::function<void(CTlvSettingsHolder&)>;

void Import(CTlvControlSettings& control, const Edit& edit)
{
    CTlvSettingsHolder source;
    edit(source);
    CTlvEditSettings settings(0, 0);
    source.ExportTo(settings);
    control.ImportFrom(settings);
}

struct Changes {
    int chromaBoost, generalThird, generalFourth, geometry, redEye, autoBrightness;
};

Changes ChangesOf(const CTlvControlSettings& c)
{
    return {c.changes.chromaBoost, c.changes.generalThird, c.changes.generalFourth,
            c.changes.geometry,    c.changes.redEye,       c.changes.autoBrightness};
}

struct ChangeCase {
    const char* name;
    // Imported first, its changes then cleared.
    Edit earlier;
    Edit now;
    Changes expected;
};

void PrintTo(const ChangeCase& c, std::ostream* out)
{
    *out << c.name;
}

void Nothing(CTlvSettingsHolder&) {}

Edit ChromaBoost(std::int32_t amount)
{
    return [amount](CTlvSettingsHolder& h) { h.chromaBoost.amount = amount; };
}

Edit General(std::uint16_t third, std::uint16_t fourth)
{
    return [third, fourth](CTlvSettingsHolder& h) {
        h.general.values[2] = third;
        h.general.values[3] = fourth;
    };
}

Edit Cropped(double right)
{
    return [right](CTlvSettingsHolder& h) { h.geometry.SetCropRect(0, 0, right, 4000, 0); };
}

Edit RedEye(std::uint8_t used, std::int32_t value)
{
    return [used, value](CTlvSettingsHolder& h) {
        h.redEyeUsed = used;
        h.redEye.value = value;
    };
}

Edit AutoBrightness(std::uint8_t used, double exposure, bool blackLevel)
{
    return [used, exposure, blackLevel](CTlvSettingsHolder& h) {
        h.autoBrightnessUsed = used;
        h.autoBrightness.exposureCompensation = exposure;
        h.autoBrightness.useBlackLevel = blackLevel;
    };
}

const ChangeCase kCases[] = {
    {"nothing changed", Nothing, Nothing, {0, 0, 0, 0, 0, 0}},
    {"chroma boost amount set", Nothing, ChromaBoost(40), {1, 0, 0, 0, 0, 0}},
    {"chroma boost amount changed", ChromaBoost(40), ChromaBoost(55), {1, 0, 0, 0, 0, 0}},
    {"chroma boost amount unchanged", ChromaBoost(40), ChromaBoost(40), {0, 0, 0, 0, 0, 0}},
    {"chroma boost amount zero", ChromaBoost(40), ChromaBoost(0), {0, 0, 0, 0, 0, 0}},
    {"third general value set", Nothing, General(3, 0), {0, 1, 0, 0, 0, 0}},
    {"fourth general value set", Nothing, General(0, 4), {0, 0, 1, 0, 0, 0}},
    {"both general values changed", General(3, 4), General(5, 6), {0, 1, 1, 0, 0, 0}},
    {"general values unchanged", General(3, 4), General(3, 4), {0, 0, 0, 0, 0, 0}},
    {"general values zero", General(3, 4), General(0, 0), {0, 0, 0, 0, 0, 0}},
    {"geometry cropped", Nothing, Cropped(3000), {0, 0, 0, 1, 0, 0}},
    {"geometry cropped otherwise", Cropped(3000), Cropped(2000), {0, 0, 0, 1, 0, 0}},
    {"geometry as last applied", Cropped(3000), Cropped(3000), {0, 0, 0, 0, 0, 0}},
    {"red-eye used with a value", Nothing, RedEye(1, 5), {0, 0, 0, 0, 1, 0}},
    {"red-eye used without a value", Nothing, RedEye(1, 0), {0, 0, 0, 0, 0, 0}},
    {"red-eye not used", Nothing, RedEye(0, 5), {0, 0, 0, 0, 0, 0}},
    {"auto brightness exposure", Nothing, AutoBrightness(1, 0.5, false), {0, 0, 0, 0, 0, 1}},
    {"auto brightness black level", Nothing, AutoBrightness(1, 0.0, true), {0, 0, 0, 0, 0, 1}},
    {"auto brightness set as before", AutoBrightness(1, 0.5, false), AutoBrightness(1, 0.5, false),
     {0, 0, 0, 0, 0, 1}},
    {"auto brightness at defaults", Nothing, AutoBrightness(1, 0.0, false), {0, 0, 0, 0, 0, 0}},
    {"auto brightness not used", Nothing, AutoBrightness(0, 0.5, true), {0, 0, 0, 0, 0, 0}},
};

class ControlSettingsChanges : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(ControlSettingsChanges, FollowTheRules)
{
    const ChangeCase& c = GetParam();
    CTlvControlSettings control;
    Import(control, c.earlier);
    control.changes = TlvImportChanges();
    Import(control, c.now);
    const Changes actual = ChangesOf(control);
    const Changes& e = c.expected;
    EXPECT_EQ(actual.chromaBoost, e.chromaBoost);
    EXPECT_EQ(actual.generalThird, e.generalThird);
    EXPECT_EQ(actual.generalFourth, e.generalFourth);
    EXPECT_EQ(actual.geometry, e.geometry);
    EXPECT_EQ(actual.redEye, e.redEye);
    EXPECT_EQ(actual.autoBrightness, e.autoBrightness);
}

INSTANTIATE_TEST_SUITE_P(Table, ControlSettingsChanges, ::testing::ValuesIn(kCases));

TEST(ControlSettingsChangesTest, RemembersWhatItNoted)
{
    CTlvControlSettings control;
    Import(control, [](CTlvSettingsHolder& h) {
        h.chromaBoost.amount = 70;
        h.chromaBoost.enabled = false;
        h.general.values[2] = 11;
        h.general.values[3] = 12;
        h.autoBrightness.exposureCompensation = -1.5;
        h.autoBrightness.useBlackLevel = true;
    });
    EXPECT_EQ(control.lastSeen.chromaBoostAmount, 70);
    EXPECT_FALSE(control.lastSeen.chromaBoostEnabled);
    EXPECT_EQ(control.lastSeen.generalThird, 11);
    EXPECT_EQ(control.lastSeen.generalFourth, 12);
    EXPECT_EQ(control.lastSeen.exposureCompensation, -1.5);
    EXPECT_TRUE(control.lastSeen.useBlackLevel);
}

TEST(ControlSettingsChangesTest, UsedRedEyeWithAValueBecomesOne)
{
    CTlvControlSettings control;
    Import(control, [](CTlvSettingsHolder& h) {
        h.redEyeUsed = 1;
        h.redEye.value = 7;
        h.redEye.flag = 0;
    });
    EXPECT_EQ(control.redEye.value, 1);
    EXPECT_EQ(control.redEye.flag, 1);

    CTlvControlSettings unused;
    Import(unused, RedEye(0, 7));
    EXPECT_EQ(unused.redEye.value, 7);
    EXPECT_EQ(unused.redEye.flag, 0);
}

TEST(ControlSettingsChangesTest, NotedGeometryIsTheOneLastApplied)
{
    CTlvControlSettings control;
    Import(control, Cropped(3000));
    ASSERT_EQ(control.changes.geometry, 1);
    CTlDblRect crop;
    control.lastGeometry.GetCropRect(crop);
    EXPECT_EQ(crop.right, 3000);
}

} // namespace
