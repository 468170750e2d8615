// The moire filter: its name, its strength setter, and its pixels against
// a whole-image reference written from the plain rules, however the output
// is tiled.
#include "DetailFilterTestSupport.h"
#include "FilterRigs.h"

#include "filters/moire/TlMoireFilter.h"
#include "filters/moire/TlMoireThresholds.h"

#include <cmath>
#include <cstdlib>

using namespace filter_test;
using detail_test::MakePicture;
using detail_test::Picture;

namespace {

TEST(MoireFilterTest, NamesItselfAndStartsAtStrengthFifty)
{
    ChainRig<CMoireFilter> chain(kKelvraRGB16);
    EXPECT_EQ(0x6D6F6972u, chain.filter.GetFilterTag());
    EXPECT_STREQ("Moire", chain.filter.GetFilterName());
    EXPECT_EQ(50, chain.filter.GetStrength());
    EXPECT_FALSE(chain.filter.IsBypassed());
}

const SetterCase<CMoireFilter> kMoireSetters[] = {
    {"strength", [](CMoireFilter& f, bool n) { return f.SetStrength(50, n); },
     [](CMoireFilter& f, bool n) { return f.SetStrength(80, n); },
     [](const CMoireFilter& f) { return f.GetStrength() == 80; }},
    {"strength zero", [](CMoireFilter& f, bool n) { return f.SetStrength(50, n); },
     [](CMoireFilter& f, bool n) { return f.SetStrength(0, n); },
     [](const CMoireFilter& f) { return f.GetStrength() == 0; }},
};

TEST(MoireFilterTest, StrengthFollowsTheSetterPattern)
{
    ExpectSetterPattern(kMoireSetters);
}

TEST(MoireFilterTest, StrengthNeverBypassesTheFilter)
{
    ChainRig<CMoireFilter> chain(kKelvraRGB16);
    for (int strength : {0, 100, 50}) {
        ExpectOk(chain.filter.SetStrength(strength, true));
        EXPECT_FALSE(chain.filter.IsBypassed());
    }
}

const double kRadiansPerDegree = std::atan(1.0) / 45;

// The rules on plain whole-image arrays, 64-bit arithmetic throughout.
struct MoireReference {
    std::vector<unsigned> samples;
    std::vector<int> counts; // qualifying neighbours per pixel
};

MoireReference ReferenceMoire(const Picture& in, long long strength)
{
    const long w = in.width, h = in.height;
    auto value = [&](long x, long y, int v) -> long long {
        const long long s0 = in.Clamped(x, y, 0), s1 = in.Clamped(x, y, 1), s2 = in.Clamped(x, y, 2);
        return v == 0 ? s0 + 2 * s1 + s2 : v == 1 ? s0 - s1 : s2 - s1;
    };
    auto smoothed = [&](long x, long y, int v) {
        long long sum = 0;
        for (int b = -1; b <= 1; ++b)
            for (int a = -1; a <= 1; ++a)
                sum += (2 - std::abs(a)) * (2 - std::abs(b)) * value(x + a, y + b, v);
        return sum;
    };
    const int steps[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}};
    MoireReference out;
    for (long y = 0; y < h; ++y) {
        for (long x = 0; x < w; ++x) {
            const long long ys = smoothed(x, y, 0), c1s = smoothed(x, y, 1), c2s = smoothed(x, y, 2);
            long long t1 = strength * 16384, t3 = t1 / 3;
            if (ys < 0x1E0000) {
                t1 = ys * (strength - 10) / 120 + 163840;
                t3 = ys * (strength - 10) / 360 + 40960;
            }
            const long long t2 = t1 / 5;
            long long sum1 = 0, sum2 = 0;
            int count = 0;
            for (const auto& step : steps) {
                for (int n = 1; n <= 16; ++n) {
                    const long qx = x + n * step[0], qy = y + n * step[1];
                    const long long dy = std::llabs(ys - smoothed(qx, qy, 0));
                    if (dy > t1)
                        break;
                    if (n % 4 != 0)
                        continue;
                    const long long d1 = std::llabs(c1s - smoothed(qx, qy, 1));
                    const long long d2 = std::llabs(c2s - smoothed(qx, qy, 2));
                    const double ratio = double(d2) / double(d1);
                    if (dy < t2 && d1 + d2 < t3 && ratio > std::tan(25 * kRadiansPerDegree) &&
                        ratio < std::tan(65 * kRadiansPerDegree)) {
                        sum1 += value(qx, qy, 1);
                        sum2 += value(qx, qy, 2);
                        ++count;
                    }
                }
            }
            long long e = value(x, y, 1), f = value(x, y, 2);
            if (count > 3) {
                e = (e + sum1) / (count + 1);
                f = (f + sum2) / (count + 1);
            }
            const long long g = (value(x, y, 0) - e - f) / 4;
            for (long long sample : {e + g, g, f + g})
                out.samples.push_back(unsigned(std::clamp(sample, 0LL, 65535LL)));
            out.counts.push_back(count);
        }
    }
    return out;
}

// Colour stripes running down to the right, over a light luminance ramp
// and a little noise: the colour differences of neighbours along the
// stripes fall on the diagonal band.
Picture DiagonalStripes(long width, long height, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> noise(-300, 300);
    return MakePicture("diagonal stripes", width, height, [&](long x, long y, int c) {
        const int phase = int((x + y) % 6);
        const int base = 20000 + int(40 * x + 25 * y);
        const int colour = c == 1 ? 0 : (phase < 3 ? 1 : -1) * (c == 0 ? 2500 : 4000);
        return unsigned(std::clamp(base + colour + noise(random), 0, 65535));
    });
}

std::vector<Picture> MoirePictures()
{
    return {DiagonalStripes(61, 47, 1),
            detail_test::RandomPicture("random", 37, 29, 0, 65535, 2),
            detail_test::RandomPicture("random mid-tones", 45, 23, 20000, 26000, 3),
            MakePicture("near-white stripes", 41, 35,
                        [](long x, long y, int c) {
                            return unsigned(c == 1 ? 65000 : ((x + y) % 4 < 2 ? 65535 : 62000));
                        })};
}

TEST(MoireFilterTest, EveryTilingEqualsTheWholeImageReference)
{
    ManagerHolder holder;
    for (const Picture& picture : MoirePictures()) {
        for (int strength : {0, 50, 75, 100000, -40}) {
            SCOPED_TRACE(testing::Message() << picture.name << ", strength " << strength);
            CMoireFilter filter(holder.manager);
            ExpectOk(filter.SetStrength(strength, false));
            const MoireReference reference = ReferenceMoire(picture, strength);
            detail_test::ExpectTilesEqual(filter, holder.manager, picture, kKelvraRGB16, reference.samples);
        }
    }
}

TEST(MoireFilterTest, StripesAreAveragedWhileLuminanceStays)
{
    const Picture stripes = DiagonalStripes(61, 47, 1);
    const MoireReference reference = ReferenceMoire(stripes, 50);
    long averaged = 0;
    for (std::size_t p = 0; p < reference.counts.size(); ++p) {
        const unsigned* in = &stripes.samples[3 * p];
        const unsigned* out = &reference.samples[3 * p];
        if (reference.counts[p] <= 3) {
            EXPECT_TRUE(std::equal(in, in + 3, out)) << "pixel " << p;
            continue;
        }
        averaged += !std::equal(in, in + 3, out);
        const bool clamped = std::any_of(out, out + 3, [](unsigned s) { return s == 0 || s == 65535; });
        const long long lumaIn = in[0] + 2LL * in[1] + in[2], lumaOut = out[0] + 2LL * out[1] + out[2];
        if (!clamped) {
            EXPECT_LE(std::llabs(lumaIn - lumaOut), 3) << "pixel " << p;
        }
    }
    EXPECT_GT(averaged, long(reference.counts.size()) / 4) << "the stripes must be found";
}

TEST(MoireFilterTest, GreyAndFlatImagesComeBackUnchanged)
{
    ManagerHolder holder;
    const Picture noise = detail_test::RandomPicture("noise", 30, 26, 0, 65535, 7);
    const Picture pictures[] = {
        MakePicture("grey", 30, 26, [&](long x, long y, int) { return noise.At(x, y, 0); }),
        MakePicture("flat colour", 30, 26, [](long, long, int c) { return 9000u + 20000u * unsigned(c); }),
        MakePicture("flat white", 30, 26, [](long, long, int) { return 65535u; })};
    for (const Picture& picture : pictures) {
        for (int strength : {0, 1, 50, 75, 100, 100000, -100000}) {
            SCOPED_TRACE(testing::Message() << picture.name << ", strength " << strength);
            CMoireFilter filter(holder.manager);
            ExpectOk(filter.SetStrength(strength, false));
            detail_test::ExpectTilesEqual(filter, holder.manager, picture, kKelvraRGB16, picture.samples);
        }
    }
}

// Strength x 16384 and Ys x (strength - 10) once overflowed 32 bits.
TEST(MoireFilterTest, ThresholdsHoldForStrengthsBeyondThirtyTwoBits)
{
    struct Case {
        std::int64_t strength;
        std::int32_t ys;
        TlMoireThresholds expected;
    };
    const Case cases[] = {
        {50, 0x1E0000, {819200, 163840, 273066}},
        {50, 1000000, {333333 + 163840, (333333 + 163840) / 5, 111111 + 40960}},
        {100000, 0x1E0000, {1638400000, 327680000, 546133333}},
        {200000, 0x1E0000, {3276800000LL, 655360000, 1092266666}},
        {100000, 0x1DFFFF, {1638235326LL + 163840, (1638235326LL + 163840) / 5, 546078442 + 40960}},
        {0, 1200, {-100 + 163840, (163840 - 100) / 5, -33 + 40960}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.strength << ", " << c.ys);
        const TlMoireThresholds t = TlMoireThresholdsFor(c.strength, c.ys);
        EXPECT_EQ(c.expected.stop, t.stop);
        EXPECT_EQ(c.expected.near, t.near);
        EXPECT_EQ(c.expected.colour, t.colour);
    }
}

TEST(MoireFilterTest, OtherFormatsAreRefusedWithTheSystemText)
{
    for (KelvraPixelFormat format : {kKelvraRGB8, kKelvraGrey16}) {
        SCOPED_TRACE(format);
        ChainRig<CMoireFilter> chain(format);
        ExpectRefusedWithText(chain.filter, format);
    }
}

} // namespace
