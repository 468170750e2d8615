#include "settings/whitebalance/TlWhiteBalance.h"
#include "settings/whitebalance/TlWhiteBalanceRules.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

using namespace TlWhiteBalanceDetail;

// Gains are compared to the hand-worked values to well below any printed digit.
constexpr double kTolerance = 1e-12;

struct PresetKelvinCase {
    std::int32_t preset;
    std::uint16_t kelvin;
};

TEST(WhiteBalancePresets, GiveTheirColourTemperature)
{
    const PresetKelvinCase cases[] = {
        {256, 3000}, {512, 5200}, {513, 8000}, {514, 6000}, {1280, 5400}, {4098, 4200},
        // Presets without a temperature, the groups A and B among them.
        {768, 0}, {772, 0}, {1024, 0}, {0, 0}, {-1, 0}, {255, 0}, {257, 0}, {4097, 0}, {1281, 0},
    };
    for (const PresetKelvinCase& c : cases) {
        SCOPED_TRACE(c.preset);
        EXPECT_EQ(c.kelvin, WhiteBalancePresetToKelvin(c.preset));
    }
}

struct GroupCase {
    std::int32_t preset;
    PresetGroup group;
};

TEST(WhiteBalancePresets, FallIntoGroupsAtTheirBounds)
{
    const GroupCase cases[] = {
        {767, PresetGroup::D},  {768, PresetGroup::A},  {770, PresetGroup::A},  {772, PresetGroup::A},
        {773, PresetGroup::D},  {4097, PresetGroup::D}, {4098, PresetGroup::A}, {4099, PresetGroup::D},
        {1023, PresetGroup::D}, {1024, PresetGroup::B}, {1028, PresetGroup::B}, {1029, PresetGroup::D},
        {1279, PresetGroup::D}, {1280, PresetGroup::C}, {1281, PresetGroup::D}, {256, PresetGroup::D},
        {0, PresetGroup::D},    {-768, PresetGroup::D},
    };
    for (const GroupCase& c : cases) {
        SCOPED_TRACE(c.preset);
        EXPECT_EQ(c.group, GroupOfPreset(c.preset));
    }
}

// Every family has a row for every group, except model 1025 with group C,
// which has its stepped formula; group D rows that split by temperature
// cover both sides.
TEST(WhiteBalanceRules, CoverEveryFamilyAndGroup)
{
    const CameraFamily families[] = {CameraFamily::Model260,  CameraFamily::Model513And514, CameraFamily::Model515,
                                     CameraFamily::Model516,  CameraFamily::Model1025,      CameraFamily::Model1026,
                                     CameraFamily::Other};
    const std::int32_t presetOfGroup[] = {768, 1024, 1280, 512};
    const std::uint16_t kelvins[] = {1, 2000, 5540, 5541, 5988, 5989, 65535};
    for (CameraFamily family : families) {
        for (std::int32_t preset : presetOfGroup) {
            for (std::uint16_t kelvin : kelvins) {
                SCOPED_TRACE(testing::Message() << int(family) << " " << preset << " " << kelvin);
                const bool stepped = family == CameraFamily::Model1025 && preset == 1280;
                EXPECT_EQ(stepped, FindGainRow(family, preset, kelvin, 1000000.0 / kelvin) == nullptr);
            }
        }
    }
}

struct GainCase {
    std::int16_t model;
    std::int32_t preset;
    std::uint16_t kelvin;
    double first;
    double second;
};

void ExpectGains(const GainCase& c)
{
    SCOPED_TRACE(testing::Message() << "model " << c.model << " preset " << c.preset << " " << c.kelvin << " K");
    double first = 0.0;
    double second = 0.0;
    KelvinToChannelGains(c.preset, c.kelvin, &first, &second, c.model);
    EXPECT_NEAR(c.first, first, kTolerance);
    EXPECT_NEAR(c.second, second, kTolerance);
}

// Linear models. Kelvin values are picked so that the mired value
// mu = 1 000 000 / kelvin is exact: 5000 K is 200, 4000 K 250, 10000 K 100.
TEST(WhiteBalanceGains, LinearModelsFollowTheirRows)
{
    const GainCase cases[] = {
        // 260 A: 0.98 x (-0.009634 x 200 + 4.590888) = 0.98 x 2.664088 = 2.61080624;
        //        0.96 x (-0.162228 + 0.010275 x 200) = 0.96 x 1.892772 = 1.81706112.
        {260, 768, 5000, 2.61080624, 1.81706112},
        // 260 B: 0.98 x (3.931121 - 1.8685) = 2.02136858; 0.96 x (0.325573 + 1.6125) = 1.86055008.
        {260, 1024, 4000, 2.02136858, 1.86055008},
        // 260 C: 3.46662 - 0.443 = 3.02362; 1.05094 + 0.138 = 1.18894.
        {260, 1280, 10000, 3.02362, 1.18894},
        // 260 D: 3.394308 - 1.1682 = 2.226108; 0.333725 + 1.0988 = 1.432525.
        {260, 512, 5000, 2.226108, 1.432525},
        // 515 A: 3.18 - 0.00577 x 250 = 1.7375; 0.7 + 0.00779 x 250 = 2.6475.
        {515, 4098, 4000, 1.7375, 2.6475},
        {515, 1028, 5000, 2.086, 1.972},   // 3.41 - 1.324; 0.402 + 1.57
        {515, 1280, 8000, 2.6675, 0.93375}, // mu 125: 3.4 - 0.7325; -0.06 + 0.99375
        {515, 0, 2000, 0.475, 4.029},       // mu 500: 2.93 - 2.455; 0.164 + 3.865
        {516, 772, 6250, 2.3232, 1.8376},   // mu 160: 3.36 - 1.0368; 0.58 + 1.2576
        {516, 1026, 3125, 1.0372, 2.7268},  // mu 320: 3.45 - 2.4128; 0.362 + 2.3648
        {516, 1280, 4000, 1.9875, 1.8475},  // 3.39 - 1.4025; -0.29 + 2.1375
        {516, 256, 5000, 1.938, 1.5703},    // 3.02 - 1.082; -0.0957 + 1.666
    };
    for (const GainCase& c : cases)
        ExpectGains(c);
}

TEST(WhiteBalanceGains, QuadraticModelFollowsItsRows)
{
    const GainCase cases[] = {
        // 1026 A at mu 200: 5.10369772250254 + 200 x (-0.0193157671903615 + 200 x 2.41117136908234e-05)
        //   = 5.10369772250254 + 200 x -0.0144934244521968 = 2.205012832063176;
        // 0.985304294992319 + 200 x (0.00112741864804505 + 200 x 2.20003750059635e-05) = 2.090803024839869.
        {1026, 770, 5000, 2.205012832063176, 2.090803024839869},
        {1026, 1025, 4000, 1.717518117304456, 2.179013685228250},
        {1026, 1280, 6250, 2.356045225372156, 1.512730000757792},
        {1026, 513, 2500, 1.207430569325618, 3.578663070550415},
    };
    for (const GainCase& c : cases)
        ExpectGains(c);
}

// Models 513 and 514 take r = mu; group D splits at 5540 K (5540 itself is
// the lower row), and preset 256 has its own row.
TEST(WhiteBalanceGains, Models513And514FollowTheirRows)
{
    const GainCase cases[] = {
        // Preset 256 at mu 333.33: 9.74030665205471e-05 + r x (0.0108084166183556 + r x (...)) = 0.68359.
        {513, 256, 3000, 0.683589999998854, 1.316411000000002},
        {514, 256, 3000, 0.683589999998854, 1.316411000000002},
        {513, 4098, 4000, 0.712844552090531, 1.775746724618907},
        {513, 1024, 5000, 0.784600000000030, 1.026299000000013},
        {514, 1280, 6250, 1.496642075049453, 0.684174270889831},
        {513, 512, 5541, 0.945490404751054, 0.924896696382286},
        {513, 512, 5540, 0.944955632719998, 0.925041664610188},
        {514, 0, 2000, -0.842002958111067, 91.283742638794830},
    };
    for (const GainCase& c : cases)
        ExpectGains(c);
}

// Model 1025 and every unlisted model take r = mu x 0.01; the unlisted
// group D splits at mu 167 (5988 K is just above it, 5989 K just below).
TEST(WhiteBalanceGains, HundredthMiredModelsFollowTheirRows)
{
    const GainCase cases[] = {
        // 1025 A at r = 2: 6.42887718202015 + 2 x (-3.35315498349155 + 2 x (0.821757177563812
        //   + 2 x -0.0755281787073185)) = 6.42887718202015 + 2 x -2.01175334319 = 2.40537049563.
        {1025, 768, 5000, 2.405370495633751, 2.300902121126657},
        {1025, 1027, 2500, 1.225482030705249, 3.572175109174156},
        {1025, 514, 6250, 2.513489937173225, 1.563109715936778},
        {0, 4098, 4000, 1.838490643414123, 2.142211028983901},
        {7, 1024, 5000, 2.164705882352942, 1.388234672261072},
        {-1, 1280, 3125, -3.384599266676595, 2.403792362733277},
        {2000, 512, 5988, 2.271250130826348, 1.149746349932984},
        {2000, 512, 5989, 2.296637858223102, 1.135831776087910},
        {258, 514, 10000, 3.075303846543831, 0.958413986021411},
    };
    for (const GainCase& c : cases)
        ExpectGains(c);
}

// Model 1025 under preset 1280 moves in steps: t = trunc((mu - 83) x -0.76923),
// s = (-22 - t) / 10, both toward zero; first = 2.63730525421782 - s x 0.0529889981808676,
// second = 1.35810310290021 + s x 0.020523883849573.
TEST(WhiteBalanceGains, Model1025GroupCIsStepped)
{
    const GainCase cases[] = {
        // mu 100: t = trunc(-13.08) = -13, s = -9 / 10 = 0 (floor would give -1).
        {1025, 1280, 10000, 2.63730525421782, 1.35810310290021},
        // mu 124.008: t = trunc(-31.54) = -31, s = 9 / 10 = 0 (a floored t would give s = 1).
        {1025, 1280, 8064, 2.63730525421782, 1.35810310290021},
        // mu 83.0013: t = 0, s = -2: 2.63730525421782 + 0.1059779963617352.
        {1025, 1280, 12048, 2.743283250579555, 1.317055335201064},
        // mu 50: t = trunc(25.38) = 25, s = -47 / 10 = -4 (floor would give -5).
        {1025, 1280, 20000, 2.849261246941290, 1.276007567501918},
        // mu 200: t = -89 or -90 alike give s = 6: 2.63730525421782 - 0.3179339890852056.
        {1025, 1280, 5000, 2.319371265132614, 1.481246405997648},
        // mu 400: t = trunc(-243.85) = -243, s = 22: 2.63730525421782 - 1.1657579599790872.
        {1025, 1280, 2500, 1.471547294238733, 1.809628547590816},
    };
    for (const GainCase& c : cases)
        ExpectGains(c);
}

// The callers' path: a preset's own temperature feeds the conversion; the
// groups A and B have none and are mapped to preset 4098 (4200 K) first.
TEST(WhiteBalanceGains, PresetTemperatureFeedsTheConversion)
{
    // 260 D at 5200 K: mu = 192.3077, 3.394308 - 0.005841 x 192.3077 = 2.271038769.
    ExpectGains({260, 512, WhiteBalancePresetToKelvin(512), 2.271038769230769, 1.390263461538462});
    ASSERT_EQ(0, WhiteBalancePresetToKelvin(768));
    ExpectGains({260, 768, WhiteBalancePresetToKelvin(4098), 2.251136906666666, 2.192832548571428});
}

TEST(WhiteBalanceGains, ZeroKelvinKeepsNeutralGains)
{
    const std::int16_t models[] = {260, 513, 515, 1025, 1026, 7};
    for (std::int16_t model : models) {
        SCOPED_TRACE(model);
        ExpectGains({model, 1280, 0, 1.0, 1.0});
        ExpectGains({model, 512, 0, 1.0, 1.0});
    }
}

TEST(WhiteBalanceGains, NullOutputWritesNothing)
{
    double gain = 7.0;
    KelvinToChannelGains(512, 5000, &gain, nullptr, 260);
    EXPECT_EQ(7.0, gain);
    KelvinToChannelGains(512, 5000, nullptr, &gain, 260);
    EXPECT_EQ(7.0, gain);
    KelvinToChannelGains(512, 5000, nullptr, nullptr, 260);
}

// The ends of the temperature range give finite gains for every family.
TEST(WhiteBalanceGains, ExtremeTemperaturesStayFinite)
{
    const std::int16_t models[] = {260, 513, 515, 516, 1025, 1026, 7};
    const std::int32_t presets[] = {768, 1024, 1280, 512, 256};
    for (std::int16_t model : models) {
        for (std::int32_t preset : presets) {
            for (std::uint16_t kelvin : {std::uint16_t(1), std::uint16_t(65535)}) {
                SCOPED_TRACE(testing::Message() << model << " " << preset << " " << kelvin);
                double first = 0.0;
                double second = 0.0;
                KelvinToChannelGains(preset, kelvin, &first, &second, model);
                EXPECT_TRUE(std::isfinite(first));
                EXPECT_TRUE(std::isfinite(second));
            }
        }
    }
}

} // namespace
