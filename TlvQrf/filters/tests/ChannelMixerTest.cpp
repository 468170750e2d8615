// The channel mixer: grey from colour by its fixed weights, on real pixels
// of both sample widths, and the sources it refuses.
#include "PixelFilterTestSupport.h"

#include "filters/channelmixer/TlChannelMixerFilter.h"
#include "filters/frame/TlPixelFormats.h"

using namespace pixel_test;

namespace {

using MixerRig = FilterRig<CChannelMixerFilter>;

TEST(ChannelMixerTest, NamesItselfInAChain)
{
    ManagerHolder holder;
    MixerRig rig(MakePatternImage(holder.manager, 8, 8, kKelvraRGB8), holder);
    EXPECT_EQ(TlFilterId("Mixr"), rig.filter.GetFilterTag());
    EXPECT_STREQ("Channel Mixer", rig.filter.GetFilterName());
}

struct MixCase {
    std::vector<unsigned> in;
    unsigned grey;
};

void ExpectGreys(KelvraPixelFormat format, const std::vector<MixCase>& cases)
{
    ManagerHolder holder;
    std::vector<std::vector<unsigned>> pixels;
    for (const MixCase& c : cases)
        pixels.push_back(c.in);
    MixerRig rig(MakeRowOf(holder.manager, format, pixels), holder);
    const std::vector<unsigned> out = rig.Output();
    ASSERT_EQ(cases.size() * 3, out.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(cases[i].grey, out[3 * i]);
        EXPECT_EQ(cases[i].grey, out[3 * i + 1]);
        EXPECT_EQ(cases[i].grey, out[3 * i + 2]);
    }
}

TEST(ChannelMixerTest, EightBitPixelsBecomeTheTruncatedWeightedSum)
{
    ExpectGreys(kKelvraRGB8, {
                                 {{255, 0, 0}, 76},      // 76.245
                                 {{0, 255, 0}, 149},     // 149.685
                                 {{0, 0, 255}, 29},      // 29.07
                                 {{255, 255, 255}, 255}, // exactly 255.0
                                 {{0, 0, 0}, 0},
                                 {{100, 150, 200}, 140}, // 140.75
                                 {{59, 59, 59}, 58},     // the sum falls a hair short of 59
                             });
}

TEST(ChannelMixerTest, SixteenBitPixelsBecomeTheTruncatedWeightedSum)
{
    ExpectGreys(kKelvraRGB16, {
                                  {{65535, 0, 0}, 19594},         // 19594.965
                                  {{0, 65535, 0}, 38469},         // 38469.045
                                  {{0, 0, 65535}, 7470},          // 7470.99
                                  {{65535, 65535, 65535}, 65535}, // exactly 65535.0
                                  {{1000, 2000, 3000}, 1815},
                              });
}

TEST(ChannelMixerTest, ThreeSampleLayoutsAreMixedLikeRgb)
{
    for (KelvraPixelFormat format : {KelvraPixelFormat(kKelvraLCh8), KelvraPixelFormat(kKelvraLCh16),
                                     KelvraPixelFormat(0x10060204), KelvraPixelFormat(kTlThreeSample16Last)}) {
        SCOPED_TRACE(format);
        ExpectGreys(format, {{{255, 0, 0}, 76}, {{0, 255, 0}, 149}});
    }
}

TEST(ChannelMixerTest, OneTileOverManySourceTilesEqualsTheTiledOutput)
{
    for (KelvraPixelFormat format : {kKelvraRGB8, kKelvraRGB16}) {
        SCOPED_TRACE(format);
        ManagerHolder holder;
        MixerRig rig(MakePatternImage(holder.manager, 150, 90, format), holder);
        CChannelMixerFilter single(holder.manager);
        EXPECT_EQ(rig.Output(), OutputAsOneTile(single, rig.image));
    }
}

TEST(ChannelMixerTest, SourcesWithoutThreeChannelsAreRefused)
{
    ManagerHolder holder;
    CChannelMixerFilter filter(holder.manager);
    const KelvraPixelFormat refused[] = {kKelvraGrey8, kKelvraGrey16, kKelvraCMYK8, 0x10080202, kKelvraBitmap,
                                         0x08060204, 0x08060205, 0x10060206};
    for (KelvraPixelFormat format : refused)
        ExpectTileRefused(filter, holder.manager, format, kKelvraUnsupportedFormat);
}

TEST(ChannelMixRowTest, SumsAreCappedAtTheLargestSample)
{
    const TlMixWeights heavy{{1.5, 1.0, 1.0, 2.0}};
    const struct {
        int channels;
        std::vector<unsigned> in;
        unsigned eight;   // 8-bit result
        unsigned sixteen; // 16-bit result of the same samples
    } cases[] = {
        {1, {100}, 150, 150},         {1, {200}, 255, 300},           {3, {100, 10, 20}, 180, 180},
        {3, {200, 200, 200}, 255, 700}, {4, {10, 20, 30, 40}, 145, 145}, {4, {1, 1, 1, 200}, 255, 403},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.channels);
        std::vector<std::uint8_t> in8(c.in.begin(), c.in.end()), out8(c.in.size());
        std::vector<std::uint16_t> in16(c.in.begin(), c.in.end()), out16(c.in.size());
        TlMixRow(in8.data(), out8.data(), 1, c.channels, heavy);
        TlMixRow(in16.data(), out16.data(), 1, c.channels, heavy);
        for (std::size_t i = 0; i < c.in.size(); ++i) {
            EXPECT_EQ(c.eight, out8[i]);
            EXPECT_EQ(c.sixteen, out16[i]);
        }
    }
    const std::uint16_t top[] = {65535, 65535, 65535};
    std::uint16_t capped[3] = {};
    TlMixRow(top, capped, 1, 3, heavy);
    EXPECT_EQ(65535u, capped[0]);
}

} // namespace
