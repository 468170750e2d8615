// The development each sample gets: from its encoding to linear light, white
// balance and exposure, the working space and the tone curve; and the
// exposure an edited file's stored settings carry.
#include "TlnStoredSettings.h"
#include "TlnTone.h"
#include "settings/small/TlAutoBrightnessState.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

double Srgb255(double linear)
{
    const double x = std::min(1.0, std::max(0.0, linear));
    return 255.0 * (x <= 0.0031308 ? 12.92 * x : 1.055 * std::pow(x, 1.0 / 2.4) - 0.055);
}

std::uint8_t DevelopGrey(const CTlnToneTables& tables, std::uint16_t value, int channel = 1)
{
    const std::uint16_t in[3] = {value, value, value};
    std::uint8_t out[3] = {};
    tables.Develop(in, 3, out);
    return out[channel];
}

TEST(RawlibpsToneTest, EachInputKindReachesTheSrgbCurve)
{
    const TlnWhiteBalance asShot{0, 0};
    const CTlnToneTables companded(TlnInputKind::Companded, asShot, 0.0, kTlnSpaceSRGB);
    const CTlnToneTables brighter(TlnInputKind::Companded, asShot, 1.0, kTlnSpaceSRGB);
    const CTlnToneTables raw(TlnInputKind::RawLinear, asShot, 0.0, kTlnSpaceSRGB);
    const CTlnToneTables display(TlnInputKind::DisplayReady, asShot, 3.0, kTlnSpaceSRGB);
    for (double linear : {0.01, 0.18, 0.4, 0.9}) {
        SCOPED_TRACE(linear);
        const auto root = std::uint16_t(std::lround(std::sqrt(linear) * 65535.0));
        EXPECT_NEAR(Srgb255(linear), DevelopGrey(companded, root), 1.0);
        EXPECT_NEAR(Srgb255(2 * linear), DevelopGrey(brighter, root), 1.0);
        const std::uint16_t mosaic[1] = {std::uint16_t(std::lround(linear * 4095.0))};
        std::uint8_t out[3] = {};
        raw.Develop(mosaic, 1, out);
        EXPECT_NEAR(Srgb255(linear), out[0], 1.0);
        EXPECT_TRUE(out[0] == out[1] && out[1] == out[2]);
    }
    // Toned input passes as it is, whatever the exposure.
    EXPECT_EQ(0x12, DevelopGrey(display, 0x1234));
}

TEST(RawlibpsToneTest, WhiteBalanceFollowsTheTemperatureAndAdobeKeepsGrey)
{
    double red = 0.0, blue = 0.0;
    TlnWhiteBalanceFactors({0, 8000}, &red, &blue);
    EXPECT_EQ(1.0, red);
    TlnWhiteBalanceFactors({0x200, 5200}, &red, &blue);
    EXPECT_DOUBLE_EQ(1.0, red);
    EXPECT_DOUBLE_EQ(1.0, blue);
    TlnWhiteBalanceFactors({0x100, 3000}, &red, &blue);
    EXPECT_LT(red, 1.0);
    EXPECT_GT(blue, 1.0);
    TlnWhiteBalanceFactors({0x201, 8000}, &red, &blue);
    EXPECT_GT(red, 1.0);
    EXPECT_LT(blue, 1.0);

    const CTlnToneTables adobe(TlnInputKind::Companded, {0, 0}, 0.0, kTlnSpaceAdobeRGB);
    const CTlnToneTables srgb(TlnInputKind::Companded, {0, 0}, 0.0, kTlnSpaceSRGB);
    EXPECT_NEAR(DevelopGrey(adobe, 30000, 0), DevelopGrey(adobe, 30000, 2), 1.0);
    const std::uint16_t red16[3] = {60000, 0, 0};
    std::uint8_t inAdobe[3], inSrgb[3];
    adobe.Develop(red16, 3, inAdobe);
    srgb.Develop(red16, 3, inSrgb);
    EXPECT_LT(inAdobe[0], inSrgb[0]); // sRGB's red lies inside Adobe RGB's
}

TEST(RawlibpsToneTest, TheStoredExposureIsFoundInsideTheSettingsRecord)
{
    CTlAutoBrightnessState state;
    state.exposureCompensation = 1.25;
    std::vector<std::uint8_t> record(200, 0x11);
    const int saved = state.Save(record.data() + 40, 160);
    ASSERT_GT(saved, 0);
    double exposure = 0.0;
    ASSERT_TRUE(TlnStoredExposure(record, &exposure));
    EXPECT_DOUBLE_EQ(1.25, exposure);
    EXPECT_FALSE(TlnStoredExposure(std::vector<std::uint8_t>(100, 0x11), &exposure));
    // A record cut inside its fields reads no exposure it does not hold.
    record.resize(40 + 18);
    exposure = -7.0;
    const bool found = TlnStoredExposure(record, &exposure);
    EXPECT_TRUE(found ? exposure == 0.0 : exposure == -7.0) << exposure;
}

} // namespace
