// What the unsharp-mask filter does to edges, flat areas, small steps,
// noise and hues, and how its settings behave.
#include "UnsharpMaskTestSupport.h"

#include <algorithm>
#include <cmath>

namespace {

class UnsharpMaskFilterTest : public ::testing::Test {
protected:
    IKelvraManager* Manager() { return m_holder.manager; }
    ManagerHolder m_holder;
};

const long kEdge = 64; // steps lie on a tile border
const unsigned kChroma = 77;

// Lightness steps from `low` to `high` at 64 along x (or along y);
// chroma and hue are constant.
Picture Step(KelvraPixelFormat format, unsigned low, unsigned high, unsigned hue = 0, bool alongY = false)
{
    return Draw(128, alongY ? 128 : 6, format, [=](long x, long y, long plane) -> unsigned {
        if (plane == 0)
            return (alongY ? y : x) < kEdge ? low : high;
        return plane == 1 ? kChroma : hue;
    });
}

UsmParams Sharpening(double radius, double power, double threshold = 0.0)
{
    UsmParams params;
    params.radius = params.secondRadius = radius;
    params.power = power;
    params.threshold = threshold;
    return params;
}

void ExpectPlanesUntouched(const Picture& input, const Picture& output, long firstPlane)
{
    ASSERT_EQ(input.samples.size(), output.samples.size());
    for (std::size_t i = 0; i < input.samples.size(); ++i) {
        if (long(i) % input.Planes() >= firstPlane) {
            ASSERT_EQ(input.samples[i], output.samples[i]) << "sample " << i;
        }
    }
}

TEST_F(UnsharpMaskFilterTest, IsNamedUsm)
{
    CUnsharpMaskFilter filter(Manager());
    EXPECT_EQ(0x75736D20u, filter.GetFilterTag());
    EXPECT_EQ(0x75736D20, filter.GetFilterID());
    EXPECT_STREQ("Unsharp Mask", filter.GetFilterName());
}

TEST_F(UnsharpMaskFilterTest, FlatAreasStayUnchanged)
{
    for (KelvraPixelFormat format : {kKelvraLCh8, kKelvraLCh16, kKelvraLab16, kKelvraRGB8, kKelvraRGB16, kKelvraGrey8,
                                     kKelvraGrey16}) {
        SCOPED_TRACE(format);
        const Picture flat = Draw(100, 80, format, [](long, long, long plane) { return 90u + 40u * unsigned(plane); });
        EXPECT_EQ(flat.samples, Sharpened(Manager(), flat, Sharpening(2.0, 2.0)).samples);
    }
}

struct Overshoot {
    long below = 0; // how far the dark side dips under its level
    long above = 0; // how far the bright side rises over its level
};

Overshoot Measure(const Picture& output, unsigned low, unsigned high)
{
    Overshoot result;
    for (long x = 0; x < output.width; ++x) {
        result.below = std::max(result.below, long(low) - long(output.At(x, 0, 0)));
        result.above = std::max(result.above, long(output.At(x, 0, 0)) - long(high));
    }
    return result;
}

struct GrowthCase {
    const char* name;
    std::vector<std::pair<double, double>> steps; // (radius, power), growing in strength
};

const GrowthCase kGrowthCases[] = {
    {"power", {{1.5, 0.5}, {1.5, 1.0}, {1.5, 2.0}}},
    {"radius", {{0.7, 1.0}, {1.5, 1.0}, {3.0, 1.0}}},
};

TEST_F(UnsharpMaskFilterTest, StepOvershootsOnBothSidesMoreWithPowerAndRadius)
{
    const unsigned low = 20000, high = 40000;
    const Picture step = Step(kKelvraLCh16, low, high, 9000);
    for (const GrowthCase& test : kGrowthCases) {
        SCOPED_TRACE(test.name);
        Overshoot previous;
        for (const auto& setting : test.steps) {
            const Picture output = Sharpened(Manager(), step, Sharpening(setting.first, setting.second));
            const Overshoot now = Measure(output, low, high);
            EXPECT_GT(now.below, previous.below) << "radius " << setting.first << ", power " << setting.second;
            EXPECT_GT(now.above, previous.above) << "radius " << setting.first << ", power " << setting.second;
            EXPECT_EQ(low, output.At(0, 3, 0)); // beyond the mask's reach
            EXPECT_EQ(high, output.At(127, 3, 0));
            ExpectPlanesUntouched(step, output, 1);
            previous = now;
        }
    }
}

struct ReachCase {
    const char* name;
    long method;
    double radius;
    double secondRadius;
    bool alongY; // the step runs across y
    long reach;  // pixels from the step that still change
};

const ReachCase kReachCases[] = {
    {"box", kUsmMaskBox, 2.0, 2.0, false, 2},
    {"tent", kUsmMaskTent, 2.0, 2.0, false, 4},
    {"Gaussian", kUsmMaskGaussian, 1.0, 1.0, false, 3},
    {"Gaussian, second radius along y", kUsmMaskGaussian, 0.5, 3.0, true, 9},
    {"Gaussian, first radius along x only", kUsmMaskGaussian, 3.0, 0.5, true, 2},
};

TEST_F(UnsharpMaskFilterTest, EachMaskReachesAsFarAsItsKernel)
{
    const unsigned low = 20000, high = 40000;
    for (const ReachCase& test : kReachCases) {
        SCOPED_TRACE(test.name);
        const Picture step = Step(kKelvraLCh16, low, high, 0, test.alongY);
        UsmParams params = Sharpening(test.radius, 1.0);
        params.secondRadius = test.secondRadius;
        params.method = test.method;
        const Picture output = Sharpened(Manager(), step, params);
        auto at = [&](long position) { return test.alongY ? output.At(3, position, 0) : output.At(position, 3, 0); };
        EXPECT_LT(at(kEdge - test.reach), low);
        EXPECT_EQ(low, at(kEdge - test.reach - 1));
        EXPECT_GT(at(kEdge - 1 + test.reach), high);
        EXPECT_EQ(high, at(kEdge + test.reach));
    }
}

struct ThresholdCase {
    const char* name;
    KelvraPixelFormat format;
    unsigned step; // eight-bit levels
    double threshold;
    bool changed;
};

const ThresholdCase kThresholdCases[] = {
    {"8 bits, small step, high threshold", kKelvraLCh8, 2, 3.0, false},
    {"8 bits, small step, no threshold", kKelvraLCh8, 2, 0.0, true},
    {"8 bits, large step, high threshold", kKelvraLCh8, 40, 3.0, true},
    {"16 bits, small step, high threshold", kKelvraLCh16, 2, 3.0, false},
    {"16 bits, small step, low threshold", kKelvraLCh16, 2, 0.5, true},
};

TEST_F(UnsharpMaskFilterTest, ThresholdLeavesSmallerDifferencesAlone)
{
    for (const ThresholdCase& test : kThresholdCases) {
        SCOPED_TRACE(test.name);
        const unsigned scale = KelvraIs16Bit(test.format) ? 257u : 1u;
        const Picture step = Step(test.format, 100 * scale, (100 + test.step) * scale);
        const Picture output = Sharpened(Manager(), step, Sharpening(1.5, 1.0, test.threshold));
        EXPECT_EQ(test.changed, output.samples != step.samples);
    }
}

TEST_F(UnsharpMaskFilterTest, SparedNoiseKeepsRipplesButNotEdges)
{
    const Picture ripple = Draw(128, 6, kKelvraLCh8, [](long x, long, long plane) {
        return plane == 0 ? 100u + unsigned(x % 2) : kChroma;
    });
    const Picture step = Step(kKelvraLCh8, 100, 160);
    UsmParams params = Sharpening(1.5, 2.0);
    for (bool affectNoise : {true, false}) {
        SCOPED_TRACE(affectNoise);
        params.affectNoise = affectNoise;
        EXPECT_EQ(affectNoise, Sharpened(Manager(), ripple, params).samples != ripple.samples);
        const Overshoot edge = Measure(Sharpened(Manager(), step, params), 100, 160);
        EXPECT_NEAR(2.0 * 60 * 0.367, double(edge.below), 1.5); // 0.367: the mask's share beyond the step
    }
}

struct BandCase {
    const char* name;
    UsmBand band;
    double hue;
    double weight; // share of the full sharpening
};

const UsmBand kMiddle{0.25, 0.1, 0.5, 0.1};
const UsmBand kThroughZero{0.9, 0.05, 0.1, 0.05};

const BandCase kBandCases[] = {
    {"inside", kMiddle, 0.375, 1.0},
    {"outside", kMiddle, 0.75, 0.0},
    {"halfway up the start's soft edge", kMiddle, 0.2, 0.5},
    {"a quarter into the end's soft edge", kMiddle, 0.575, 0.25},
    {"wrapping, before 0", kThroughZero, 0.95, 1.0},
    {"wrapping, at 0", kThroughZero, 0.0, 1.0},
    {"wrapping, after 0", kThroughZero, 0.05, 1.0},
    {"wrapping, opposite", kThroughZero, 0.5, 0.0},
    {"wrapping, soft after the end", kThroughZero, 0.125, 0.5},
    {"wrapping, soft before the start", kThroughZero, 0.875, 0.5},
    {"everything", UsmBand{0.0, 0.0, 1.0, 0.0}, 0.6, 1.0},
};

TEST_F(UnsharpMaskFilterTest, HueBandChoosesWhereToSharpen)
{
    const unsigned low = 20000, high = 40000;
    const UsmParams full = Sharpening(1.5, 1.0);
    const double fullDip = double(low) - Sharpened(Manager(), Step(kKelvraLCh16, low, high), full).At(kEdge - 1, 0, 0);
    ASSERT_GT(fullDip, 5000.0);
    for (const BandCase& test : kBandCases) {
        SCOPED_TRACE(test.name);
        UsmParams params = full;
        params.band = test.band;
        const Picture step = Step(kKelvraLCh16, low, high, unsigned(std::lround(test.hue * 65536.0)) & 0xFFFF);
        const Picture output = Sharpened(Manager(), step, params);
        EXPECT_NEAR(test.weight, (double(low) - output.At(kEdge - 1, 0, 0)) / fullDip, 0.002);
        ExpectPlanesUntouched(step, output, 1);
    }
}

TEST_F(UnsharpMaskFilterTest, UnknownFormatsFailTheTileWith1010)
{
    for (KelvraPixelFormat format : {kKelvraCMYK8, kKelvraRawMosaic, kKelvraBitmap}) {
        SCOPED_TRACE(format);
        const Picture blank{70, 70, format, {}};
        IKelvraImage* image = nullptr;
        ExpectOk(Manager()->CreateImage(&image, 0));
        ExpectOk(image->SetSize(blank.width, blank.height));
        ExpectOk(image->SetColorSpace(format));
        CUnsharpMaskFilter filter(Manager());
        ExpectOk(KelvraDataConnect(image, &filter));

        const void* data = nullptr;
        KelvraRect rect;
        long rowBytes = 0;
        IKelvraError* error = filter.LockTile(0L, 0L, &data, &rect, &rowBytes);
        ASSERT_NE(nullptr, error);
        EXPECT_TRUE(error->HasCode(kKelvraUnsupportedFormat));
        ASSERT_NE(nullptr, error->FindCause());
        EXPECT_EQ(CUnsharpMaskFilter::kTag, error->FindCause()->GetTag());
        IKelvraError::Release(error);

        ExpectOk(filter.Enable(false, false)); // switched off, it passes the pixels on
        ExpectOk(filter.LockTile(0L, 0L, &data, &rect, &rowBytes));
        ExpectOk(filter.UnlockTile(0L, 0L));
        image->Release();
    }
}

// Sees whether a setter marked the cache stale.
class ProbeFilter : public CUnsharpMaskFilter {
public:
    using CUnsharpMaskFilter::CUnsharpMaskFilter;
    bool IsStale() const { return m_stale; }
};

using Setter = std::function<IKelvraError*(CUnsharpMaskFilter&, bool notify)>;

struct SetterCase {
    const char* name;
    Setter initial; // sets the value a new filter has
    Setter change;
    std::function<bool(const CUnsharpMaskFilter&)> showsChange;
};

bool RangeIs(const CUnsharpMaskFilter& filter, const UsmBand& band)
{
    UsmBand read;
    ExpectOk(filter.GetRange(&read.start, &read.startSoftness, &read.end, &read.endSoftness));
    return read == band;
}

const UsmBand kBand5{61.0 / 72.0, 1.0 / 12.0, 1.0 / 72.0, 1.0 / 12.0};

const SetterCase kSetterCases[] = {
    {"radii", [](CUnsharpMaskFilter& f, bool n) { return f.SetRadii(1.0, 1.0, n); },
     [](CUnsharpMaskFilter& f, bool n) { return f.SetRadii(2.5, 1.25, n); },
     [](const CUnsharpMaskFilter& f) { return f.GetRadius() == 2.5 && f.GetSecondRadius() == 1.25; }},
    {"power", [](CUnsharpMaskFilter& f, bool n) { return f.SetPower(1.0, n); },
     [](CUnsharpMaskFilter& f, bool n) { return f.SetPower(0.35, n); },
     [](const CUnsharpMaskFilter& f) { return f.GetPower() == 0.35; }},
    {"threshold", [](CUnsharpMaskFilter& f, bool n) { return f.SetThreshold(0.0, n); },
     [](CUnsharpMaskFilter& f, bool n) { return f.SetThreshold(0.6, n); },
     [](const CUnsharpMaskFilter& f) { return f.GetThreshold() == 0.6; }},
    {"noise", [](CUnsharpMaskFilter& f, bool n) { return f.SetAffectNoise(true, n); },
     [](CUnsharpMaskFilter& f, bool n) { return f.SetAffectNoise(false, n); },
     [](const CUnsharpMaskFilter& f) { return !f.GetAffectNoise(); }},
    {"method", [](CUnsharpMaskFilter& f, bool n) { return f.SetMaskMethod(kUsmMaskGaussian, n); },
     [](CUnsharpMaskFilter& f, bool n) { return f.SetMaskMethod(kUsmMaskBox, n); },
     [](const CUnsharpMaskFilter& f) { return f.GetMaskMethod() == kUsmMaskBox; }},
    {"range", [](CUnsharpMaskFilter& f, bool n) { return f.SetRange(0.0, 0.0, 1.0, 0.0, n); },
     [](CUnsharpMaskFilter& f, bool n) {
         return f.SetRange(kBand5.start, kBand5.startSoftness, kBand5.end, kBand5.endSoftness, n);
     },
     [](const CUnsharpMaskFilter& f) { return RangeIs(f, kBand5); }},
};

TEST_F(UnsharpMaskFilterTest, SettersChangeOnlyWhatDiffersAndTellWhenAsked)
{
    for (const SetterCase& test : kSetterCases) {
        SCOPED_TRACE(test.name);
        IKelvraImage* image = MakeImage(Manager(), Step(kKelvraLCh8, 50, 150));
        ProbeFilter filter(Manager());
        RecordingDestination sink;
        ExpectOk(KelvraDataConnect(image, &filter));
        ExpectOk(KelvraDataConnect(&filter, &sink));
        ReadAllSamples(&filter);
        ASSERT_FALSE(filter.IsStale());

        ExpectOk(test.initial(filter, true)); // equal: nothing happens
        EXPECT_FALSE(filter.IsStale());
        ExpectOk(test.change(filter, false)); // silent change
        EXPECT_TRUE(filter.IsStale());
        EXPECT_TRUE(test.showsChange(filter));
        EXPECT_TRUE(sink.notices.empty());
        ExpectOk(test.initial(filter, true)); // back, told
        ASSERT_EQ(1u, sink.notices.size());
        EXPECT_EQ(KelvraRect(0, 0, 128, 6), sink.notices[0].rect);
        EXPECT_FALSE(test.showsChange(filter));

        ExpectOk(KelvraDataDisconnect(&filter, &sink));
        image->Release();
    }
}

const Setter kRefusedSettings[] = {
    [](CUnsharpMaskFilter& f, bool n) { return f.SetRadii(0.0, 1.0, n); },
    [](CUnsharpMaskFilter& f, bool n) { return f.SetRadii(1.0, -1.0, n); },
    [](CUnsharpMaskFilter& f, bool n) { return f.SetRadii(kUsmMaxRadius + 1.0, 1.0, n); },
    [](CUnsharpMaskFilter& f, bool n) { return f.SetRadii(std::nan(""), 1.0, n); },
    [](CUnsharpMaskFilter& f, bool n) { return f.SetPower(kUsmMinPower - 0.5, n); },
    [](CUnsharpMaskFilter& f, bool n) { return f.SetPower(HUGE_VAL, n); },
    [](CUnsharpMaskFilter& f, bool n) { return f.SetThreshold(-0.1, n); },
    [](CUnsharpMaskFilter& f, bool n) { return f.SetMaskMethod(0, n); },
    [](CUnsharpMaskFilter& f, bool n) { return f.SetMaskMethod(4, n); },
    [](CUnsharpMaskFilter& f, bool n) { return f.SetRange(-0.1, 0.0, 1.0, 0.0, n); },
    [](CUnsharpMaskFilter& f, bool n) { return f.SetRange(0.0, 0.0, 1.5, 0.0, n); },
    [](CUnsharpMaskFilter& f, bool n) { return f.SetRange(0.0, 2.0, 1.0, 0.0, n); },
    [](CUnsharpMaskFilter& f, bool n) { return f.SetRange(0.0, 0.0, 1.0, std::nan(""), n); },
};

TEST_F(UnsharpMaskFilterTest, SettingsOutOfRangeAreRefusedWith1008AndKeepTheOldOnes)
{
    CUnsharpMaskFilter filter(Manager());
    for (std::size_t i = 0; i < sizeof kRefusedSettings / sizeof kRefusedSettings[0]; ++i) {
        SCOPED_TRACE(i);
        IKelvraError* error = kRefusedSettings[i](filter, true);
        ASSERT_NE(nullptr, error);
        EXPECT_EQ(kKelvraBadArgument, error->GetCode());
        EXPECT_EQ(CUnsharpMaskFilter::kTag, error->GetTag());
        IKelvraError::Release(error);
        EXPECT_TRUE(filter.GetParams() == UsmParams());
    }
    IKelvraError* error = filter.GetRange(nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, error);
    EXPECT_EQ(kKelvraMissingObject, error->GetCode());
    IKelvraError::Release(error);
}

} // namespace
