// The developed image's table: channel factors from white balance and
// exposure, the scaled ramp, the choice and shape of the tone curve, and
// what SetWhiteBalanceToneLut leaves on its filters.
#include "params/TlDevelopToneCurve.h"
#include "params/TlLutTable.h"
#include "params/TlToneLuts.h"
#include "params/TlWhiteBalanceFactors.h"
#include "params/TlWhiteBalanceToneTables.h"

#include "ToneLutTestSupport.h"

#include "raw/TlToneTables.h"
#include "settings/whitebalance/TlWhiteBalance.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using namespace raw_test;
using namespace tonelut_test;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

void SetExposureTag(IKelvraTagControl& tags, double value)
{
    SetBytes(tags, kTlvExposureFactorTag, kKelvraTagTypeDoubles, &value, sizeof value);
}

std::vector<std::uint16_t> SrgbCurve()
{
    std::vector<std::uint16_t> curve(kTlvSrgbEntries);
    FillSrgbCurve(curve.data());
    return curve;
}

struct SFactorCase {
    const char* what;
    bool balance;
    std::int32_t mode;
    double firstGain, secondGain;
    double asShotRed, asShotBlue;
    bool adjust;
    double ev;
    bool exposureTag;
    double exposure;
    double red, green, blue;
};

const SFactorCase kFactorCases[] = {
    {"nothing in use", false, 1, 2.0, 3.0, 1.0, 1.0, false, 0.0, false, 0.0, 1.0, 1.0, 1.0},
    {"as shot keeps the gains out", true, 2, 2.0, 3.0, 1.0, 1.0, false, 0.0, false, 0.0, 1.0, 1.0, 1.0},
    {"gains over the as-shot multipliers", true, 1, 2.0, 3.0, 2.0, 1.5, false, 0.0, false, 0.0, 1.0, 1.0, 2.0},
    {"one stop brighter", false, 1, 0.0, 0.0, 1.0, 1.0, true, 1.0, false, 0.0, 2.0, 2.0, 2.0},
    {"compensation times the camera's exposure", false, 1, 0.0, 0.0, 1.0, 1.0, true, -1.0, true, 3.0,
     1.5, 1.5, 1.5},
    {"the camera's exposure alone", false, 1, 0.0, 0.0, 1.0, 1.0, true, 0.0, true, 0.5, 0.5, 0.5, 0.5},
    {"gains and exposure together", true, 1, 2.0, 0.5, 1.0, 1.0, true, 1.0, false, 0.0, 4.0, 2.0, 1.0},
    // Hostile values: what would zero, flip or poison a channel counts as 1.0.
    {"zero gains", true, 1, 0.0, 0.0, 1.0, 1.0, false, 0.0, false, 0.0, 1.0, 1.0, 1.0},
    {"negative gains", true, 1, -2.0, -0.5, 1.0, 1.0, false, 0.0, false, 0.0, 1.0, 1.0, 1.0},
    {"gains not a number or infinite", true, 1, kNaN, kInf, 1.0, 1.0, false, 0.0, false, 0.0, 1.0, 1.0, 1.0},
    {"zero as-shot multipliers", true, 1, 2.0, 3.0, 0.0, -1.0, false, 0.0, false, 0.0, 2.0, 1.0, 3.0},
    {"compensation not a number", false, 1, 0.0, 0.0, 1.0, 1.0, true, kNaN, false, 0.0, 1.0, 1.0, 1.0},
    {"infinite compensation", false, 1, 0.0, 0.0, 1.0, 1.0, true, kInf, false, 0.0, 1.0, 1.0, 1.0},
    {"zero camera exposure", false, 1, 0.0, 0.0, 1.0, 1.0, false, 0.0, true, 0.0, 1.0, 1.0, 1.0},
    {"negative camera exposure", false, 1, 0.0, 0.0, 1.0, 1.0, true, 1.0, true, -4.0, 2.0, 2.0, 2.0},
    {"camera exposure not a number", false, 1, 0.0, 0.0, 1.0, 1.0, false, 0.0, true, kNaN, 1.0, 1.0, 1.0},
};

} // namespace

TEST(WhiteBalanceToneLut, ChannelFactors)
{
    for (const SFactorCase& c : kFactorCases) {
        SCOPED_TRACE(c.what);
        SParamsFixture fixture;
        fixture.holder.whiteBalanceUsed = c.balance ? 1 : 0;
        fixture.holder.whiteBalance.mode = c.mode;
        fixture.holder.whiteBalance.firstGain = c.firstGain;
        fixture.holder.whiteBalance.secondGain = c.secondGain;
        fixture.holder.adjustUsed = c.adjust ? 1 : 0;
        fixture.holder.adjust.value = c.ev;
        if (c.exposureTag)
            SetExposureTag(fixture.Tags(), c.exposure);
        auto params = fixture.Params();
        params->asShotRed = c.asShotRed;
        params->asShotBlue = c.asShotBlue;

        const STlChannelFactors factors = WhiteBalanceExposureFactors(*params);
        EXPECT_DOUBLE_EQ(factors.red, c.red);
        EXPECT_DOUBLE_EQ(factors.green, c.green);
        EXPECT_DOUBLE_EQ(factors.blue, c.blue);
    }
}

TEST(WhiteBalanceToneLut, TemperatureGainsAreRecomputedIntoTheRecord)
{
    SParamsFixture fixture;
    fixture.holder.whiteBalanceUsed = 1;
    CTlWhiteBalanceState& balance = fixture.holder.whiteBalance;
    balance.mode = CTlWhiteBalanceState::kModeTemperature;
    balance.preset = 256;
    balance.temperature = 4500;
    balance.firstGain = balance.secondGain = 7.0;
    auto params = fixture.Params(1025);
    params->asShotRed = 2.0;

    double first = 0.0, second = 0.0;
    KelvinToChannelGains(256, 4500, &first, &second, 1025);
    const STlChannelFactors factors = WhiteBalanceExposureFactors(*params);

    EXPECT_DOUBLE_EQ(balance.firstGain, first);
    EXPECT_DOUBLE_EQ(balance.secondGain, second);
    EXPECT_DOUBLE_EQ(factors.red, first / 2.0);
    EXPECT_DOUBLE_EQ(factors.blue, second);
}

TEST(WhiteBalanceToneLut, ScaledRampIsHeldToTheEntryRange)
{
    struct SCase {
        double factor;
        int index;
        std::uint16_t expected;
    };
    const SCase cases[] = {
        {1.0, 0, 0},      {1.0, 100, 1600},   {1.0, 4095, 65520},
        {2.0, 100, 3200}, {2.0, 4095, 65535}, // not 131040
        {0.5, 4095, 32760}, {1.0 / 3.0, 1, 5}, // truncated
        {1e300, 0, 0},    {1e300, 1, 65535},  {kInf, 0, 0}, {kInf, 4095, 65535},
        {0.0, 4095, 0},
    };
    std::vector<std::uint16_t> ramp(kTlvDevelopEntries);
    for (const SCase& c : cases) {
        FillScaledRamp12(ramp.data(), c.factor);
        EXPECT_EQ(ramp[std::size_t(c.index)], c.expected) << "factor " << c.factor << " entry " << c.index;
    }
}

TEST(WhiteBalanceToneLut, SrgbCurveValues)
{
    const std::vector<std::uint16_t> curve = SrgbCurve();
    EXPECT_EQ(curve[0], 0);
    EXPECT_EQ(curve[1], 12);
    EXPECT_EQ(curve[198], 2558) << "the linear part ends at 198";
    EXPECT_EQ(curve[199], 2571) << "the power part starts at 199";
    // 1.055 - 0.055 falls a hair short of 1.0 in doubles, and the curve truncates.
    EXPECT_EQ(curve[65535], 65534);
    for (int i = 1; i < kTlvSrgbEntries; ++i)
        ASSERT_LE(curve[std::size_t(i - 1)], curve[std::size_t(i)]) << "entry " << i;
}

TEST(WhiteBalanceToneLut, ToneCurvePathChoice)
{
    struct SCase {
        const char* what;
        bool adjust;
        int colourSpace;
        std::uint16_t model;
        bool camera;
    };
    const SCase cases[] = {
        {"NTSC chosen", true, 3, 259, true},
        {"sRGB chosen", true, 1, 259, false},
        {"as shot on model 257", true, 0, 257, true},
        {"no adjustment on model 257", false, 1, 257, true},
        {"Adobe RGB on model 257", true, 2, 257, false},
        {"as shot on another model", true, 0, 1025, false},
        {"no adjustment on another model", false, 3, 1025, false},
    };
    for (const SCase& c : cases) {
        SParamsFixture fixture;
        fixture.holder.adjustUsed = c.adjust ? 1 : 0;
        fixture.holder.adjust.SetColourSpaceChoice(c.colourSpace);
        EXPECT_EQ(UsesCameraCurvePath(*fixture.Params(c.model)), c.camera) << c.what;
    }
}

TEST(WhiteBalanceToneLut, CameraCurveIndex)
{
    struct SCase {
        bool adjust;
        int toneMode;
        bool tag;
        std::int32_t tagValue;
        int expected;
    };
    const SCase cases[] = {
        {false, 0, false, 0, 0}, {false, 4, true, 6, 6}, {true, 0, true, 2, 2}, {true, 1, true, 2, 0},
        {true, 2, false, 0, 1},  {true, 3, true, 9, 2},  {true, 4, false, 0, 16}, {true, 5, false, 0, 5},
        {true, 6, true, 1, 6},   {true, 7, true, 1, 0},  {true, 400, true, 1, 0},
    };
    for (const SCase& c : cases) {
        SParamsFixture fixture;
        fixture.holder.adjustUsed = c.adjust ? 1 : 0;
        fixture.holder.adjust.SetToneMode(c.toneMode);
        if (c.tag)
            SetLong(fixture.Tags(), kTlvCurveIndexTag, static_cast<std::uint32_t>(c.tagValue));
        EXPECT_EQ(CameraCurveIndex(*fixture.Params()), c.expected)
            << "adjust " << c.adjust << " tone mode " << c.toneMode << " tag " << c.tag;
    }
}

TEST(WhiteBalanceToneLut, CameraCurveByIndex)
{
    struct SCase {
        int index;
        int preset; // -1: the camera's own curve, the standard curve without its tag
    };
    const SCase cases[] = {{1, 0}, {5, 0}, {2, 2}, {6, 2}, {0, 1}, {3, 1}, {-7, 1}, {16, -1}};
    SParamsFixture fixture;
    auto params = fixture.Params(1025);
    std::vector<std::uint16_t> expected(kTlvDevelopEntries), curve(kTlvDevelopEntries);
    for (const SCase& c : cases) {
        if (c.preset >= 0)
            BuildPresetGammaTable(expected.data(), 12, c.preset);
        else
            BuildGammaTable(expected.data(), 12, 1025);
        FillCameraCurve(*params, c.index, curve.data());
        EXPECT_EQ(curve, expected) << "index " << c.index;
    }
}

TEST(WhiteBalanceToneLut, SrgbPathTablesFollowTheFactors)
{
    SParamsFixture fixture;
    fixture.holder.whiteBalanceUsed = 1;
    fixture.holder.whiteBalance.mode = CTlWhiteBalanceState::kModeGains;
    fixture.holder.whiteBalance.firstGain = 2.0;
    fixture.holder.whiteBalance.secondGain = 0.5;
    auto params = fixture.Params();
    const std::vector<std::uint16_t> srgb = SrgbCurve();

    STlLutTables tables;
    ExpectOk(BuildWhiteBalanceToneTables(*params, tables));
    for (int i : {0, 1, 100, 2047, 2048, 4095}) {
        SCOPED_TRACE(i);
        EXPECT_EQ(tables.channel[0][i], srgb[std::size_t(std::min(32 * i, 65535))]);
        EXPECT_EQ(tables.channel[1][i], srgb[std::size_t(16 * i)]);
        EXPECT_EQ(tables.channel[2][i], srgb[std::size_t(8 * i)]);
    }
}

TEST(WhiteBalanceToneLut, HostileExposureSaturatesInsteadOfWrapping)
{
    SParamsFixture fixture;
    fixture.holder.adjustUsed = 1;
    fixture.holder.adjust.value = 5000.0; // 2^5000 is beyond any double
    STlLutTables tables;
    ExpectOk(BuildWhiteBalanceToneTables(*fixture.Params(), tables));
    const std::vector<std::uint16_t> srgb = SrgbCurve();
    for (const TlLutTable& channel : tables.channel) {
        EXPECT_EQ(channel[0], 0);
        for (int i = 1; i < kTlvDevelopEntries; ++i)
            ASSERT_EQ(channel[i], srgb[65535]) << "entry " << i;
    }
}

TEST(WhiteBalanceToneLut, CameraPathFollowsTheCameraCurve)
{
    SParamsFixture fixture; // model 257 and no adjustment: the camera curve, preset 1 without a tag
    auto params = fixture.Params(257);
    std::vector<std::uint16_t> curve(kTlvDevelopEntries);
    BuildPresetGammaTable(curve.data(), 12, 1);

    STlLutTables tables;
    ExpectOk(BuildWhiteBalanceToneTables(*params, tables));
    EXPECT_EQ(tables.channel[1][0], curve[0]);
    for (int i = 1; i < kTlvDevelopEntries; ++i) {
        // Entry i reads the curve a little below i (16 i of 65535 on 4095 steps).
        const auto [low, high] = std::minmax(curve[std::size_t(i - 1)], curve[std::size_t(i)]);
        ASSERT_GE(tables.channel[1][i], low) << "entry " << i;
        ASSERT_LE(tables.channel[1][i], high) << "entry " << i;
    }
}

TEST(WhiteBalanceToneLut, ProcessedImageOrSignalProcessingCameraClearsBothFilters)
{
    struct SCase {
        const char* what;
        std::uint8_t raw;
        std::uint16_t model;
    };
    const SCase cases[] = {{"processed image", 0, 259}, {"model 515", 1, 515}, {"model 513", 1, 513}};
    for (const SCase& c : cases) {
        SCOPED_TRACE(c.what);
        SParamsFixture fixture;
        fixture.holder.rawFlag = c.raw;
        SFilterPair filters;
        Preload(&filters.cml, false, &filters.lut);

        ExpectOk(SetWhiteBalanceToneLut(*fixture.Params(c.model), &filters.cml, &filters.lut, true));
        EXPECT_EQ(CmlSide(filters.cml, false).count, 0);
        EXPECT_FALSE(filters.lut.HasTables());
    }
}

TEST(WhiteBalanceToneLut, InstallsTwelveBitTablesOnEveryFilterGiven)
{
    SParamsFixture fixture;
    auto params = fixture.Params();
    SFilterPair filters;

    ExpectOk(SetWhiteBalanceToneLut(*params, &filters.cml, &filters.lut, true));
    const SCmlSide input = CmlSide(filters.cml, false);
    EXPECT_EQ(input.count, 3);
    EXPECT_EQ(input.inputBits, 12);
    EXPECT_EQ(CmlSide(filters.cml, true).count, 0) << "the output side stays free";
    EXPECT_EQ(filters.lut.GetTableCount(), 3);
    EXPECT_EQ(filters.lut.GetInputBits(), 12);
    EXPECT_EQ(filters.lut.GetOutputBits(), 16);

    CKelvraFilterLut alone(filters.manager.manager);
    ExpectOk(SetWhiteBalanceToneLut(*params, nullptr, &alone, false));
    EXPECT_EQ(alone.GetTableCount(), 3);
    ExpectOk(SetWhiteBalanceToneLut(*params, nullptr, nullptr, false));
}
