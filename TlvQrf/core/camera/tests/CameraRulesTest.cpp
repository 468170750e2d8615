// The camera profile parameters' rules on the synthetic tables: the
// white-balance class, the temperature-index conversions, the hue mapping,
// the gains, tone-rule, brightness and preset reads, and set-up.
#include "camera/TlCameraSetUp.h"
#include "camera/TlWhiteBalanceRules.h"

#include "CameraTestSupport.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>

using camera_test::Params;

namespace {

const TlCameraTables& Tables()
{
    static std::unique_ptr<TlCameraTables> tables = TlBuildCameraTables();
    return *tables;
}

struct ClassCase {
    std::int32_t kind, mode;
    bool fromSettings;
    std::int32_t source, toneSource, wbClass;
};

} // namespace

TEST(CameraClass, FollowsTheCameraKindModeAndSource)
{
    const ClassCase cases[] = {
        {1, 2, false, 1, 0, 10},   {1, 1, true, 1, 0, 10},    {1, 2, true, 1, 0, 12},   {1, 3, true, 2, 0, 3},
        {1, 0, true, 4, 0, 5},     {1, 2, true, 5, 0, 12},    {2, 2, false, 1, 0, 11},  {3, 3, false, 3, 0, 12},
        {2, 1, false, 1, 0, 10},   {2, 4, false, 2, 0, 13},   {3, 4, false, 5, 0, 14},  {1, 4, true, 4, 0, 15},
        {2, 5, false, 1, 0, 212},  {3, 6, false, 2, 0, 203}, {2, 6, false, 4, 0, 205}, {2, 2, false, 0, 0, -1},
        {4, 2, false, 1, 0, 1},    {4, 2, true, 1, 0, 2},     {4, 2, false, 4, 0, 5},   {4, 3, false, 1, 1, 2},
        {4, 4, true, 2, 0, 7},     {4, 4, true, 5, 0, 8},     {4, 4, true, 4, 0, 9},    {4, 4, true, 1, 0, 6},
        {4, 5, true, 1, 0, 202},   {4, 6, true, 3, 0, 206},   {4, 1, true, 1, 0, -1},   {5, 2, false, 1, 0, 101},
        {5, 2, true, 1, 0, 102},   {5, 5, false, 4, 0, 205}, {5, 2, false, 2, 1, 103}, {5, 0, false, 5, 0, 104},
        {6, 2, false, 1, 0, 102},  {6, 4, false, 3, 0, 106}, {6, 3, false, 1, 0, 201}, {6, 3, true, 1, 0, 202},
        {6, 1, false, 4, 0, 205},  {0, 2, true, 1, 0, -1},
    };
    for (const ClassCase& c : cases) {
        TlCameraProfileParams p = Params(c.kind, c.mode, c.fromSettings, c.source);
        p.toneSource = c.toneSource;
        EXPECT_EQ(TlWhiteBalanceClass(p), c.wbClass)
            << "kind " << c.kind << " mode " << c.mode << " settings " << c.fromSettings << " source " << c.source;
    }
}

TEST(CameraClass, KindsFollowTheModelCode)
{
    const std::pair<std::uint32_t, std::int32_t> cases[] = {{257, 1}, {259, 2}, {258, 3}, {1025, 4},
                                                            {260, 5}, {1026, 6}, {513, 0}, {0, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(TlCameraKindOf(c.first), c.second) << c.first;
}

TEST(CameraIndex, KelvinConversionsNeverDivideByZero)
{
    EXPECT_EQ(KelvinToIndex(5000), 90);
    EXPECT_NEAR(IndexToKelvin(90), 5000, 1);
    EXPECT_EQ(KelvinToIndex(0), 0);
    EXPECT_EQ(KelvinToIndex(-5), 0);
    EXPECT_EQ(IndexToKelvin(-64), 0) << "1.3 x -64 + 83 is not positive";
    EXPECT_GT(IndexToKelvin(0), 0);
}

TEST(CameraIndex, HueValuesMapToTemperatures)
{
    struct HueCase {
        std::int32_t kind, hueIndex, word0, word1;
        bool mapped;
        std::int32_t kelvin, subMode;
    };
    const HueCase cases[] = {
        {1, 3, 0, 0, true, 3300, 0},      {4, 45, 0, 0, true, 3300, 0},    {4, 66, 0, 0, true, 5000, 2},
        {4, 80, 0, 0, true, 5000, 3},     {4, 84, 0, 0, false, 0, 0},      {4, 300 + 88, 0, 0, true, 5000, 3},
        {4, 300 + 93, 0, 0, true, 5000, 1}, {4, 300 + 20, 0, 0, false, 0, 0}, {2, 600, 0, 0, true, 0, 0},
        {5, 3, 0, 0, true, 3300, 0},      {5, 500 + 14, 0, 0, true, 7000, 0}, {5, 500 + 49 + 35, 0, 0, true, 3300, 0},
        {5, 500 + 125, 0, 0, true, 5000, 3}, {5, 500 + 126, 0, 0, false, 0, 0}, {5, 17, 8, 5200, true, 5200, 0},
        {6, 700 + 21, 0, 0, true, 5000, 2},
    };
    for (const HueCase& c : cases) {
        TlCameraProfileParams p = Params(c.kind, 2, false, 1);
        p.hueIndex = c.hueIndex;
        p.wbTagWords[0] = c.word0;
        p.wbTagWords[1] = c.word1;
        TlCameraSetUpState state;
        state.hueRange = c.hueIndex >= 300 && c.hueIndex <= 499;
        state.hueValue = state.hueRange ? c.hueIndex - 300 : c.hueIndex;
        TlKelvinChoice choice;
        ASSERT_EQ(TlHueToKelvin(p, state, &choice), c.mapped) << c.kind << "/" << c.hueIndex;
        if (c.mapped) {
            EXPECT_EQ(choice.kelvin, c.kelvin) << c.kind << "/" << c.hueIndex;
            EXPECT_EQ(choice.subMode, c.subMode) << c.kind << "/" << c.hueIndex;
        }
    }
}

TEST(CameraIndex, GainsWithoutEntriesGiveTheFixedFallbacks)
{
    // Gains far below 1 land on rows whose entries are all 255.
    TlCameraProfileParams p = Params(1, 2, true, 1);
    p.gains[0] = -5.0;
    p.gains[1] = -5.0;
    std::int32_t index = -1, subMode = -1;
    TlGainsToIndexAndSubMode(Tables(), p, &index, &subMode);
    EXPECT_EQ(index, 90);
    EXPECT_EQ(subMode, 0);
    EXPECT_EQ(TlGainsToIndex(Tables(), p, 0), 84);
}

TEST(CameraIndex, GainsOfTheSyntheticCameraGiveItsTemperature)
{
    for (double kelvin : {3300.0, 5000.0, 7000.0}) {
        TlCameraProfileParams p = Params(1, 2, true, 1);
        TlSyntheticGains(TlSyntheticCameraOf(0), kelvin, &p.gains[0], &p.gains[1]);
        std::int32_t index = 0, subMode = -1;
        TlGainsToIndexAndSubMode(Tables(), p, &index, &subMode);
        EXPECT_EQ(subMode, 0) << kelvin;
        EXPECT_NEAR(IndexToKelvin(index), kelvin, kelvin * 0.08) << kelvin;
        EXPECT_NEAR(IndexToKelvin(TlGainsToIndex(Tables(), p, 0)), kelvin, kelvin * 0.08) << kelvin;
    }
}

TEST(CameraIndex, OddGainsAndBytesStayInsideTheTables)
{
    TlCameraProfileParams p = Params(4, 4, true, 1);
    const double odd[] = {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity(), 1e300, -1e300};
    for (double gain : odd) {
        p.gains[0] = p.gains[1] = gain;
        std::int32_t index = 0, subMode = 0;
        TlGainsToIndexAndSubMode(Tables(), p, &index, &subMode);
        EXPECT_GE(index, 0);
        EXPECT_LE(TlGainsToIndex(Tables(), p, 4), 254);
    }
    p.colourBytes[0] = p.colourBytes[1] = p.colourBytes[2] = p.colourBytes[3] = 255;
    p.brightness = 1e9;
    p.iso = 65535;
    EXPECT_LE(TlToneRuleIndex(Tables(), p, 100000), 255u);
    p.tone = 99;
    p.presetWord = -40;
    p.fineTune = 900;
    std::int32_t index = 0, subMode = 0;
    TlPresetTableEntry(Tables(), p, &index, &subMode);
    EXPECT_EQ(index, Tables().presetIndex[0][kTlPresetColumns - 1]);
    EXPECT_LT(TlIndexFromTable(Tables(), TlMatrixSet::C, p, 40), 256u);
}

TEST(CameraIndex, BrightnessClampHoldsTheValueBetweenItsBounds)
{
    const TlCameraTables& t = Tables();
    // Brightness 0 lies below threshold 4 (-2 + 0.5 x 4 = 0 is not above it).
    const int position = 5;
    EXPECT_EQ(TlClampByBrightness(t, 0.0, 0, 0), t.lowerBound[0][position]);
    EXPECT_EQ(TlClampByBrightness(t, 0.0, 0, 250), t.upperBound[0][position]);
    EXPECT_EQ(TlClampByBrightness(t, 0.0, 2, 60), 60);
    EXPECT_EQ(TlClampByBrightness(t, 0.0, 1, 250), 250) << "sub-mode 1 has no bounds";
    EXPECT_EQ(TlClampByBrightness(t, 1e9, 4, 0), t.lowerBound[3][kTlBrightnessThresholds]);
}

TEST(CameraIndex, ToneRuleOverridesByToneCompensation)
{
    TlCameraProfileParams p = Params(4, 4, true, 1);
    p.toneSource = 1;
    const struct {
        std::int32_t tone, rule;
    } cases[] = {{0, 5}, {2, 3}, {16, 3}, {6, 0}};
    for (const auto& c : cases) {
        p.tone = c.tone;
        // Value 60 is bucket 3; the synthetic second table holds the bucket's
        // row plus the rule.
        EXPECT_EQ(TlToneRuleIndex(Tables(), p, 60), 120u + std::uint32_t(c.rule)) << c.tone;
    }
}

TEST(CameraSetUp, KindOneOutsideTheSettingsIsTheFixedProfile)
{
    TlCameraSetUpState state;
    ASSERT_TRUE(TlSetUpCamera(Params(1, 2, false, 1), Tables(), &state));
    EXPECT_EQ(state.wbClass, 10);
    EXPECT_TRUE(state.fixedProfile);
    EXPECT_EQ(state.tableIndex, 1u);
}

TEST(CameraSetUp, RejectsWhatHasNoIndex)
{
    TlCameraSetUpState state;
    EXPECT_FALSE(TlSetUpCamera(Params(0, 2, true, 1), Tables(), &state));
    EXPECT_FALSE(state.setUp);
    TlCameraProfileParams p = Params(4, 2, false, 1);
    p.hueIndex = 84;
    EXPECT_TRUE(TlSetUpCamera(p, Tables(), &state)) << "class 1 takes the hue value itself";
    p = Params(4, 2, true, 1);
    p.hueIndex = 84;
    EXPECT_FALSE(TlSetUpCamera(p, Tables(), &state)) << "class 2: 84 is outside the mapping";
}

TEST(CameraSetUp, CustomCurveNeedsTwelveOrSixteenBitsAndACurve)
{
    std::vector<std::uint16_t> curve(65536);
    const struct {
        std::int32_t in, out;
        bool withCurve, accepted;
    } cases[] = {{16, 16, true, true}, {12, 16, true, true}, {10, 16, true, false}, {16, 8, true, false},
                 {16, 16, false, false}};
    for (const auto& c : cases) {
        TlCameraProfileParams p = Params(5, 2, false, 1);
        p.tone = kTlCustomTone;
        p.curveInputBits = c.in;
        p.curveOutputBits = c.out;
        p.curve = c.withCurve ? curve.data() : nullptr;
        TlCameraSetUpState state;
        EXPECT_EQ(TlSetUpCamera(p, Tables(), &state), c.accepted) << c.in << "/" << c.out;
    }
}

TEST(CameraSetUp, PicksTheColumnOfTheLight)
{
    struct IndexCase {
        std::int32_t kind, mode, source, kelvin, subMode;
        std::uint32_t index;
        TlMatrixSet set;
    };
    // Class 5 (KX6, settings kelvin), 105 (KX8A), 205 (KX5 in mode 5).
    const IndexCase cases[] = {
        {4, 2, 4, 3000, 0, 0 + 3, TlMatrixSet::C},       {4, 2, 4, 5000, 0, 7 + 3, TlMatrixSet::C},
        {4, 2, 4, 9000, 0, 14 + 3, TlMatrixSet::C},      {4, 3, 4, 5000, 1, 42 + 28 + 3, TlMatrixSet::C},
        {5, 2, 4, 5000, 0, 500 + 7 + 3, TlMatrixSet::A}, {5, 2, 4, 3000, 0, 500 + 42 + 3, TlMatrixSet::A},
        {6, 5, 4, 7000, 0, 700 + 49 + 7 + 3, TlMatrixSet::B}, {4, 4, 4, 4500, 4, 36 + 3, TlMatrixSet::C},
    };
    for (const IndexCase& c : cases) {
        TlCameraProfileParams p = Params(c.kind, c.mode, true, c.source);
        p.kelvin = c.kelvin;
        p.subMode = c.subMode;
        TlCameraSetUpState state;
        ASSERT_TRUE(TlSetUpCamera(p, Tables(), &state)) << c.kind << "/" << c.kelvin;
        EXPECT_EQ(state.tableIndex, c.index) << c.kind << "/" << c.kelvin;
        EXPECT_EQ(state.set, c.set) << c.kind << "/" << c.kelvin;
    }
}

TEST(CameraSetUp, ModeFourLampsSetTheVariant)
{
    TlCameraProfileParams p = Params(4, 4, true, 4);
    p.kelvin = 4000;
    p.subMode = 2;
    TlCameraSetUpState state;
    ASSERT_TRUE(TlSetUpCamera(p, Tables(), &state));
    EXPECT_TRUE(state.mode4Variant);
    EXPECT_EQ(state.tableIndex, 91u + 3u);
}

TEST(CameraSetUp, SetsBeyondTheirRowsLoadZeroMatrices)
{
    TlCameraProfileParams p = Params(5, 2, false, 1);
    p.hueIndex = 200; // class 101: 700 is beyond set A's 126 rows
    TlCameraSetUpState state;
    ASSERT_TRUE(TlSetUpCamera(p, Tables(), &state));
    EXPECT_EQ(state.tableIndex, 700u);
    for (double v : state.cameraMatrix)
        EXPECT_EQ(v, 0.0);
    EXPECT_EQ(state.hue, &Tables().hueA[0]);
}
