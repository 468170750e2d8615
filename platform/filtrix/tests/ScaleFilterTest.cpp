#include "FilterTestSupport.h"

#include "filtrix/KelvraFilterScale.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <utility>

namespace {

const KelvraTag kScaleId = KelvraFourCC('s', 'c', 'a', 'l');

using Taps = std::vector<std::pair<long, double>>;

// What one output pixel of an axis reads, straight from the definitions:
// nearest takes the pixel under the output centre, bilinear the two around
// it, area every pixel the output pixel covers by the length covered.
Taps ReferenceTaps(long method, long sourceSize, long outputSize, long out)
{
    const double step = double(sourceSize) / double(outputSize);
    if (method == 0)
        return {{std::min(long((out + 0.5) * step), sourceSize - 1), 1.0}};
    if (method == 2 && outputSize < sourceSize) {
        Taps taps;
        const double start = out * step, end = (out + 1) * step;
        for (long i = long(start); i < sourceSize && i < end; ++i)
            taps.push_back({i, (std::min(end, i + 1.0) - std::max(start, double(i))) / step});
        return taps;
    }
    const double centre = std::min(std::max((out + 0.5) * step - 0.5, 0.0), double(sourceSize - 1));
    const long left = long(centre);
    return {{left, 1.0 - (centre - left)}, {std::min(left + 1, sourceSize - 1), centre - left}};
}

double ReferenceValue(const SampleGrid& source, long method, long width, long height, long x, long y, long plane)
{
    double value = 0;
    for (const auto& across : ReferenceTaps(method, source.width, width, x))
        for (const auto& down : ReferenceTaps(method, source.height, height, y))
            value += across.second * down.second * source.At(across.first, down.first, plane);
    return value;
}

// Checks every output sample against the reference: copies exactly,
// computed samples within rounding.
void ExpectScaledFrom(const SampleGrid& source, long method, const SampleGrid& output)
{
    const double tolerance = method == 0 ? 0.0 : 1.0;
    long mismatches = 0;
    for (long y = 0; y < output.height; ++y)
        for (long x = 0; x < output.width; ++x)
            for (long p = 0; p < output.planes; ++p) {
                const double expected = ReferenceValue(source, method, output.width, output.height, x, y, p);
                if (std::fabs(expected - output.At(x, y, p)) > tolerance + 0.5 && ++mismatches <= 5)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") plane " << p << ": " << output.At(x, y, p)
                                  << " expected " << expected;
            }
    EXPECT_EQ(0, mismatches);
}

class ScaleFilterTest : public PatternImageTest {};

struct SizeCase {
    long width, height;
    double horizontal, vertical; // 0: the fixed size below
    long fixedWidth, fixedHeight;
    long expectedWidth, expectedHeight;
};

TEST_F(ScaleFilterTest, OutputSizeIsTheRoundedScaledSizeOrTheFixedOne)
{
    const SizeCase cases[] = {
        {100, 60, 0.5, 0.5, 0, 0, 50, 30},          {150, 90, 0.25, 0.25, 0, 0, 38, 23},
        {100, 70, 1 / 3.0, 1 / 3.0, 0, 0, 33, 23},  {37, 21, 2, 2, 0, 0, 74, 42},
        {101, 53, 0.5, 0.5, 0, 0, 51, 27},          {3, 2, 0.1, 0.1, 0, 0, 1, 1},
        {100, 60, 0.5, 2, 0, 0, 50, 120},           {1000, 500, 0.128, 0.128, 0, 0, 128, 64},
        {100, 60, 0, 0, 77, 33, 77, 33},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height << " by " << c.horizontal << ", " << c.vertical);
        IKelvraImage* image = Image(c.width, c.height, kKelvraGrey8);
        CKelvraFilterScale scale(Manager(), CKelvraFilterScale::kArea);
        ExpectOk(KelvraDataConnect(image, &scale));
        if (c.horizontal > 0)
            ExpectOk(scale.SetScale(c.horizontal, c.vertical, false));
        else
            ExpectOk(scale.SetSize(c.fixedWidth, c.fixedHeight, false));
        long width = 0, height = 0;
        ExpectOk(scale.GetSize(&width, &height));
        EXPECT_EQ(c.expectedWidth, width);
        EXPECT_EQ(c.expectedHeight, height);
        scale.GetOutputSize(c.width, c.height, &width, &height);
        EXPECT_EQ(c.expectedWidth, width);
        EXPECT_EQ(std::size_t(c.expectedWidth * c.expectedHeight), ReadAllSamples(&scale).size());
    }
}

struct ValueCase {
    KelvraPixelFormat format;
    long method;
    long width, height;
    double horizontal, vertical;
};

TEST_F(ScaleFilterTest, EveryMethodMatchesItsReferenceOnEveryLayout)
{
    const ValueCase cases[] = {
        {kKelvraGrey8, 0, 150, 90, 0.5, 0.5},      {kKelvraRGB16, 0, 131, 77, 2, 1 / 3.0},
        {kKelvraGrey16, 1, 150, 90, 1 / 3.0, 0.4}, {kKelvraRGB8, 1, 70, 45, 2.5, 1.7},
        {kKelvraCMYK8, 1, 99, 70, 0.37, 1.6},      {kKelvraRGB16, 2, 200, 130, 0.25, 0.25},
        {kKelvraLab16, 2, 150, 90, 1 / 3.0, 0.5},  {kKelvraLCh8, 2, 101, 67, 0.37, 2},
        {kKelvraCMYK8, 2, 130, 130, 0.6, 0.6},     {kKelvraGrey8, 2, 50, 40, 3, 3},
    };
    for (const ValueCase& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.format << std::dec << " method " << c.method << " "
                                        << c.horizontal << " x " << c.vertical);
        IKelvraImage* image = Image(c.width, c.height, c.format);
        CKelvraFilterScale scale(Manager(), c.method);
        ExpectOk(KelvraDataConnect(image, &scale));
        ExpectOk(scale.SetScale(c.horizontal, c.vertical, false));
        ExpectScaledFrom(ReadSampleGrid(image), c.method, ReadSampleGrid(&scale));
    }
}

TEST_F(ScaleFilterTest, FixedSizeAndFactorOneGiveExactCopies)
{
    IKelvraImage* image = Image(90, 70, kKelvraRGB16);
    const std::vector<unsigned> input = ReadAllSamples(image);
    for (long method : {0L, 1L, 2L}) {
        CKelvraFilterScale scale(Manager(), method);
        ExpectOk(KelvraDataConnect(image, &scale));
        EXPECT_EQ(input, ReadAllSamples(&scale)) << "factor 1, method " << method;
        ExpectOk(scale.SetSize(90, 70, false));
        EXPECT_EQ(input, ReadAllSamples(&scale)) << "source size, method " << method;
    }
}

TEST_F(ScaleFilterTest, SettersFollowTheSetterPatternAndReportSizeChanges)
{
    IKelvraImage* image = Image(100, 60);
    CKelvraFilterScale scale(Manager(), CKelvraFilterScale::kBilinear);
    RecordingDestination sink;
    ExpectOk(KelvraDataConnect(image, &scale));
    ExpectOk(KelvraDataConnect(&scale, &sink));

    ExpectOk(scale.SetScale(0.5, true));
    ExpectOk(scale.SetScale(0.5, true)); // the same value
    ExpectOk(scale.SetSize(50, 30, true)); // another setting, the same size
    ExpectOk(scale.SetMethod(CKelvraFilterScale::kArea, true));
    ExpectOk(scale.SetScale(0.5, 2, false));
    ExpectOk(scale.Enable(false, true)); // back to the source size
    ExpectOk(scale.SetScale(0.75, true)); // disabled: silent
    ASSERT_EQ(4u, sink.notices.size());
    ExpectSizeChange(sink.notices[0], 100, 60, 50, 30);
    for (std::size_t i : {1u, 2u}) {
        EXPECT_EQ(kKelvraNotifyData, sink.notices[i].code);
        EXPECT_EQ(KelvraRect(0, 0, 50, 30), sink.notices[i].rect);
    }
    ExpectSizeChange(sink.notices[3], 50, 120, 100, 60);
    EXPECT_EQ(CKelvraFilterScale::kArea, scale.GetMethod());
    ExpectOk(KelvraDataDisconnect(&scale, &sink));
}

TEST_F(ScaleFilterTest, SourceChangeIsForwardedGrownAndRemadeTilesShowIt)
{
    IKelvraImage* image = Image(200, 120, kKelvraGrey8);
    CKelvraFilterScale scale(Manager(), CKelvraFilterScale::kBilinear);
    RecordingDestination sink;
    ExpectOk(KelvraDataConnect(image, &scale));
    ExpectOk(KelvraDataConnect(&scale, &sink));
    ExpectOk(scale.SetScale(0.5, false));
    ReadAllSamples(&scale); // every tile cached

    std::vector<std::uint8_t> white(20 * 20, 255);
    ExpectOk(KelvraWriteRect(image, KelvraRect(40, 40, 60, 60), white.data(), 20));
    ASSERT_EQ(1u, sink.notices.size());
    EXPECT_EQ(static_cast<IKelvraDataSource*>(image), sink.notices[0].sender);
    EXPECT_EQ(KelvraRect(19, 19, 31, 31), sink.notices[0].rect);
    ExpectScaledFrom(ReadSampleGrid(image), CKelvraFilterScale::kBilinear, ReadSampleGrid(&scale));
    ExpectOk(KelvraDataDisconnect(&scale, &sink));
}

TEST_F(ScaleFilterTest, PointsAndRectanglesMapBothWays)
{
    IKelvraImage* image = Image(100, 60);
    CKelvraFilterScale scale(Manager(), CKelvraFilterScale::kArea);
    ExpectOk(KelvraDataConnect(image, &scale));
    ExpectOk(scale.SetScale(0.5, false));
    double x = 10, y = 21;
    ExpectOk(scale.FilterPoint(&x, &y));
    EXPECT_DOUBLE_EQ(5, x);
    EXPECT_DOUBLE_EQ(10.5, y);
    ExpectOk(scale.DefilterPoint(&x, &y));
    EXPECT_DOUBLE_EQ(10, x);
    EXPECT_DOUBLE_EQ(21, y);
    KelvraRect rect(10, 11, 21, 20);
    ExpectOk(scale.FilterRect(&rect));
    EXPECT_EQ(KelvraRect(5, 5, 11, 10), rect);
    ExpectOk(scale.DefilterRect(&rect));
    EXPECT_EQ(KelvraRect(10, 10, 22, 20), rect);
    ExpectPixelsComeBack(scale, true, 50, 30); // each output pixel, through the source pixel under it
    ExpectOk(scale.SetScale(3, false));
    ExpectPixelsComeBack(scale, false, 100, 60); // enlarged, each source pixel
}

TEST_F(ScaleFilterTest, FixedSizeReportsTheScaleItApplies)
{
    IKelvraImage* image = Image(100, 60);
    CKelvraFilterScale scale(Manager(), CKelvraFilterScale::kNearest);
    double horizontal = 0, vertical = 0;
    ExpectOk(scale.SetSize(25, 45, false));
    ExpectError(scale.GetScale(&horizontal, &vertical), kKelvraNotReady, kScaleId);
    ExpectOk(KelvraDataConnect(image, &scale));
    ExpectOk(scale.GetScale(&horizontal, &vertical));
    EXPECT_DOUBLE_EQ(0.25, horizontal);
    EXPECT_DOUBLE_EQ(0.75, vertical);
    long width = 0, height = 0;
    EXPECT_TRUE(scale.GetFixedSize(&width, &height));
    EXPECT_EQ(25, width);
    ExpectOk(scale.SetScale(0.5, 3, false));
    EXPECT_FALSE(scale.GetFixedSize(&width, &height));
    ExpectOk(scale.GetScale(&horizontal, &vertical));
    EXPECT_DOUBLE_EQ(3, vertical);
}

TEST_F(ScaleFilterTest, BadSettingsAreRefusedAndKeepTheOldOnes)
{
    CKelvraFilterScale scale(Manager(), 7); // unknown: bilinear
    EXPECT_EQ(CKelvraFilterScale::kBilinear, scale.GetMethod());
    const double nan = std::numeric_limits<double>::quiet_NaN();
    ExpectError(scale.SetMethod(3, true), kKelvraBadArgument, kScaleId);
    ExpectError(scale.SetMethod(-1, true), kKelvraBadArgument, kScaleId);
    ExpectError(scale.SetScale(0, true), kKelvraBadArgument, kScaleId);
    ExpectError(scale.SetScale(1, -2, true), kKelvraBadArgument, kScaleId);
    ExpectError(scale.SetScale(nan, true), kKelvraBadArgument, kScaleId);
    ExpectError(scale.SetSize(0, 10, true), kKelvraBadArgument, kScaleId);
    double horizontal = 0, vertical = 0;
    ExpectOk(scale.GetScale(&horizontal, &vertical));
    EXPECT_EQ(1.0, horizontal);
    EXPECT_EQ(1.0, vertical);
}

TEST_F(ScaleFilterTest, FormatsWithoutByteSamplesAreRefusedWith1010)
{
    for (KelvraPixelFormat format : {kKelvraBitmap, kKelvraRawMosaic}) {
        IKelvraImage* image = MakeBlankImage(Manager(), 64, 64, format);
        CKelvraFilterScale scale(Manager(), CKelvraFilterScale::kBilinear);
        ExpectOk(KelvraDataConnect(image, &scale));
        ExpectOk(scale.SetScale(0.5, false));
        const void* data = nullptr;
        KelvraRect rect;
        long rowBytes = 0;
        ExpectError(scale.LockTile(0L, 0L, &data, &rect, &rowBytes), kKelvraUnsupportedFormat, kScaleId);
        image->Release();
    }
}

TEST_F(ScaleFilterTest, AttachedToAnImageItIsFoundByItsIdAndDetachesWhenDeleted)
{
    IKelvraImage* image = Image(1000, 500);
    auto* scale = new CKelvraFilterScale(Manager(), CKelvraFilterScale::kNearest);
    EXPECT_EQ(kScaleId, scale->GetFilterTag());
    EXPECT_STREQ("Scale", scale->GetFilterName());
    ExpectOk(image->AttachFilter(scale));
    ExpectOk(KelvraDataConnect(image, scale));
    auto* found = dynamic_cast<CKelvraFilterScale*>(image->FindFilter(kScaleId));
    ASSERT_EQ(scale, found);
    ExpectOk(found->SetScale(128 / 1000.0, true));
    long width = 0, height = 0;
    ExpectOk(found->GetSize(&width, &height));
    EXPECT_EQ(128, width);
    EXPECT_EQ(64, height);
    delete scale;
    EXPECT_EQ(nullptr, image->FindFilter(kScaleId));
}

TEST_F(ScaleFilterTest, ProcessRunGivesTheTilePullResult)
{
    IKelvraImage* image = Image(300, 200, kKelvraRGB16);
    CKelvraFilterScale scale(Manager(), CKelvraFilterScale::kArea);
    ExpectOk(KelvraDataConnect(image, &scale));
    ExpectOk(scale.SetSize(97, 61, false));
    IKelvraImage* result = nullptr;
    ExpectOk(Manager()->CreateImage(&result, 0));
    EXPECT_EQ(1, RunProcess(scale, image, result)); // 61 rows: one row of tiles
    EXPECT_EQ(ReadAllSamples(&scale), ReadAllSamples(result));
    long width = 0, height = 0;
    ExpectOk(result->GetSize(&width, &height));
    EXPECT_EQ(97, width);
    EXPECT_EQ(61, height);
    result->Release();
}

} // namespace
