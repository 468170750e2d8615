#include "FilterTestSupport.h"

#include "filtrix/KelvraFilterTransform.h"

#include <cmath>
#include <utility>

namespace {

const KelvraTag kTransformId = KelvraFourCC('t', 'r', 'a', 'n');
const double kPi = 3.14159265358979323846;

// The orientation by moving pixels: mirrored left-right first, then turned
// a quarter clockwise `quarters` times.
SampleGrid Oriented(const SampleGrid& source, bool flip, int quarters)
{
    SampleGrid out = source;
    if (quarters % 2)
        std::swap(out.width, out.height);
    for (long y = 0; y < source.height; ++y)
        for (long x = 0; x < source.width; ++x) {
            long tx = flip ? source.width - 1 - x : x, ty = y, height = source.height;
            for (int q = 0; q < quarters; ++q) {
                const long turnedX = height - 1 - ty;
                ty = tx;
                tx = turnedX;
                height = q % 2 ? source.height : source.width;
            }
            for (long p = 0; p < source.planes; ++p)
                out.samples[std::size_t((ty * out.width + tx) * out.planes + p)] = source.At(x, y, p);
        }
    return out;
}

// Bilinear at a source point (continuous coordinates) of `source`.
double Bilinear(const SampleGrid& source, double x, double y, long plane)
{
    const double u = std::min(std::max(x - 0.5, 0.0), source.width - 1.0);
    const double v = std::min(std::max(y - 0.5, 0.0), source.height - 1.0);
    const long left = long(u), top = long(v);
    const long right = std::min(left + 1, source.width - 1), bottom = std::min(top + 1, source.height - 1);
    const double fx = u - left, fy = v - top;
    return (1 - fy) * ((1 - fx) * source.At(left, top, plane) + fx * source.At(right, top, plane)) +
           fy * ((1 - fx) * source.At(left, bottom, plane) + fx * source.At(right, bottom, plane));
}

// The source point an output pixel centre comes from: turned back about the
// centres, then mirrored back.
void SourcePointOf(const SampleGrid& source, long width, long height, bool flip, double degrees, long x, long y,
                   double* sx, double* sy)
{
    const double c = std::cos(degrees * kPi / 180), s = std::sin(degrees * kPi / 180);
    const double dx = x + 0.5 - width / 2.0, dy = y + 0.5 - height / 2.0;
    *sx = c * dx + s * dy + source.width / 2.0;
    *sy = -s * dx + c * dy + source.height / 2.0;
    if (flip)
        *sx = source.width - *sx;
}

class TransformFilterTest : public PatternImageTest {};

TEST_F(TransformFilterTest, EightOrientationsMovePixelsExactly)
{
    for (KelvraPixelFormat format : {kKelvraRGB16, kKelvraGrey8, kKelvraCMYK8}) {
        IKelvraImage* image = Image(150, 90, format); // tiles cut at both edges
        const SampleGrid source = ReadSampleGrid(image);
        for (bool flip : {false, true})
            for (int quarters = 0; quarters < 4; ++quarters) {
                SCOPED_TRACE(testing::Message() << std::hex << format << std::dec << " flip " << flip << " turn "
                                                << 90 * quarters);
                CKelvraFilterTransform transform(Manager());
                ExpectOk(KelvraDataConnect(image, &transform));
                ExpectOk(transform.SetTransform(flip, 90.0 * quarters, false, false));
                const SampleGrid expected = Oriented(source, flip, quarters);
                const SampleGrid output = ReadSampleGrid(&transform);
                EXPECT_EQ(expected.width, output.width);
                EXPECT_EQ(expected.height, output.height);
                EXPECT_TRUE(expected.samples == output.samples);
            }
    }
}

struct StateCase {
    bool mirror;
    double angle;
    bool flip;
    double delta;
    bool normalize;
    bool expectedMirror;
    double expectedAngle;
};

TEST_F(TransformFilterTest, StateTransformComposesMirrorsAndTurns)
{
    const StateCase cases[] = {
        {false, 0, false, 90, true, false, 90},     {false, 270, false, 90, true, false, 0},
        {false, 0, false, -90, true, false, 270},   {true, 90, false, -90, true, true, 0},
        {false, 30, true, 0, true, true, 330},      {true, 90, true, 0, true, false, 270},
        {false, 90, true, 90, true, true, 0},       {false, 270, false, 180, false, false, 450},
        {false, 12.5, false, 30.25, true, false, 42.75},
    };
    for (const StateCase& c : cases) {
        bool mirror = c.mirror;
        double angle = c.angle;
        CKelvraFilterTransform::DoStateTransform(mirror, angle, c.flip, c.delta, c.normalize);
        EXPECT_EQ(c.expectedMirror, mirror) << c.angle << " " << c.delta;
        EXPECT_DOUBLE_EQ(c.expectedAngle, angle) << c.angle << " " << c.delta;
    }
}

TEST_F(TransformFilterTest, FourQuarterTurnsAndTwoMirrorsGiveTheStateBack)
{
    for (bool mirror : {false, true})
        for (double start : {0.0, 90.0, 180.0, 270.0, 30.0}) {
            bool m = mirror;
            double angle = start;
            for (double turn : {90.0, 90.0, 90.0, 90.0, -90.0, -90.0, -90.0, -90.0})
                CKelvraFilterTransform::DoStateTransform(m, angle, false, turn, true);
            EXPECT_EQ(mirror, m);
            EXPECT_NEAR(start, angle, 1e-12);
            CKelvraFilterTransform::DoStateTransform(m, angle, true, 0, true);
            EXPECT_NE(mirror, m);
            CKelvraFilterTransform::DoStateTransform(m, angle, true, 0, true);
            EXPECT_EQ(mirror, m);
            EXPECT_NEAR(start, angle, 1e-12);
        }
}

TEST_F(TransformFilterTest, ComposedStateEqualsTheTwoTransformsInTurn)
{
    IKelvraImage* image = Image(70, 40, kKelvraGrey8);
    const std::pair<bool, double> steps[] = {{false, 90}, {true, 0}, {true, 90}, {false, 180}, {true, 270}};
    for (const auto& first : steps)
        for (const auto& second : steps) {
            SCOPED_TRACE(testing::Message() << first.first << " " << first.second << " then " << second.first << " "
                                            << second.second);
            CKelvraFilterTransform one(Manager()), two(Manager()), both(Manager());
            ExpectOk(KelvraDataConnect(image, &one));
            ExpectOk(KelvraDataConnect(&one, &two));
            ExpectOk(KelvraDataConnect(image, &both));
            ExpectOk(one.SetTransform(first.first, first.second, false, false));
            ExpectOk(two.SetTransform(second.first, second.second, false, false));
            bool mirror = first.first;
            double angle = first.second;
            CKelvraFilterTransform::DoStateTransform(mirror, angle, second.first, second.second, true);
            ExpectOk(both.SetTransform(mirror, angle, false, false));
            EXPECT_TRUE(ReadAllSamples(&two) == ReadAllSamples(&both));
        }
}

TEST_F(TransformFilterTest, FineAngleFillsTheBoundingBoxBilinearlyAndLeavesTheRestZero)
{
    for (bool flip : {false, true}) {
        IKelvraImage* image = Image(160, 100, kKelvraRGB16);
        const SampleGrid source = ReadSampleGrid(image);
        CKelvraFilterTransform transform(Manager());
        ExpectOk(KelvraDataConnect(image, &transform));
        ExpectOk(transform.SetTransform(flip, 30, false, true));
        const SampleGrid output = ReadSampleGrid(&transform);
        EXPECT_EQ(long(std::ceil(160 * std::cos(kPi / 6) + 100 * 0.5)), output.width); // 189
        EXPECT_EQ(long(std::ceil(160 * 0.5 + 100 * std::cos(kPi / 6))), output.height); // 167
        const long points[][2] = {{94, 83}, {60, 70}, {120, 100}, {100, 40}, {80, 130}, {5, 60}, {180, 150}};
        for (const auto& point : points) {
            double sx = 0, sy = 0;
            SourcePointOf(source, output.width, output.height, flip, 30, point[0], point[1], &sx, &sy);
            const bool inside = sx >= 0 && sy >= 0 && sx < source.width && sy < source.height;
            for (long p = 0; p < 3; ++p)
                EXPECT_NEAR(inside ? Bilinear(source, sx, sy, p) : 0.0, output.At(point[0], point[1], p), 1.0)
                    << point[0] << ", " << point[1];
        }
        for (long p = 0; p < 3; ++p) { // the bounding box's corners lie outside the turned image
            EXPECT_EQ(0u, output.At(0, 0, p));
            EXPECT_EQ(0u, output.At(output.width - 1, output.height - 1, p));
        }
    }
}

TEST_F(TransformFilterTest, PointsMapBothWays)
{
    IKelvraImage* image = Image(100, 60);
    CKelvraFilterTransform transform(Manager());
    ExpectOk(KelvraDataConnect(image, &transform));
    ExpectOk(transform.SetTransform(false, 90, false, false));
    long x = 10, y = 20;
    ExpectOk(transform.FilterPoint(&x, &y));
    EXPECT_EQ(39, x); // height - 1 - y
    EXPECT_EQ(10, y);
    KelvraRect rect(10, 20, 30, 25);
    ExpectOk(transform.FilterRect(&rect));
    EXPECT_EQ(KelvraRect(35, 10, 40, 30), rect);
    for (bool flip : {false, true})
        for (double angle : {90.0, 180.0, 270.0, 33.0}) {
            ExpectOk(transform.SetTransform(flip, angle, false, false));
            for (long i = 0; i < 60; ++i) {
                double fx = i + 0.25, fy = 59 - i * 0.5;
                ExpectOk(transform.FilterPoint(&fx, &fy));
                ExpectOk(transform.DefilterPoint(&fx, &fy));
                ASSERT_NEAR(i + 0.25, fx, 1e-9);
                ASSERT_NEAR(59 - i * 0.5, fy, 1e-9);
            }
            if (angle != 33.0) // quarter turns move whole pixels: both ways
                for (bool fromOutput : {false, true})
                    ExpectPixelsComeBack(transform, fromOutput, 100, 60);
        }
}

TEST_F(TransformFilterTest, SetterReportsSizeChangesAndKeepsExtraSilently)
{
    IKelvraImage* image = Image(100, 60);
    CKelvraFilterTransform transform(Manager());
    RecordingDestination sink;
    ExpectOk(KelvraDataConnect(image, &transform));
    ExpectOk(KelvraDataConnect(&transform, &sink));
    ExpectOk(transform.SetTransform(false, 90, true, false));
    ExpectOk(transform.SetTransform(false, 450, true, false)); // the same turn
    ExpectOk(transform.SetTransform(true, -90, true, false));
    ExpectOk(transform.SetTransform(true, 270, true, true));  // only the extra flag
    ASSERT_EQ(2u, sink.notices.size());
    ExpectSizeChange(sink.notices[0], 100, 60, 60, 100);
    EXPECT_EQ(kKelvraNotifyData, sink.notices[1].code);
    EXPECT_EQ(KelvraRect(0, 0, 60, 100), sink.notices[1].rect);
    bool flip = false, extra = false;
    double angle = 0;
    transform.GetTransform(&flip, &angle, &extra);
    EXPECT_TRUE(flip);
    EXPECT_EQ(270.0, angle);
    EXPECT_TRUE(extra);
    ExpectError(transform.SetTransform(false, std::nan(""), true, false), kKelvraBadArgument, kTransformId);
    ExpectOk(KelvraDataDisconnect(&transform, &sink));
}

TEST_F(TransformFilterTest, SourceChangeReachesTheTurnedPlace)
{
    IKelvraImage* image = Image(100, 60, kKelvraGrey16);
    CKelvraFilterTransform transform(Manager());
    RecordingDestination sink;
    ExpectOk(KelvraDataConnect(image, &transform));
    ExpectOk(KelvraDataConnect(&transform, &sink));
    ExpectOk(transform.SetTransform(false, 90, false, false));
    ReadAllSamples(&transform); // every tile cached
    std::vector<std::uint16_t> bright(20 * 5, 60000);
    ExpectOk(KelvraWriteRect(image, KelvraRect(10, 20, 30, 25), bright.data(), 40));
    ASSERT_EQ(1u, sink.notices.size());
    EXPECT_EQ(KelvraRect(34, 9, 41, 31), sink.notices[0].rect);
    EXPECT_TRUE(Oriented(ReadSampleGrid(image), false, 1).samples == ReadAllSamples(&transform));
    ExpectOk(KelvraDataDisconnect(&transform, &sink));
}

TEST_F(TransformFilterTest, ProcessRunGivesTheTilePullResult)
{
    IKelvraImage* image = Image(150, 130, kKelvraRGB16);
    IKelvraImage* result = nullptr;
    ExpectOk(Manager()->CreateImage(&result, 0));
    for (const auto& setting : {std::make_pair(false, 30.0), std::make_pair(true, 90.0)}) {
        CKelvraFilterTransform transform(Manager());
        ExpectOk(KelvraDataConnect(image, &transform));
        ExpectOk(transform.SetTransform(setting.first, setting.second, false, false));
        long width = 0, height = 0;
        ExpectOk(transform.GetSize(&width, &height));
        EXPECT_EQ((height + 63) / 64, RunProcess(transform, image, result));
        EXPECT_TRUE(ReadAllSamples(&transform) == ReadAllSamples(result));
    }
    result->Release();
}

TEST_F(TransformFilterTest, IdentifiesItselfAndRefusesBitmaps)
{
    IKelvraImage* image = MakeBlankImage(Manager(), 64, 64, kKelvraBitmap);
    CKelvraFilterTransform transform(Manager());
    EXPECT_EQ(kTransformId, transform.GetFilterTag());
    EXPECT_STREQ("Transform", transform.GetFilterName());
    ExpectOk(KelvraDataConnect(image, &transform));
    ExpectOk(transform.SetTransform(false, 90, false, false));
    const void* data = nullptr;
    KelvraRect rect;
    long rowBytes = 0;
    ExpectError(transform.LockTile(0L, 0L, &data, &rect, &rowBytes), kKelvraUnsupportedFormat, kTransformId);
    image->Release();
}

} // namespace
