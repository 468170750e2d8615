#include "FilterTestSupport.h"
#include "ProcessRunCheck.h"

#include "filtrix/KelvraFilterColorSpace.h"

#include <vector>

namespace {

unsigned To8(unsigned v16)
{
    return (v16 * 255 + 32767) / 65535;
}

unsigned To16(unsigned v8)
{
    return v8 * 257;
}

unsigned Luma(unsigned r, unsigned g, unsigned b)
{
    return (r * 299 + g * 587 + b * 114 + 500) / 1000;
}

class ColorSpaceFilterTest : public ::testing::Test {
protected:
    IKelvraManager* Manager() { return m_holder.manager; }
    // image -> first (to `firstDepth`) -> second (to `secondDepth`), models kept.
    void Chain(IKelvraImage* image, CKelvraFilterColorSpace& first, long firstDepth, CKelvraFilterColorSpace& second,
               long secondDepth)
    {
        ExpectOk(KelvraDataConnect(image, &first));
        ExpectOk(KelvraDataConnect(&first, &second));
        ExpectOk(first.SetOutputColorSpace(kColorSpaceKeep, firstDepth, false));
        ExpectOk(second.SetOutputColorSpace(kColorSpaceKeep, secondDepth, false));
    }
    ManagerHolder m_holder;
};

// One pixel of the source as 16-bit samples.
std::vector<unsigned> Pixel16(const SampleGrid& grid, long x, long y, bool wide)
{
    std::vector<unsigned> pixel;
    for (long p = 0; p < grid.planes; ++p)
        pixel.push_back(wide ? grid.At(x, y, p) : To16(grid.At(x, y, p)));
    return pixel;
}

// What the filter makes of one pixel, in 16-bit samples.
std::vector<unsigned> Converted(const std::vector<unsigned>& in, long space)
{
    std::vector<unsigned> rgb = in;
    if (in.size() == 1)
        rgb = {in[0], in[0], in[0]};
    if (in.size() == 4) {
        for (int i = 0; i < 3; ++i)
            rgb[std::size_t(i)] = ((65535 - in[std::size_t(i)]) * (65535 - in[3]) + 32767) / 65535;
        rgb.resize(3);
    }
    if (space == kColorSpaceKeep)
        return in;
    if (space == kColorSpaceGrey)
        return {in.size() == 1 ? in[0] : Luma(rgb[0], rgb[1], rgb[2])};
    return rgb;
}

struct ConversionCase {
    KelvraPixelFormat input;
    long space;
    long depth;
    KelvraPixelFormat output;
};

const ConversionCase kConversions[] = {
    {kKelvraRGB16, kColorSpaceKeep, kColorDepth8, kKelvraRGB8},
    {kKelvraRGB8, kColorSpaceKeep, kColorDepth16, kKelvraRGB16},
    {kKelvraLCh16, kColorSpaceKeep, kColorDepth8, kKelvraLCh8},
    {kKelvraCMYK8, kColorSpaceKeep, kColorDepthKeep, kKelvraCMYK8},
    {kKelvraGrey16, kColorSpaceRGB, kColorDepth8, kKelvraRGB8},
    {kKelvraGrey8, kColorSpaceRGB, kColorDepth8, kKelvraRGB8},
    {kKelvraRGB16, kColorSpaceRGB, kColorDepth8, kKelvraRGB8},
    {kKelvraCMYK8, kColorSpaceRGB, kColorDepth8, kKelvraRGB8},
    {kKelvraRGB8, kColorSpaceGrey, kColorDepth16, kKelvraGrey16},
    {kKelvraCMYK8, kColorSpaceGrey, kColorDepthKeep, kKelvraGrey8},
};

TEST_F(ColorSpaceFilterTest, ConvertsModelAndDepthPixelByPixel)
{
    for (const ConversionCase& c : kConversions) {
        SCOPED_TRACE(testing::Message() << std::hex << c.input << " " << c.space << " " << c.depth);
        IKelvraImage* image = MakePatternImage(Manager(), 130, 70, c.input);
        CKelvraFilterColorSpace filter(Manager());
        ExpectOk(KelvraDataConnect(image, &filter));
        ExpectOk(filter.SetOutputColorSpace(c.space, c.depth, false));
        KelvraPixelFormat format = 0;
        ExpectOk(filter.GetColorSpace(&format));
        ASSERT_EQ(c.output, format);

        const SampleGrid input = ReadSampleGrid(image), output = ReadSampleGrid(&filter);
        const bool wideOut = KelvraIs16Bit(c.output);
        for (long y = 0; y < input.height; ++y) {
            for (long x = 0; x < input.width; ++x) {
                const std::vector<unsigned> expected = Converted(Pixel16(input, x, y, KelvraIs16Bit(c.input)), c.space);
                for (long p = 0; p < output.planes; ++p) {
                    const unsigned want = wideOut ? expected[std::size_t(p)] : To8(expected[std::size_t(p)]);
                    ASSERT_EQ(want, output.At(x, y, p)) << x << "," << y << "," << p;
                }
            }
        }
        image->Release();
    }
}

TEST_F(ColorSpaceFilterTest, EightToSixteenAndBackGivesEveryValueBack)
{
    IKelvraImage* image = MakePatternImage(Manager(), 256, 64, kKelvraRGB8); // every 8-bit value occurs
    CKelvraFilterColorSpace up(Manager()), down(Manager());
    Chain(image, up, kColorDepth16, down, kColorDepth8);
    const std::vector<unsigned> input = ReadAllSamples(image), wide = ReadAllSamples(&up);
    for (std::size_t i = 0; i < input.size(); ++i)
        ASSERT_EQ(input[i] * 257, wide[i]);
    EXPECT_EQ(input, ReadAllSamples(&down));
    image->Release();
}

TEST_F(ColorSpaceFilterTest, SixteenToEightRoundsToTheNearestLevel)
{
    IKelvraImage* image = MakePatternImage(Manager(), 300, 200, kKelvraGrey16);
    CKelvraFilterColorSpace down(Manager()), up(Manager());
    Chain(image, down, kColorDepth8, up, kColorDepth16);
    const std::vector<unsigned> input = ReadAllSamples(image), back = ReadAllSamples(&up);
    for (std::size_t i = 0; i < input.size(); ++i) {
        const long error = long(back[i]) - long(input[i]);
        ASSERT_LE(error < 0 ? -error : error, 128) << input[i]; // half a level of 257
    }
    image->Release();
}

TEST_F(ColorSpaceFilterTest, RefusesModelsItCannotConvertAndUnknownValues)
{
    IKelvraImage* image = MakePatternImage(Manager(), 64, 64, kKelvraLCh16);
    CKelvraFilterColorSpace filter(Manager());
    ExpectOk(KelvraDataConnect(image, &filter));
    ExpectOk(filter.SetOutputColorSpace(kColorSpaceRGB, kColorDepth8, false));
    KelvraPixelFormat format = 0;
    ExpectError(filter.GetColorSpace(&format), kKelvraUnsupportedFormat, CKelvraFilterColorSpace::kTag);

    ExpectError(filter.SetOutputColorSpace(3, kColorDepth8, true), kKelvraBadArgument, CKelvraFilterColorSpace::kTag);
    ExpectError(filter.SetOutputColorSpace(kColorSpaceKeep, 3, true), kKelvraBadArgument,
                CKelvraFilterColorSpace::kTag);
    long space = -1, depth = -1;
    filter.GetOutputColorSpace(&space, &depth);
    EXPECT_EQ(kColorSpaceRGB, space);
    EXPECT_EQ(kColorDepth8, depth);
    image->Release();
}

TEST_F(ColorSpaceFilterTest, ANewOutputFormatIsAnnouncedBeforeTheData)
{
    IKelvraImage* image = MakePatternImage(Manager(), 64, 64, kKelvraRGB16);
    CKelvraFilterColorSpace filter(Manager());
    RecordingDestination sink;
    ExpectOk(KelvraDataConnect(image, &filter));
    ExpectOk(KelvraDataConnect(&filter, &sink));

    ExpectOk(filter.SetOutputColorSpace(kColorSpaceKeep, kColorDepth8, true));
    ASSERT_EQ(2u, sink.notices.size());
    EXPECT_EQ(kKelvraNotifyColorSpace, sink.notices[0].code);
    EXPECT_EQ(kKelvraNotifyData, sink.notices[1].code);
    ExpectOk(filter.SetOutputColorSpace(kColorSpaceKeep, kColorDepth8, true)); // unchanged
    EXPECT_EQ(2u, sink.notices.size());
    ExpectOk(filter.SetOutputColorSpace(kColorSpaceKeep, kColorDepthKeep, false)); // silent
    EXPECT_EQ(2u, sink.notices.size());
    ExpectOk(filter.SetOutputColorSpace(kColorSpaceKeep, kColorDepth16, true)); // same format as before
    ASSERT_EQ(3u, sink.notices.size());
    EXPECT_EQ(kKelvraNotifyData, sink.notices[2].code);
    ExpectOk(KelvraDataDisconnect(&filter, &sink));
    image->Release();
}

TEST_F(ColorSpaceFilterTest, ProcessRunMatchesPulledTiles)
{
    IKelvraImage* image = MakePatternImage(Manager(), 150, 100, kKelvraCMYK8);
    CKelvraFilterColorSpace filter(Manager());
    ExpectOk(KelvraDataConnect(image, &filter));
    ExpectOk(filter.SetOutputColorSpace(kColorSpaceRGB, kColorDepth8, false));
    ExpectRunMatchesPull(Manager(), filter, image);
    image->Release();
}

} // namespace
