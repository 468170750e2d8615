// The high-quality De-Bayer's resolution and false colour on the raw
// maker's zone plate, and its behaviour at sharp edges. Along the plate's
// axes the rings are stripes of one frequency (across them); there the
// contrast is the gain of the developed luminance (R + 2G + B) / 4 against
// the scene's own, both in the filters' companded scale, and the false
// colour the root mean square of red - green and blue - green as a fraction
// of the scene's variation (the plate is neutral).
#include "DeBayerTestSupport.h"

#include "filters/debayer/TlToneTables.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace debayer_test;

namespace {

const long kSide = 432; // 0.5 cycles per pixel 180 pixels from the centre
const long kHalfBorder = 6;

struct Response {
    double contrast = 0;
    double falseColour = 0;
};

// Sums over the pixels of one measured region.
struct Sums {
    double luma = 0, truth = 0, cross = 0, truthSquares = 0, chroma = 0;
    long count = 0;

    void Add(const SampleGrid& out, const CQrfScene& scene, long x, long y)
    {
        const long ox = x - kHalfBorder, oy = y - kHalfBorder;
        const double r = out.At(ox, oy, 0), g = out.At(ox, oy, 1), b = out.At(ox, oy, 2);
        const double l = (r + 2 * g + b) / 4, t = CompandedScene(scene.At(x, y).g);
        luma += l;
        truth += t;
        cross += l * t;
        truthSquares += t * t;
        chroma += (r - g) * (r - g) + (b - g) * (b - g);
        ++count;
    }
    double TruthVariance() const { return truthSquares / count - (truth / count) * (truth / count); }
    Response Result() const
    {
        const double covariance = cross / count - (luma / count) * (truth / count);
        return Response{covariance / TruthVariance(), std::sqrt(chroma / (2 * count) / TruthVariance())};
    }
};

// Stripes of `frequency` on the four half-axes: a stretch of at least
// three periods across them, four rows (or columns) deep so that every
// colour of the mosaic is in it.
Response AlongTheAxes(const SampleGrid& out, const CQrfScene& scene, double frequency)
{
    const long cx = scene.Width() / 2, cy = scene.Height() / 2;
    const long radius = std::lround(scene.ZoneRadiusFor(frequency));
    const long half = std::max(3L, std::lround(1.5 / frequency));
    Sums sums;
    for (long t = -half; t <= half; ++t) {
        for (long w = -2; w <= 1; ++w) {
            sums.Add(out, scene, cx + radius + t, cy + w);
            sums.Add(out, scene, cx - radius + t, cy + w);
            sums.Add(out, scene, cx + w, cy + radius + t);
            sums.Add(out, scene, cx + w, cy - radius + t);
        }
    }
    return sums.Result();
}

// Every direction: the rings between two frequencies.
Response InTheRing(const SampleGrid& out, const CQrfScene& scene, double from, double to)
{
    const double cx = scene.Width() / 2, cy = scene.Height() / 2;
    const double inner = scene.ZoneRadiusFor(from), outer = scene.ZoneRadiusFor(to);
    Sums sums;
    for (long y = kHalfBorder; y < scene.Height() - kHalfBorder; ++y) {
        for (long x = kHalfBorder; x < scene.Width() - kHalfBorder; ++x) {
            const double r = std::hypot(x - cx, y - cy);
            if (r >= inner && r < outer)
                sums.Add(out, scene, x, y);
        }
    }
    return sums.Result();
}

class DeBayerZonePlate : public ::testing::Test {
protected:
    SampleGrid DevelopHighQuality() const
    {
        const ScenePhotograph photo(holder.manager, scene);
        CDeBayerHQFilter filter(holder.manager);
        return photo.Develop(filter);
    }

    ManagerHolder holder;
    const CQrfScene scene{kSide, kSide, QrfSceneKind::ZonePlate};
};

TEST_F(DeBayerZonePlate, HighQualityKeepsFullContrastUpToTheSamplingLimit)
{
    const SampleGrid out = DevelopHighQuality();
    // The false-colour bounds are what the earlier interpolation (luminance
    // straight from the mosaic, then sharpened) gave; it kept only 0.96 to
    // 0.87 of the contrast from 0.35 cycles per pixel on.
    const struct {
        double frequency;
        double maxFalseColour;
    } rows[] = {{0.10, 0.00405}, {0.25, 0.00056}, {0.35, 0.00496},
                {0.40, 0.01237}, {0.45, 0.01580}, {0.50, 0.00534}};
    std::printf("cycles/pixel  contrast  false colour (bound)\n");
    for (const auto& row : rows) {
        const Response r = AlongTheAxes(out, scene, row.frequency);
        std::printf("    %.2f       %.3f     %.5f (%.5f)\n", row.frequency, r.contrast, r.falseColour,
                    row.maxFalseColour);
        EXPECT_NEAR(1.0, r.contrast, 0.02) << row.frequency;
        EXPECT_LE(r.falseColour, row.maxFalseColour) << row.frequency;
    }
}

TEST_F(DeBayerZonePlate, HighQualityFalseColourStaysLowInEveryDirection)
{
    const SampleGrid out = DevelopHighQuality();
    // Bounds: what the earlier interpolation gave.
    const struct {
        double from, to, maxFalseColour;
    } rings[] = {{0.02, 0.1, 0.01661}, {0.1, 0.2, 0.01155}, {0.2, 0.3, 0.00261}, {0.3, 0.4, 0.03854}, {0.4, 0.5, 0.23679}};
    std::printf("ring (cycles/pixel)  false colour (bound)\n");
    for (const auto& ring : rings) {
        const Response r = InTheRing(out, scene, ring.from, ring.to);
        std::printf("    %.2f - %.2f       %.5f (%.5f)\n", ring.from, ring.to, r.falseColour, ring.maxFalseColour);
        EXPECT_LE(r.falseColour, ring.maxFalseColour) << ring.from;
    }
}

// Neutral steps from dark to light in several directions, in every layout:
// no channel of the developed picture leaves the range of the two levels
// (the earlier interpolation overshot by 2 % across rows and columns and by
// up to 20 % at slanted edges).
TEST_F(DeBayerZonePlate, SharpEdgesDoNotRing)
{
    const std::uint16_t dark = 300, light = 3000;
    const struct {
        const char* name;
        double dx, dy;
    } edges[] = {{"vertical", 1, 0}, {"horizontal", 0, 1}, {"steep", 1, 0.3}, {"diagonal", 1, 1}, {"shallow", 0.4, 1}};
    const double low = GetSqrtTable()[dark] >> 2, high = GetSqrtTable()[light] >> 2;
    for (const Layout& layout : BayerLayouts()) {
        for (const auto& edge : edges) {
            IKelvraImage* image = MakeMosaic(holder.manager, 96, 96, [&](long x, long y) {
                return (x - 47.5) * edge.dx + (y - 47.5) * edge.dy < 0 ? dark : light;
            });
            CDeBayerHQFilter filter(holder.manager);
            ExpectOk(KelvraDataConnect(image, &filter));
            ExpectOk(filter.SetPixelMap(layout.bytes.data(), layout.bytes.size(), false));
            const SampleGrid out = ReadSampleGrid(&filter);
            const auto range = std::minmax_element(out.samples.begin(), out.samples.end());
            const double under = (low - *range.first) / (high - low), over = (*range.second - high) / (high - low);
            EXPECT_LE(under, 0.01) << layout.name << " " << edge.name;
            EXPECT_LE(over, 0.01) << layout.name << " " << edge.name;
            image->Release();
        }
    }
}

} // namespace
