// The colour noise reduction: its strength and what a strength means, and
// its pixels against a whole-image reference written from the plain rules,
// however the output is tiled.
#include "ColourFilterTestSupport.h"
#include "DetailFilterTestSupport.h"

#include "filters/colornoise/TlColorNoiseReductionFilter.h"
#include "filters/colornoise/TlNoiseWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

using namespace colour_test;
using detail_test::MakePicture;
using detail_test::Picture;

namespace {

std::unique_ptr<CTlFilter> MakeNoise(IKelvraManager* manager)
{
    return std::make_unique<CColorNoiseReductionFilter>(manager);
}

TEST(ColorNoiseReductionTest, ConstructedAtHalfStrengthWithStaleWeights)
{
    ManagerHolder holder;
    CColorNoiseReductionFilter filter(holder.manager);
    EXPECT_EQ(0.5, filter.GetStrength());
    EXPECT_TRUE(filter.IsWeightTableStale());
    EXPECT_FALSE(IsBypassed(filter));
}

TEST(ColorNoiseReductionTest, StrengthThatIsNotANumberIsRefused)
{
    ChainRig rig(MakeNoise, 0x10060204);
    auto& filter = static_cast<CColorNoiseReductionFilter&>(*rig.filter);
    ExpectError(filter.SetStrength(std::numeric_limits<double>::quiet_NaN(), true), kKelvraBadArgument,
                TlFilterId("clnr"));
    EXPECT_EQ(0.5, filter.GetStrength());
    EXPECT_FALSE(IsStale(filter));
    EXPECT_TRUE(rig.sink.notices.empty());
}

constexpr KelvraPixelFormat kNoiseSpace = 0x10060204;

TEST(ColorNoiseReductionTest, StrengthSetsWindowRangeAndBoxPrePass)
{
    struct Case {
        double strength;
        int radius;
        double rangeWidth;
        bool box;
    };
    const Case cases[] = {
        {0.0, 1, 1.0, false},   {0.49, 1, 1.049, false}, {0.5, 2, 5.0, false}, {0.7, 2, 5.075, false},
        {0.9, 2, 5.15, true},   {0.905, 2, 5.151875, true}, {0.91, 3, 20.0, true}, {1.0, 3, 20.0, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.strength);
        const TlNoiseWindow window = TlNoiseWindowFor(c.strength);
        EXPECT_EQ(c.radius, window.radius);
        EXPECT_NEAR(c.rangeWidth, window.rangeWidth, 1e-12);
        EXPECT_EQ(c.box, window.boxPrePass);
    }
}

TEST(ColorNoiseReductionTest, WeightsFallWithTheDifferenceOverTheRangeWidth)
{
    std::vector<std::uint16_t> table;
    TlBuildNoiseWeights(5.0, table);
    ASSERT_EQ(4096u, table.size());
    EXPECT_EQ(1337, table[0]);
    EXPECT_EQ(492, table[80]);  // one range width: 1337 / e
    EXPECT_EQ(24, table[160]);  // two: 1337 / e^4 = 24.49
    EXPECT_EQ(0, table[4095]);
    EXPECT_TRUE(std::is_sorted(table.rbegin(), table.rend()));
}

// The rules on plain whole-image arrays: the nearest edge pixel outside,
// the 15 x 15 box means of the colour channels first where the strength
// asks for them, then each channel's range-weighted window mean.
std::vector<unsigned> ReferenceNoise(const Picture& in, double strength)
{
    const int r = strength < 0.5 ? 1 : strength < 0.91 ? 2 : 3;
    const double d = strength < 0.5 ? 1 + 0.1 * strength : strength < 0.91 ? 5 + 0.375 * (strength - 0.5) : 20;
    const bool box = strength >= 0.9;
    auto weight = [&](long difference) {
        const double i = double(std::labs(difference) >> 4);
        return long(std::floor(1337 * std::exp(-i * i / (256 * d * d)) + 0.5));
    };
    auto value = [&](long x, long y, int k) -> long {
        if (!box || k == 0)
            return long(in.Clamped(x, y, k));
        long sum = 0;
        for (long b = -7; b <= 7; ++b)
            for (long a = -7; a <= 7; ++a)
                sum += long(in.Clamped(x + a, y + b, k));
        return sum / 225;
    };
    std::vector<unsigned> out;
    for (long y = 0; y < in.height; ++y)
        for (long x = 0; x < in.width; ++x)
            for (int k = 0; k < 3; ++k) {
                const long centre = value(x, y, k);
                long long weights = 0, weighted = 0;
                for (long b = -r; b <= r; ++b)
                    for (long a = -r; a <= r; ++a) {
                        const long v = value(x + a, y + b, k);
                        weights += weight(v - centre);
                        weighted += weight(v - centre) * (long long)v;
                    }
                out.push_back(unsigned(weighted / weights));
            }
    return out;
}

// A light edge in channel 0 and salt in channels 1 and 2, one grain in
// every 8 x 8 block, so that no window holds two.
Picture SaltOverAnEdge(long width, long height, unsigned salt)
{
    return MakePicture("salt over an edge", width, height, [=](long x, long y, int k) {
        if (k == 0)
            return x < width / 2 ? 10000u : 50000u;
        return x % 8 == 3 + k && y % 8 == 5 ? 30000u + salt : 30000u;
    });
}

const double kStrengths[] = {0.0, 0.3, 0.49, 0.5, 0.7, 0.9, 0.905, 0.91, 1.0};

TEST(ColorNoiseReductionTest, EveryTilingEqualsTheWholeImageReference)
{
    ManagerHolder holder;
    const Picture pictures[] = {detail_test::RandomPicture("random", 29, 23, 0, 65535, 11),
                                detail_test::RandomPicture("gentle noise", 31, 19, 30000, 31500, 12),
                                SaltOverAnEdge(34, 21, 1500)};
    for (const Picture& picture : pictures) {
        for (double strength : kStrengths) {
            SCOPED_TRACE(testing::Message() << picture.name << ", strength " << strength);
            CColorNoiseReductionFilter filter(holder.manager);
            ExpectOk(filter.SetStrength(strength, false));
            detail_test::ExpectTilesEqual(filter, holder.manager, picture, kNoiseSpace,
                                          ReferenceNoise(picture, strength));
            EXPECT_FALSE(filter.IsWeightTableStale());
        }
    }
}

TEST(ColorNoiseReductionTest, FlatImagesComeBackUnchangedAtEveryStrength)
{
    ManagerHolder holder;
    for (unsigned level : {0u, 1u, 32767u, 65535u}) {
        const Picture flat = MakePicture("flat", 26, 18, [=](long, long, int k) { return level ^ unsigned(k); });
        for (double strength : kStrengths) {
            SCOPED_TRACE(testing::Message() << level << ", strength " << strength);
            CColorNoiseReductionFilter filter(holder.manager);
            ExpectOk(filter.SetStrength(strength, false));
            detail_test::ExpectTilesEqual(filter, holder.manager, flat, kNoiseSpace, flat.samples);
        }
    }
}

TEST(ColorNoiseReductionTest, SaltInTheColourChannelsGoesWhileTheEdgeStays)
{
    const unsigned salt = 1500;
    const Picture picture = SaltOverAnEdge(40, 28, salt);
    for (double strength : {0.5, 0.7, 0.95}) {
        SCOPED_TRACE(strength);
        const std::vector<unsigned> out = ReferenceNoise(picture, strength);
        unsigned worst = 0;
        for (std::size_t i = 0; i < out.size(); ++i) {
            if (i % 3 == 0)
                EXPECT_EQ(picture.samples[i], out[i]) << "channel 0 at sample " << i;
            else
                worst = std::max(worst, unsigned(std::abs(int(out[i]) - 30000)));
        }
        EXPECT_LT(worst, salt / 3);
    }
}

TEST(ColorNoiseReductionTest, OnlyTheDestinationRectangleIsWritten)
{
    ManagerHolder holder;
    const Picture picture = detail_test::RandomPicture("random", 40, 24, 0, 65535, 13);
    IKelvraImage* image = detail_test::MakeImage(holder.manager, picture, kNoiseSpace);
    IKelvraDataSource* sources[] = {image};
    for (double strength : {0.5, 0.95}) {
        SCOPED_TRACE(strength);
        const std::vector<unsigned> expected = ReferenceNoise(picture, strength);
        CColorNoiseReductionFilter filter(holder.manager);
        ExpectOk(filter.SetStrength(strength, false));
        for (long width : {1L, 13L, 14L, 15L}) {
            SCOPED_TRACE(width);
            const KelvraRect full(0, 0, 40, 24), toFill(3, 2, 3 + width, 11);
            frame_test::FakeTile tile(full, toFill, kNoiseSpace);
            ExpectOk(filter.GenerateTile(&tile, sources, 1));
            for (long y = 0; y < 24; ++y)
                for (long x = 0; x < 40; ++x) {
                    const std::uint8_t* pixel = tile.PixelAt(x, y);
                    const bool inside = toFill.Contains(x, y);
                    for (int k = 0; k < 3; ++k) {
                        std::uint16_t sample;
                        std::memcpy(&sample, pixel + 2 * k, 2);
                        if (inside)
                            EXPECT_EQ(expected[std::size_t((y * 40 + x) * 3 + k)], sample) << x << ", " << y;
                        else
                            EXPECT_EQ(0xA5A5, sample) << x << ", " << y;
                    }
                }
        }
    }
    image->Release();
}

TEST(ColorNoiseReductionTest, OtherFormatsAreRefusedWithTheSystemText)
{
    ManagerHolder holder;
    CColorNoiseReductionFilter filter(holder.manager);
    const KelvraPixelFormat others[] = {kKelvraRGB16, kKelvraRGB8, 0x08060204};
    for (KelvraPixelFormat format : others)
        pixel_test::ExpectTileRefused(filter, holder.manager, format, kKelvraTextError);
}

} // namespace
