// The fisheye correction on pixels, points and rectangles: identity curves
// keep pictures, the fill modes pick their curves and their outside, a
// fisheye grid comes back straight through the installed lens model, and
// mapped rectangles cover the points that tiles read.
#include "FilterRigs.h"
#include "FisheyeTestSupport.h"
#include "PixelFilterTestSupport.h"

#include "MakeLensFile/TlLensFileMaker.h"
#include "filters/fisheye/TlFisheyeFilter.h"
#include "filters/fisheye/TlFisheyeGeometry.h"
#include "settings/lens/TlLensInformation.h"
#include "support/CommonFilesSandbox.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <string>
#include <vector>

using namespace filter_test;

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kEntries = CTlFisheyeGeometry::kCurveEntries;

using Curve = std::vector<double>;

Curve CurveOf(double (*radius)(double))
{
    Curve curve(kEntries);
    for (int i = 0; i < kEntries; ++i)
        curve[std::size_t(i)] = radius(double(i) / (kEntries - 1));
    return curve;
}

double Identity(double u)
{
    return u;
}
double Barrel(double u)
{
    return u * (1.0 - 0.25 * u * u);
}
double Pincushion(double u)
{
    return u * (1.0 + 0.25 * u * u);
}
// A magnification that rises and falls with the radius: the corners and
// centre lines of a rectangle no longer bound where its pixels map.
double Wavy(double u)
{
    return u + 0.03 * std::sin(20.0 * u);
}
double Outward14(double u)
{
    return 1.4 * u;
}
double Outward115(double u)
{
    return 1.15 * u;
}

class FisheyeFilter : public Probe<CFisheyeFilter> {
public:
    using Probe<CFisheyeFilter>::Probe;
    void SetBypass(bool bypass) { m_bypass = bypass; }
};

class FisheyePixelsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_profiles.IsReady()); }

    // A filter whose lens data holds `curves`: output-to-source for the fill
    // modes and without fill, then source-to-output in the same order. Only
    // one lens is loaded at a time: earlier filters must be gone.
    std::unique_ptr<FisheyeFilter> FilterWith(const std::vector<Curve>& curves)
    {
        const std::vector<std::uint8_t> bytes = TlBuildLensFileOf(curves);
        EXPECT_FALSE(bytes.empty());
        m_profiles.Write(fisheye_test::kLensFileName, std::string(bytes.begin(), bytes.end()));
        auto filter = std::make_unique<FisheyeFilter>(m_holder.manager);
        ExpectOk(filter->SetLens(m_tags.Get()), "lens");
        EXPECT_TRUE(filter->HasLensModel());
        return filter;
    }
    std::unique_ptr<FisheyeFilter> FilterWithAll(const Curve& curve)
    {
        return FilterWith({curve, curve, curve, curve});
    }

    ManagerHolder m_holder;
    TempProfilesFolder m_profiles;
    fisheye_test::LensTags m_tags{CTlLensInformation::kSupportedLensCode};
};

// A source connected to a filter for the length of a test.
struct Connection {
    Connection(IKelvraImage* source, CFisheyeFilter& f) : image(source), filter(f)
    {
        ExpectOk(KelvraDataConnect(image, &filter), "connect");
    }
    ~Connection()
    {
        IKelvraError::Release(KelvraDataDisconnect(image, &filter));
        image->Release();
    }
    IKelvraImage* image;
    CFisheyeFilter& filter;
};

unsigned Ramp(long x, long y, long plane, bool wide)
{
    const unsigned value = unsigned(2 * x + 3 * y + 5 * plane + 10);
    return wide ? value * 300 : value;
}

TEST_F(FisheyePixelsTest, IdentityCurvesKeepFlatAndRampPictures)
{
    const long width = 41, height = 31;
    auto filter = FilterWithAll(CurveOf(Identity));
    for (KelvraPixelFormat format : {kKelvraRGB8, kKelvraRGB16}) {
        for (std::uint8_t mode : {0, 1}) {
            SCOPED_TRACE(format);
            SCOPED_TRACE(int(mode));
            ExpectOk(filter->SetFillMode(mode, false));
            const bool wide = format == kKelvraRGB16;
            std::vector<unsigned> flat, ramp;
            for (long y = 0; y < height; ++y)
                for (long x = 0; x < width; ++x)
                    for (long p = 0; p < 3; ++p) {
                        flat.push_back(wide ? 40000u : 170u);
                        ramp.push_back(Ramp(x, y, p, wide));
                    }
            for (const std::vector<unsigned>* samples : {&flat, &ramp}) {
                IKelvraImage* image = pixel_test::MakeImageOf(m_holder.manager, width, height, format, *samples);
                const std::vector<unsigned> output = pixel_test::OutputAsOneTile(*filter, image);
                for (long y = 0; y < height; ++y)
                    for (long x = 0; x < width; ++x) {
                        // The ramp does not go on beyond the picture, and on
                        // the top and left edges rounding can put a mapped
                        // point a hair outside it: the edges are left out.
                        if (x < 1 || y < 1 || x >= width - 2 || y >= height - 2)
                            continue;
                        for (long p = 0; p < 3; ++p) {
                            const std::size_t i = std::size_t((y * width + x) * 3 + p);
                            ASSERT_LE(output[i], (*samples)[i]) << x << "," << y;
                            ASSERT_GE(output[i] + 1, (*samples)[i]) << x << "," << y;
                        }
                    }
                image->Release();
            }
        }
    }
}

TEST_F(FisheyePixelsTest, CentreMapsToItselfThroughEveryCurve)
{
    auto filter = FilterWith(TlBuildLensCurves());
    Connection connection(MakePatternImage(m_holder.manager, 41, 31, kKelvraRGB8), *filter);
    for (std::uint8_t mode : {0, 1}) {
        ExpectOk(filter->SetFillMode(mode, false));
        double x = 20.0, y = 15.0;
        ExpectOk(filter->FilterPoint(&x, &y));
        EXPECT_EQ(20.0, x);
        EXPECT_EQ(15.0, y);
        ExpectOk(filter->DefilterPoint(&x, &y));
        EXPECT_EQ(20.0, x);
        EXPECT_EQ(15.0, y);
        long lx = 20, ly = 15;
        ExpectOk(filter->DefilterPoint(&lx, &ly));
        EXPECT_EQ(20, lx);
        EXPECT_EQ(15, ly);
        // Away from the centre the pair moves points both ways.
        double px = 35.0, py = 5.0;
        ExpectOk(filter->DefilterPoint(&px, &py));
        EXPECT_NE(35.0, px);
        ExpectOk(filter->FilterPoint(&px, &py));
        EXPECT_NEAR(35.0, px, 0.01);
        EXPECT_NEAR(5.0, py, 0.01);
    }
}

TEST_F(FisheyePixelsTest, PointMappingClampsToTheSourceAndWaitsWhileOff)
{
    auto filter = FilterWithAll(CurveOf(Pincushion));
    Connection connection(MakePatternImage(m_holder.manager, 41, 31, kKelvraRGB8), *filter);
    const struct {
        double x, y;
        double mappedX, mappedY;
    } cases[] = {{1.0, 1.0, 0.0, 0.0}, {91.0, 81.0, 41.0, 31.0}, {-30.0, 15.0, 0.0, 15.0}, {20.0, 40.0, 20.0, 31.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.x);
        double x = c.x, y = c.y;
        ExpectOk(filter->DefilterPoint(&x, &y));
        EXPECT_EQ(c.mappedX, x);
        EXPECT_EQ(c.mappedY, y);
        long lx = long(c.x), ly = long(c.y);
        ExpectOk(filter->DefilterPoint(&lx, &ly));
        EXPECT_EQ(long(c.mappedX), lx);
        EXPECT_EQ(long(c.mappedY), ly);
    }
    const struct {
        const char* name;
        bool enabled;
        bool bypass;
    } off[] = {{"disabled", false, false}, {"bypassed", true, true}};
    for (const auto& o : off) {
        SCOPED_TRACE(o.name);
        ExpectOk(filter->Enable(o.enabled, false));
        filter->SetBypass(o.bypass);
        long x = 1, y = 1;
        ExpectOk(filter->DefilterPoint(&x, &y));
        ExpectOk(filter->FilterPoint(&x, &y));
        EXPECT_EQ(1, x);
        EXPECT_EQ(1, y);
        KelvraRect rect(1, 2, 10, 12);
        ExpectOk(filter->DefilterRect(&rect));
        ExpectOk(filter->FilterRect(&rect));
        EXPECT_EQ(KelvraRect(1, 2, 10, 12), rect);
    }
}

TEST_F(FisheyePixelsTest, FailedSizeQueryLeavesPointsAndRectanglesUnchanged)
{
    auto filter = FilterWithAll(CurveOf(Pincushion));
    IKelvraImage* image = MakePatternImage(m_holder.manager, 41, 31, kKelvraRGB8);
    pixel_test::UnreadableSource source(image);
    ExpectOk(KelvraDataConnect(&source, filter.get()));
    source.failSize = true;
    double x = 3.0, y = 4.0;
    IKelvraError* error = filter->DefilterPoint(&x, &y);
    EXPECT_NE(nullptr, error);
    IKelvraError::Release(error);
    EXPECT_EQ(3.0, x);
    EXPECT_EQ(4.0, y);
    KelvraRect rect(1, 2, 10, 12);
    error = filter->FilterRect(&rect);
    EXPECT_NE(nullptr, error);
    IKelvraError::Release(error);
    EXPECT_EQ(KelvraRect(1, 2, 10, 12), rect);
    IKelvraError::Release(KelvraDataDisconnect(&source, filter.get()));
    image->Release();
}

// Fill mode 0 takes the second pair and leaves the outside black; 1 the
// first pair and the fill colour; 2 the first pair and black.
TEST_F(FisheyePixelsTest, FillModesPickTheirCurvesAndTheirOutside)
{
    const long width = 41, height = 31, cx = 20, cy = 15;
    auto filter = FilterWith({CurveOf(Outward14), CurveOf(Outward115), CurveOf(Identity), CurveOf(Identity)});
    ExpectOk(filter->SetFillColor(4, false)); // FF 00 00
    const struct {
        std::uint8_t mode;
        double scale;
        unsigned outside[3];
    } cases[] = {{0, 1.15, {0, 0, 0}}, {1, 1.4, {255, 0, 0}}, {2, 1.4, {0, 0, 0}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.mode));
        ExpectOk(filter->SetFillMode(c.mode, false));
        IKelvraImage* image = pixel_test::MakeImageOf(m_holder.manager, width, height, kKelvraRGB8,
                                                      std::vector<unsigned>(width * height * 3, 100));
        // The tile starts out marked: every pixel must be written.
        const std::vector<unsigned> output = pixel_test::OutputAsOneTile(*filter, image);
        int outsideCount = 0;
        for (long y = 0; y < height; ++y)
            for (long x = 0; x < width; ++x) {
                const double sx = cx + (x - cx) * c.scale;
                const double sy = cy + (y - cy) * c.scale;
                const bool inside = sx >= 0.0 && sx < width && sy >= 0.0 && sy < height;
                outsideCount += inside ? 0 : 1;
                for (long p = 0; p < 3; ++p) {
                    const unsigned value = output[std::size_t((y * width + x) * 3 + p)];
                    if (inside)
                        ASSERT_NEAR(100.0, double(value), 1.0) << x << "," << y;
                    else
                        ASSERT_EQ(c.outside[p], value) << x << "," << y;
                }
            }
        EXPECT_GT(outsideCount, 0);
        image->Release();
    }
}

// The test tool: a grid of lines drawn as the equidistant fisheye of the
// installed lens model sees it (radius proportional to the angle off the
// axis, 90 degrees at the half-diagonal), each pixel the share of its area
// that the lines cover.
constexpr long kGridWidth = 301, kGridHeight = 201, kGridStep = 25;
constexpr double kLineWidth = 2.0;
constexpr unsigned kPaper = 230, kInk = 30;

bool OnGridLine(double qx, double qy, double cx, double cy)
{
    const double toColumn = std::remainder(qx - cx, double(kGridStep));
    const double toRow = std::remainder(qy - cy, double(kGridStep));
    return std::fabs(toColumn) < kLineWidth / 2 || std::fabs(toRow) < kLineWidth / 2;
}

IKelvraImage* FisheyeGrid(IKelvraManager* manager)
{
    const double cx = kGridWidth / 2, cy = kGridHeight / 2;
    const double halfDiagonal = std::sqrt(double(kGridHeight * kGridHeight / 4 + kGridWidth * kGridWidth / 4));
    const double rectilinearScale = std::tan(57.0 * kPi / 180.0);
    std::vector<unsigned> samples;
    for (long y = 0; y < kGridHeight; ++y)
        for (long x = 0; x < kGridWidth; ++x) {
            int covered = 0;
            for (int i = 0; i < 4; ++i)
                for (int j = 0; j < 4; ++j) {
                    const double dx = x + (i - 1.5) / 4 - cx, dy = y + (j - 1.5) / 4 - cy;
                    const double r = std::sqrt(dx * dx + dy * dy);
                    const double angle = r / halfDiagonal * (kPi / 2);
                    if (r == 0.0 || angle >= kPi / 2 * 0.99)
                        continue;
                    // Where the point lies in the straight (rectilinear) view.
                    const double q = std::tan(angle) / rectilinearScale * halfDiagonal / r;
                    covered += OnGridLine(cx + dx * q, cy + dy * q, cx, cy) ? 1 : 0;
                }
            const unsigned value = kPaper - (kPaper - kInk) * unsigned(covered) / 16;
            samples.insert(samples.end(), {value, value, value});
        }
    return pixel_test::MakeImageOf(manager, kGridWidth, kGridHeight, kKelvraRGB8, samples);
}

// The ink-weighted centre of a line across `count` samples of `output`
// starting at `first`, `step` apart, as an offset from the first.
double InkCentre(const std::vector<unsigned>& output, std::size_t first, std::size_t step, int count)
{
    double ink = 0.0, moment = 0.0;
    for (int k = 0; k < count; ++k) {
        const double darkness = std::max(0.0, double(kPaper) - double(output[first + std::size_t(k) * step]));
        ink += darkness;
        moment += darkness * k;
    }
    return ink > 0.0 ? moment / ink : -1.0;
}

// Measured: 0.33 pixels at worst, on lines near the corners, which the
// fisheye squeezes to about half a pixel and the interpolation widens again.
constexpr double kStraightTolerance = 0.5;

// The largest distance of a grid line's ink from where the straight grid
// has the line, over every row between the horizontal lines (for the
// vertical lines) and every column between the vertical ones.
double WorstLineDeviation(const std::vector<unsigned>& samples, int* measured)
{
    const int reach = 8;
    const std::size_t row = std::size_t(kGridWidth * 3);
    // The vertical lines stand across the width and are measured along
    // each row; the horizontal ones the other way round.
    const struct {
        long across, along;
        std::size_t acrossStep, alongStep;
    } axes[] = {{kGridWidth, kGridHeight, 3, row}, {kGridHeight, kGridWidth, row, 3}};
    double worst = 0.0;
    *measured = 0;
    for (const auto& axis : axes) {
        const long centre = axis.across / 2, alongCentre = axis.along / 2;
        for (long line = centre % kGridStep; line < axis.across; line += kGridStep) {
            if (line - reach < 0 || line + reach >= axis.across)
                continue;
            for (long at = 2; at < axis.along - 2; ++at) {
                // Crossings with the other lines are left out.
                if (std::fabs(std::remainder(double(at - alongCentre), double(kGridStep))) < reach)
                    continue;
                const std::size_t first =
                    std::size_t(line - reach) * axis.acrossStep + std::size_t(at) * axis.alongStep;
                worst = std::max(worst, std::fabs(InkCentre(samples, first, axis.acrossStep, 2 * reach + 1) - reach));
                ++*measured;
            }
        }
    }
    return worst;
}

TEST_F(FisheyePixelsTest, FisheyeGridComesBackStraightThroughTheRectilinearPair)
{
    auto filter = FilterWith(TlBuildLensCurves());
    ExpectOk(filter->SetFillMode(0, false));
    IKelvraImage* image = FisheyeGrid(m_holder.manager);
    int measured = 0;
    const double worst = WorstLineDeviation(pixel_test::OutputAsOneTile(*filter, image), &measured);
    EXPECT_GT(measured, 1000);
    EXPECT_LT(worst, kStraightTolerance);
    RecordProperty("worstLineDeviation", std::to_string(worst));
    // The fisheye picture itself is far from straight.
    EXPECT_GT(WorstLineDeviation(ReadAllSamples(image), &measured), 3.0);
    image->Release();
}

// Calls visit(x, y, fx, fy) for each pixel of `rect` whose mapped point
// lies inside the source, (fx, fy) the whole part of that point.
template <typename Visit>
void ForEachMappedPixel(const CTlFisheyeGeometry& geometry, const KelvraRect& rect, Visit visit)
{
    for (long y = rect.top; y < rect.bottom; ++y)
        for (long x = rect.left; x < rect.right; ++x) {
            double sx = double(x), sy = double(y);
            geometry.MapPoint(&sx, &sy);
            if (sx >= 0.0 && sx < geometry.Width() && sy >= 0.0 && sy < geometry.Height())
                visit(x, y, long(std::floor(sx)), long(std::floor(sy)));
        }
}

// For curves whose magnification changes monotonically, the rectangle a
// tile maps to covers every point its pixels map to.
TEST_F(FisheyePixelsTest, MappedRectanglesCoverTheirMappedPixels)
{
    const long width = 200, height = 150;
    for (auto radius : {Barrel, Pincushion}) {
        auto filter = FilterWithAll(CurveOf(radius));
        Connection connection(MakePatternImage(m_holder.manager, width, height, kKelvraRGB8), *filter);
        const Curve curve = CurveOf(radius);
        const CTlFisheyeGeometry geometry(width, height, curve.data());
        std::mt19937 random(7);
        std::uniform_int_distribution<long> xs(0, width - 1), ys(0, height - 1);
        for (int trial = 0; trial < 200; ++trial) {
            long x0 = xs(random), x1 = xs(random), y0 = ys(random), y1 = ys(random);
            const KelvraRect rect(std::min(x0, x1), std::min(y0, y1), std::max(x0, x1) + 1, std::max(y0, y1) + 1);
            KelvraRect mapped = rect;
            ExpectOk(filter->DefilterRect(&mapped));
            ForEachMappedPixel(geometry, rect, [&](long, long, long fx, long fy) {
                ASSERT_LE(mapped.left, fx) << trial;
                ASSERT_GT(mapped.right, fx) << trial;
                ASSERT_LE(mapped.top, fy) << trial;
                ASSERT_GT(mapped.bottom, fy) << trial;
            });
        }
    }
}

// With a wavy curve some tiles map pixels outside the window their
// rectangle gives; those reads take the window's nearest pixels.
TEST_F(FisheyePixelsTest, WavyCurveReadsOnlyInsideTheWindow)
{
    const long width = 200, height = 150, step = 16;
    auto filter = FilterWithAll(CurveOf(Wavy));
    const Curve wavy = CurveOf(Wavy);
    const CTlFisheyeGeometry geometry(width, height, wavy.data());
    IKelvraImage* image = pixel_test::MakeImageOf(m_holder.manager, width, height, kKelvraRGB16,
                                                  std::vector<unsigned>(width * height * 3, 50000));
    IKelvraDataSource* sources[] = {image};
    int escapes = 0;
    for (long top = 0; top < height; top += step)
        for (long left = 0; left < width; left += step) {
            const KelvraRect rect(left, top, std::min(left + step, width), std::min(top + step, height));
            const KelvraRect window = KelvraRect(geometry.MapRect(KelvraDblRect(rect)));
            frame_test::FakeTile tile(rect, rect, kKelvraRGB16);
            ExpectOk(filter->GenerateTile(&tile, sources, 1));
            ForEachMappedPixel(geometry, rect, [&](long x, long y, long fx, long fy) {
                escapes += fx - 1 < window.left - 1 || fx + 2 > window.right + 1 || fy - 1 < window.top - 1 ||
                                   fy + 2 > window.bottom + 1
                               ? 1
                               : 0;
                const auto* pixel = reinterpret_cast<const std::uint16_t*>(tile.PixelAt(x, y));
                for (int p = 0; p < 3; ++p)
                    ASSERT_NEAR(50000.0, double(pixel[p]), 1.0) << x << "," << y;
            });
        }
    EXPECT_GT(escapes, 0);
    image->Release();
}

TEST_F(FisheyePixelsTest, OnlyRgbIsReprojected)
{
    auto filter = FilterWithAll(CurveOf(Identity));
    const KelvraPixelFormat refused[] = {kKelvraGrey8, kKelvraGrey16, kKelvraLCh16, kKelvraCMYK8, kKelvraLab16};
    for (KelvraPixelFormat format : refused)
        pixel_test::ExpectTileRefused(*filter, m_holder.manager, format, kKelvraTextError);
}

TEST_F(FisheyePixelsTest, TilesMadeOnSeveralThreadsAtOnceMatchOneThread)
{
    const std::vector<Curve> curves = TlBuildLensCurves();
    auto reference = FilterWith(curves);
    auto shared = FilterWith(curves);
    for (FisheyeFilter* filter : {reference.get(), shared.get()}) {
        ExpectOk(filter->SetFillMode(1, false));
        ExpectOk(filter->SetFillColor(6, false));
    }
    IKelvraImage* image = MakePatternImage(m_holder.manager, 160, 120, kKelvraRGB16);
    pixel_test::ExpectSameTilesOnThreads(*reference, *shared, image);
    image->Release();
}

} // namespace
