// The fine edge filter: its steps' promises (sharpened green stays within
// its neighbours, weak structure leaves the colour differences alone), and
// its pixels in both depths against a whole-image reference written from
// the plain rules, however the output is tiled.
#include "DetailFilterTestSupport.h"

#include "filters/fineedge/TlFineEdgeFilter.h"
#include "filters/fineedge/TlFineEdgeSteps.h"

#include <cmath>
#include <cstdlib>

using detail_test::MakePicture;
using detail_test::Picture;

namespace {

// The rules on plain whole-image arrays, every value on the 16-bit scale.
struct FineEdgeReference {
    const Picture& in;
    long scale;

    long long Sample(long x, long y, int c) const { return (long long)in.Clamped(x, y, c) * scale; }
    long long Green(long x, long y) const { return Sample(x, y, 1); }
    long long Difference(long x, long y, int c) const { return Sample(x, y, c) - Green(x, y); }

    // c is 0 for red - green, 2 for blue - green.
    long long Smoothed(long x, long y, int c) const
    {
        long long s = 0;
        for (long b = -2; b <= 2; ++b)
            for (long a = -2; a <= 2; ++a)
                s += std::llabs(Green(x + a, y + b) - Green(x, y));
        if (s <= 115200)
            return Difference(x, y, c);
        long long weights = 0, weighted = 0;
        for (long b = -2; b <= 2; ++b)
            for (long a = -2; a <= 2; ++a) {
                const long long distance = std::llabs(Green(x + a, y + b) - Green(x, y));
                const long long w = std::max(0LL, s / 25 - distance) / (s / 32768 + 1);
                weights += w;
                weighted += w * Difference(x + a, y + b, c);
            }
        return weighted / weights;
    }

    long long Sharp(long x, long y) const
    {
        long long binomial = 0, low = 65535, high = 0;
        for (long b = -1; b <= 1; ++b)
            for (long a = -1; a <= 1; ++a) {
                binomial += (2 - std::labs(a)) * (2 - std::labs(b)) * Green(x + a, y + b);
                if (a != 0 || b != 0) {
                    low = std::min(low, Green(x + a, y + b));
                    high = std::max(high, Green(x + a, y + b));
                }
            }
        return std::clamp((80 * Green(x, y) - 3 * binomial) / 32, low, high);
    }

    std::vector<unsigned> Output() const
    {
        // Neighbours a, b and the three pairs of each direction: horizontal,
        // vertical, diagonal, anti-diagonal.
        const int dirs[4][2][2] = {{{-1, 0}, {1, 0}}, {{0, -1}, {0, 1}}, {{-1, -1}, {1, 1}}, {{1, -1}, {-1, 1}}};
        const int pairs[4][3][4] = {{{0, -1, -2, -1}, {0, -1, 2, -1}, {-1, 0, 1, 0}},
                                    {{-1, 0, -1, -2}, {-1, 0, -1, 2}, {0, -1, 0, 1}},
                                    {{0, 1, 1, 2}, {-1, 0, 0, 1}, {-2, -1, -1, 0}},
                                    {{0, -1, 1, -2}, {-2, 1, -1, 0}, {-1, 0, 0, -1}}};
        std::vector<unsigned> out;
        for (long y = 0; y < in.height; ++y)
            for (long x = 0; x < in.width; ++x) {
                auto g = [&](int dx, int dy) { return Sharp(x + dx, y + dy); };
                const long long h = g(0, 0);
                long long activity[4], total = 0;
                for (int d = 0; d < 4; ++d) {
                    activity[d] = 3 * (std::llabs(h - g(dirs[d][0][0], dirs[d][0][1])) +
                                       std::llabs(h - g(dirs[d][1][0], dirs[d][1][1])));
                    for (const auto& p : pairs[d])
                        activity[d] += 2 * std::llabs(g(p[0], p[1]) - g(p[2], p[3]));
                    total += activity[d];
                }
                long long weight[4], sum = 0;
                for (int d = 0; d < 4; ++d)
                    sum += weight[d] = std::max(0LL, total - 4 * activity[d]);
                long long green = h, red = Smoothed(x, y, 0), blue = Smoothed(x, y, 2);
                if (sum > 0) {
                    const long long k = sum / 32768 + 1;
                    long long gs = 0, rs = 0, bs = 0;
                    auto quarter = [](long long v) { return (long long)std::floor(double(v) / 4); };
                    for (int d = 0; d < 4; ++d) {
                        const int ax = dirs[d][0][0], ay = dirs[d][0][1], bx = dirs[d][1][0], by = dirs[d][1][1];
                        const long long w = weight[d] / k;
                        gs += w * quarter(g(ax, ay) + 2 * h + g(bx, by));
                        rs += w * quarter(Smoothed(x + ax, y + ay, 0) + 2 * red + Smoothed(x + bx, y + by, 0));
                        bs += w * quarter(Smoothed(x + ax, y + ay, 2) + 2 * blue + Smoothed(x + bx, y + by, 2));
                    }
                    green = gs / (sum / k);
                    red = rs / (sum / k);
                    blue = bs / (sum / k);
                }
                for (long long v : {green + red, green, green + blue}) {
                    const long long wide = std::clamp(v, 0LL, 65535LL);
                    out.push_back(unsigned(scale == 1 ? wide : wide >> 8));
                }
            }
        return out;
    }
};

// Green edges and lines across a colour ramp: strong structure next to
// calm areas.
Picture EdgesAndLines(long width, long height, unsigned top)
{
    return MakePicture("edges and lines", width, height, [=](long x, long y, int c) {
        const bool light = x > width / 3 || (x + 2 * y) % 9 < 2 || y == height / 2;
        const unsigned green = light ? top : top / 6;
        const unsigned colour = unsigned(x * top / (4 * width));
        return c == 1 ? green : std::min(top, green / 2 + colour + unsigned(c) * top / 16);
    });
}

struct DepthCase {
    KelvraPixelFormat format;
    unsigned top;
    long scale;
};
const DepthCase kDepths[] = {{kKelvraRGB16, 65535, 1}, {kKelvraRGB8, 255, 257}};

TEST(FineEdgeFilterTest, EveryTilingEqualsTheWholeImageReferenceInBothDepths)
{
    ManagerHolder holder;
    for (const DepthCase& depth : kDepths) {
        const Picture pictures[] = {detail_test::RandomPicture("random", 31, 23, 0, depth.top, 21),
                                    detail_test::RandomPicture("gentle noise", 27, 19, depth.top / 3,
                                                               depth.top / 3 + depth.top / 20, 22),
                                    EdgesAndLines(37, 26, depth.top)};
        for (const Picture& picture : pictures) {
            SCOPED_TRACE(testing::Message() << picture.name << ", format " << std::hex << depth.format);
            CFineEdgeFilter filter(holder.manager);
            const std::vector<unsigned> expected = FineEdgeReference{picture, depth.scale}.Output();
            EXPECT_NE(picture.samples, expected) << "the picture must change";
            detail_test::ExpectTilesEqual(filter, holder.manager, picture, depth.format, expected);
        }
    }
}

TEST(FineEdgeFilterTest, FlatImagesComeBackUnchanged)
{
    ManagerHolder holder;
    for (const DepthCase& depth : kDepths) {
        for (unsigned level : {0u, 1u, depth.top / 2, depth.top}) {
            SCOPED_TRACE(testing::Message() << std::hex << depth.format << std::dec << ", level " << level);
            const Picture flat = MakePicture("flat", 21, 13, [=](long, long, int c) {
                return std::min(depth.top, level + unsigned(c) * depth.top / 4);
            });
            CFineEdgeFilter filter(holder.manager);
            detail_test::ExpectTilesEqual(filter, holder.manager, flat, depth.format, flat.samples);
        }
    }
}

TEST(FineEdgeFilterTest, SharpenedGreenStaysWithinItsEightNeighbours)
{
    std::mt19937 random(31);
    for (int trial = 0; trial < 20000; ++trial) {
        // Wide spreads, narrow ones and lone extremes.
        const int spread = (trial % 3 == 0) ? 65535 : (trial % 3 == 1) ? 300 : 5000;
        const int base = std::uniform_int_distribution<int>(0, 65535 - spread)(random);
        std::uniform_int_distribution<int> value(base, base + spread);
        std::uint16_t rows[3][3];
        for (auto& row : rows)
            for (auto& sample : row)
                sample = std::uint16_t(value(random));
        if (trial % 5 == 0)
            rows[1][1] = trial % 10 == 0 ? 65535 : 0;
        const std::uint16_t* window[3] = {&rows[0][1], &rows[1][1], &rows[2][1]};
        const int sharpened = TlSharpenGreen(window);
        int low = 65535, high = 0;
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                if (r != 1 || c != 1) {
                    low = std::min<int>(low, rows[r][c]);
                    high = std::max<int>(high, rows[r][c]);
                }
        ASSERT_GE(sharpened, low) << "trial " << trial;
        ASSERT_LE(sharpened, high) << "trial " << trial;
    }
}

TEST(FineEdgeFilterTest, WeakGreenStructureLeavesTheColourDifferencesAlone)
{
    std::mt19937 random(32);
    std::uniform_int_distribution<int> difference(-65535, 65535);
    long smoothed = 0;
    for (int trial = 0; trial < 4000; ++trial) {
        // Every green within 4,800 of the centre's: S up to 115,200 and,
        // in a few windows, beyond.
        const int centre = std::uniform_int_distribution<int>(5000, 60000)(random);
        const int reach = trial % 4 == 0 ? 5200 : 4800;
        std::uniform_int_distribution<int> green(centre - reach, centre + reach);
        std::uint16_t greens[5][5];
        TlColourDifferences differences[5][5];
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 5; ++c) {
                greens[r][c] = std::uint16_t(r == 2 && c == 2 ? centre : green(random));
                differences[r][c] = {difference(random), difference(random)};
            }
        const std::uint16_t* greenRows[5];
        const TlColourDifferences* differenceRows[5];
        for (int r = 0; r < 5; ++r) {
            greenRows[r] = &greens[r][2];
            differenceRows[r] = &differences[r][2];
        }
        const TlColourDifferences result = TlSmoothDifferences(greenRows, differenceRows);
        const bool unchanged = result.redMinusGreen == differences[2][2].redMinusGreen &&
                               result.blueMinusGreen == differences[2][2].blueMinusGreen;
        if (TlGreenVariation(greenRows) <= 115200)
            ASSERT_TRUE(unchanged) << "trial " << trial;
        else
            smoothed += !unchanged;
    }
    EXPECT_GT(smoothed, 0) << "strong structure must smooth";
}

TEST(FineEdgeFilterTest, OtherFormatsAreRefusedWithTheSystemText)
{
    ManagerHolder holder;
    CFineEdgeFilter filter(holder.manager);
    const KelvraPixelFormat others[] = {kKelvraLab16, kKelvraGrey16, 0x08060204, 0x10060203};
    for (KelvraPixelFormat format : others)
        pixel_test::ExpectTileRefused(filter, holder.manager, format, kKelvraTextError);
}

} // namespace
