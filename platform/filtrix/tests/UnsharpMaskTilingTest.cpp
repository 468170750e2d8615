// The unsharp-mask filter made tile by tile must equal a direct whole-image
// computation: at image edges, across tile borders, in process runs and
// after a source change near a tile border.
#include "UnsharpMaskReference.h"

namespace {

class UnsharpMaskTilingTest : public ::testing::Test {
protected:
    IKelvraManager* Manager() { return m_holder.manager; }
    ManagerHolder m_holder;
};

// Edges, gradients and every hue, so that each mask, band and rule shows.
Picture Busy(KelvraPixelFormat format, long width = 150, long height = 100)
{
    const unsigned scale = KelvraIs16Bit(format) ? 257u : 1u;
    const long circle = KelvraIs16Bit(format) ? 65536 : 256;
    const bool lch = format == kKelvraLCh8 || format == kKelvraLCh16;
    return Draw(width, height, format, [=](long x, long y, long plane) -> unsigned {
        if (lch && plane == 2)
            return unsigned((x * circle / width + y % 3) % circle); // hue runs once around the circle
        const unsigned blocks = unsigned(((x / 9 + y / 7 + plane) % 3) * 70);
        return (blocks + unsigned((x * y + 5 * plane) % 23)) * scale;
    });
}

struct TilingCase {
    const char* name;
    KelvraPixelFormat format;
    UsmParams params;
};

const UsmBand kAllHues{}; // from 0 to 1: every hue

// Settings in field order: radius, second radius, power, threshold, mask
// method, affect noise, hue band.
const TilingCase kTilingCases[] = {
    {"LCh16, Gaussian, wide along x", kKelvraLCh16, UsmParams{2.0, 1.0, 1.5, 0.0, kUsmMaskGaussian, true, kAllHues}},
    {"LCh8, band through 0, noise spared", kKelvraLCh8,
     UsmParams{1.3, 2.6, 0.8, 2.5, kUsmMaskGaussian, false, UsmBand{0.8, 0.1, 0.2, 0.05}}},
    {"LCh16, box, soft band", kKelvraLCh16,
     UsmParams{3.0, 3.0, 1.0, 1.0, kUsmMaskBox, true, UsmBand{0.25, 0.1, 0.5, 0.1}}},
    {"LCh16, softening", kKelvraLCh16, UsmParams{1.0, 1.0, -0.5, 0.0, kUsmMaskGaussian, true, kAllHues}},
    {"RGB8, tent", kKelvraRGB8, UsmParams{1.5, 0.6, 2.0, 0.0, kUsmMaskTent, true, kAllHues}},
    {"RGB16, Gaussian", kKelvraRGB16, UsmParams{0.8, 0.8, 1.0, 0.4, kUsmMaskGaussian, true, kAllHues}},
    {"Grey16, wide masks", kKelvraGrey16, UsmParams{5.0, 4.0, 0.7, 0.5, kUsmMaskGaussian, false, kAllHues}},
    {"Grey8, small radius", kKelvraGrey8, UsmParams{0.3, 0.3, 3.0, 0.0, kUsmMaskGaussian, true, kAllHues}},
    {"Lab16, lightness only", kKelvraLab16, UsmParams{1.2, 1.2, 1.0, 0.0, kUsmMaskGaussian, true, kAllHues}},
};

TEST_F(UnsharpMaskTilingTest, TiledOutputEqualsWholeImageReference)
{
    for (const TilingCase& test : kTilingCases) {
        SCOPED_TRACE(test.name);
        const Picture input = Busy(test.format);
        std::vector<int> tolerance;
        const Picture expected = Reference(input, test.params, &tolerance);
        ExpectMatches(expected, tolerance, Sharpened(Manager(), input, test.params));
    }
}

TEST_F(UnsharpMaskTilingTest, ProcessRunWritesWhatTheTilesShow)
{
    const Picture input = Busy(kKelvraLCh16, 130, 140);
    FilterOver run(Manager(), input);
    Configure(run.Filter(), UsmParams{2.5, 1.5, 1.2, 0.0, kUsmMaskGaussian, true, kAllHues});
    IKelvraImage* result = nullptr;
    ExpectOk(Manager()->CreateImage(&result, 0));
    EXPECT_EQ(3, RunProcess(run.Filter(), run.Image(), result));
    EXPECT_EQ(run.Output().samples, ReadAllSamples(result));
    result->Release();
}

struct ChangeCase {
    const char* name;
    KelvraRect changed;
    KelvraRect announced; // grown by the mask's reach (6 along x, 3 along y), clipped to the image
};

const ChangeCase kChangeCases[] = {
    {"beside a tile corner", KelvraRect(60, 61, 63, 62), KelvraRect(54, 58, 69, 65)},
    {"at the image corner", KelvraRect(0, 0, 2, 2), KelvraRect(0, 0, 8, 5)},
    {"at the far edges", KelvraRect(195, 148, 200, 150), KelvraRect(189, 145, 200, 150)},
};

TEST_F(UnsharpMaskTilingTest, SourceChangeRedrawsAsFarAsTheMaskReaches)
{
    const UsmParams params{2.0, 1.0, 1.0, 0.0, kUsmMaskGaussian, true, kAllHues};
    for (const ChangeCase& test : kChangeCases) {
        SCOPED_TRACE(test.name);
        const Picture before = Busy(kKelvraLCh16, 200, 150);
        FilterOver run(Manager(), before);
        Configure(run.Filter(), params);
        RecordingDestination sink;
        ExpectOk(KelvraDataConnect(&run.Filter(), &sink));
        run.Output(); // every tile cached

        const Picture changed = Draw(200, 150, kKelvraLCh16, [&](long x, long y, long plane) {
            return test.changed.Contains(x, y) && plane == 0 ? 65535u : before.At(x, y, plane);
        });
        WriteRect(run.Image(), changed, test.changed);
        ASSERT_EQ(1u, sink.notices.size());
        EXPECT_EQ(static_cast<IKelvraDataSource*>(run.Image()), sink.notices[0].sender);
        EXPECT_EQ(test.announced, sink.notices[0].rect);
        KelvraDblRect exact(test.changed);
        ExpectOk(run.Filter().FilterRect(&exact));
        EXPECT_EQ(test.announced, KelvraRect(exact));

        std::vector<int> tolerance;
        const Picture expected = Reference(changed, params, &tolerance);
        ExpectMatches(expected, tolerance, run.Output());
        ExpectOk(KelvraDataDisconnect(&run.Filter(), &sink));
    }
}

} // namespace
