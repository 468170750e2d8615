// The user's curve groups as one set of 16-bit tables: each group alone,
// both in either order, a damaged group, and the filter rules of SetCurveLut.
#include "params/TlCurveTables.h"
#include "params/TlLutTable.h"
#include "params/TlToneLuts.h"

#include "ToneLutTestSupport.h"

#include "settings/curves/TlLut.h"
#include "settings/curves/TlLutGroup.h"
#include "settings/curves/TlLutGroupDefaults.h"
#include "settings/curves/TlPointCurve.h"

#include <cmath>
#include <vector>

using namespace tonelut_test;

namespace {

constexpr int kTop = 65535;

CTlLut& Channel(CTlLutGroup& group, int id)
{
    auto* element = dynamic_cast<CTlLut*>(group.Find(id));
    EXPECT_NE(element, nullptr);
    return *element;
}

// Tone curves whose red channel halves its output.
struct SHalvingCurves : CTlLutGroup {
    SHalvingCurves()
    {
        TlSetDefaultChannels(*this, kTlLutGroupToneCurves);
        Channel(*this, 1).SetOutputLevels(0.0, 0.5);
    }
};

// Brightness curves whose red channel takes the square root.
struct SRootCurves : CTlLutGroup {
    SRootCurves()
    {
        TlSetDefaultChannels(*this, kTlLutGroupBrightnessContrast);
        Channel(*this, 1).SetBrightness(1.0);
    }
};

int Level(double unit)
{
    return static_cast<int>(std::lround(unit * kTop));
}

} // namespace

TEST(CurveLut, RedChannelByGroupsAndOrder)
{
    struct SCase {
        const char* what;
        bool first;
        bool second;
        bool secondFirst;
        double at;       // input, 0 to 1
        double expected; // red output, 0 to 1
    };
    const SCase cases[] = {
        {"first group alone", true, false, false, 1.0, 0.5},
        {"first group alone, midway", true, false, false, 0.5, 0.25},
        {"second group alone", false, true, false, 0.25, 0.5},
        {"first group first", true, true, false, 1.0, std::sqrt(0.5)},
        {"first group first, quarter", true, true, false, 0.25, std::sqrt(0.125)},
        {"second group first", true, true, true, 1.0, 0.5},
        {"second group first, quarter", true, true, true, 0.25, 0.25},
        {"order matters only with both", true, false, true, 0.25, 0.125},
    };
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.what);
        SHalvingCurves first;
        SRootCurves second;
        STlLutTables tables;
        ASSERT_TRUE(BuildCurveTables(c.first ? &first : nullptr, c.second ? &second : nullptr, c.secondFirst,
                                     tables));
        const int index = Level(c.at);
        EXPECT_NEAR(tables.channel[0][index], Level(c.expected), 2);
        for (int i : {0, 1, 12345, index, kTop}) {
            EXPECT_EQ(tables.channel[1][i], i) << "green " << i;
            EXPECT_EQ(tables.channel[2][i], i) << "blue " << i;
        }
    }
}

TEST(CurveLut, GroupWithoutChannelsLeavesThemUnchanged)
{
    CTlLutGroup masterOnly; // a damaged record: no channel elements
    SHalvingCurves first;
    for (bool both : {false, true}) {
        STlLutTables tables;
        ASSERT_TRUE(BuildCurveTables(both ? &first : nullptr, &masterOnly, false, tables));
        for (int c = 0; c < 3; ++c) {
            const int expectedTop = both && c == 0 ? Level(0.5) : kTop;
            EXPECT_NEAR(tables.channel[c][kTop], expectedTop, 1) << "channel " << c << " both " << both;
            EXPECT_EQ(tables.channel[c][0], 0);
        }
    }
}

TEST(CurveLut, NotExactlyOneFilterChangesNothing)
{
    SFilterPair filters;
    Preload(&filters.cml, false, &filters.lut);
    SHalvingCurves first;

    EXPECT_FALSE(SetCurveLut(&first, nullptr, &filters.cml, &filters.lut, false));
    EXPECT_FALSE(SetCurveLut(&first, nullptr, nullptr, nullptr, false));
    EXPECT_EQ(CmlSide(filters.cml, false).inputBits, 8);
    EXPECT_EQ(filters.lut.GetInputBits(), 8);
}

TEST(CurveLut, InstallsOnTheOneFilterGiven)
{
    ManagerHolder manager;
    SHalvingCurves first;
    SRootCurves second;

    CKelvraFilterCML cml(manager.manager);
    EXPECT_TRUE(SetCurveLut(&first, &second, &cml, nullptr, true));
    const SCmlSide input = CmlSide(cml, false);
    EXPECT_EQ(input.count, 3);
    EXPECT_EQ(input.inputBits, 16);

    CKelvraFilterLut lut(manager.manager);
    EXPECT_TRUE(SetCurveLut(nullptr, &second, nullptr, &lut, false));
    EXPECT_EQ(lut.GetTableCount(), 3);
    EXPECT_EQ(lut.GetInputBits(), 16);
    EXPECT_EQ(lut.GetOutputBits(), 16);
}

TEST(CurveLut, NoGroupClearsTheFilter)
{
    SFilterPair filters;
    Preload(&filters.cml, false, &filters.lut);

    EXPECT_TRUE(SetCurveLut(nullptr, nullptr, &filters.cml, nullptr, false));
    EXPECT_EQ(CmlSide(filters.cml, false).count, 0);
    EXPECT_TRUE(SetCurveLut(nullptr, nullptr, nullptr, &filters.lut, false));
    EXPECT_FALSE(filters.lut.HasTables());
}

TEST(CurveLut, HueCurveSamplingIsAlwaysCircular)
{
    CTlLutGroup group;
    CTlPointCurve* hue = group.AddPointCurve(3);
    ASSERT_NE(hue, nullptr);
    std::vector<std::uint16_t> table(65536, 7);
    // An empty hue curve moves no hue: the circular output is the identity,
    // even when the caller's flags leave bit 0 clear.
    EXPECT_EQ(hue->FillTableDefault(table.data(), 2, 65536, 65536, 0), 65536);
    for (int i : {0, 1, 16384, 40000, 65535})
        EXPECT_EQ(table[std::size_t(i)], i);
}
