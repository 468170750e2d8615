// The saturation compensation's gains and pixels: the gain table of each
// parameter set and level, chroma scaled by the gain of its lightness in
// both depths, level 0 passing pixels through, and a tone mode that waits
// for the next level change.
#include "ColourFilterTestSupport.h"
#include "PixelFilterTestSupport.h"

#include "filters/saturation/TlSaturationCompensationFilter.h"

#include <vector>

using namespace colour_test;
using pixel_test::MakeRowOf;
using pixel_test::OutputAsOneTile;

namespace {

TEST(SaturationGains, PinnedValuesOfTheStrongestLevel)
{
    int gains[kTlGainEntries];
    TlBuildSaturationGains(0, 9, gains);
    const struct {
        int lightness, gain;
    } pins[] = {{0, 0}, {79, 88}, {80, 89}, {128, 89}, {179, 89}, {180, 88}, {255, 21}};
    for (const auto& pin : pins)
        EXPECT_EQ(pin.gain, gains[pin.lightness]) << "L " << pin.lightness;
}

TEST(SaturationGains, LevelZeroOfTheFirstSetKeepsChromaAndNoGainRaisesIt)
{
    int gains[kTlGainEntries];
    TlBuildSaturationGains(0, 0, gains);
    for (int gain : gains)
        ASSERT_EQ(kTlUnityGain, gain);
    for (int set : {0, 1}) {
        for (int level = 0; level <= CSaturationCompensationFilter::kMaxLevel; ++level) {
            TlBuildSaturationGains(set, level, gains);
            for (int lightness = 0; lightness < kTlGainEntries; ++lightness) {
                ASSERT_LE(gains[lightness], kTlUnityGain) << set << "/" << level << " L " << lightness;
                ASSERT_GE(gains[lightness], 0);
            }
        }
    }
}

class SaturationPixelsTest : public ::testing::Test {
protected:
    std::vector<unsigned> Compensate(KelvraPixelFormat format, const std::vector<std::vector<unsigned>>& pixels)
    {
        IKelvraImage* image = MakeRowOf(holder.manager, format, pixels);
        std::vector<unsigned> output = OutputAsOneTile(filter, image);
        image->Release();
        return output;
    }

    ManagerHolder holder;
    CSaturationCompensationFilter filter{holder.manager};
};

TEST_F(SaturationPixelsTest, ChromaTakesTheGainOfItsLightness)
{
    ExpectOk(filter.SetLevel(9, false));
    const struct {
        KelvraPixelFormat format;
        std::vector<std::vector<unsigned>> in, out;
    } cases[] = {
        {kKelvraLCh8,
         {{0, 200, 5}, {79, 200, 6}, {128, 200, 7}, {255, 200, 8}},
         {{0, 0, 5}, {79, 137, 6}, {128, 139, 7}, {255, 32, 8}}},
        // Only the upper byte of 16-bit lightness picks the gain.
        {kKelvraLCh16,
         {{0x00FF, 40000, 500}, {79 * 256 + 200, 40000, 600}, {0x8000, 40000, 700}, {65535, 40000, 800}},
         {{0x00FF, 0, 500}, {79 * 256 + 200, 27500, 600}, {0x8000, 27812, 700}, {65535, 6562, 800}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        std::vector<unsigned> expected;
        for (const auto& pixel : c.out)
            expected.insert(expected.end(), pixel.begin(), pixel.end());
        EXPECT_EQ(expected, Compensate(c.format, c.in));
    }
}

TEST_F(SaturationPixelsTest, LevelZeroPassesPixelsThrough)
{
    ChainRig rig{[](IKelvraManager* manager) -> std::unique_ptr<CTlFilter> {
                     return std::make_unique<CSaturationCompensationFilter>(manager);
                 },
                 kKelvraLCh16};
    auto& chained = static_cast<CSaturationCompensationFilter&>(*rig.filter);
    ExpectOk(chained.SetLevel(9, true));
    const std::vector<unsigned> input = ReadAllSamples(rig.image);
    EXPECT_NE(input, ReadAllSamples(&chained));
    ExpectOk(chained.SetLevel(0, true));
    EXPECT_TRUE(chained.PassesThrough());
    EXPECT_EQ(input, ReadAllSamples(&chained));
}

TEST_F(SaturationPixelsTest, ToneModeWaitsForTheNextLevelChange)
{
    const std::vector<std::vector<unsigned>> highlight = {{255, 200, 0}};
    ExpectOk(filter.SetLevel(9, false));
    EXPECT_EQ(32u, Compensate(kKelvraLCh8, highlight)[1]); // gain 21 of the first set
    const struct {
        std::uint16_t toneMode;
        int gain;
    } cases[] = {{260, 14}, {1026, 14}, {7, 21}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.toneMode);
        filter.SetParameter(c.toneMode);
        EXPECT_EQ(32u, Compensate(kKelvraLCh8, highlight)[1]) << "nothing rebuilt yet";
        EXPECT_FALSE(filter.IsGainTableStale());
        ExpectOk(filter.SetLevel(8, false));
        ExpectOk(filter.SetLevel(9, false));
        Compensate(kKelvraLCh8, highlight);
        EXPECT_EQ(c.gain, filter.GetGainTable()[255]);
        filter.SetParameter(0); // back to the first set for the next case
        ExpectOk(filter.SetLevel(8, false));
        ExpectOk(filter.SetLevel(9, false));
        Compensate(kKelvraLCh8, highlight);
    }
}

TEST_F(SaturationPixelsTest, OtherFormatsAreABadColourSpace)
{
    const KelvraPixelFormat others[] = {kKelvraRGB8, kKelvraRGB16, kKelvraLab16, 0x10060204};
    for (KelvraPixelFormat format : others)
        pixel_test::ExpectTileRefused(filter, holder.manager, format, kKelvraTextError);
}

} // namespace
