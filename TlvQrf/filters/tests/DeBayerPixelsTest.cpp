// Both demosaicing filters on real pixels: flat colour stays flat in every
// layout, a tile's pixels do not depend on how the output is cut into
// tiles, raw samples out of range are limited, and the processing switch.
#include "DeBayerTestSupport.h"

#include "filters/debayer/TlToneTables.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

using namespace debayer_test;

namespace {

enum class Quality { Standard, High };

std::unique_ptr<CDeBayerFilterBase> MakeFilter(Quality quality, IKelvraManager* manager)
{
    if (quality == Quality::Standard)
        return std::make_unique<CDeBayerStdFilter>(manager);
    return std::make_unique<CDeBayerHQFilter>(manager);
}

const char* NameOf(Quality quality)
{
    return quality == Quality::Standard ? "standard" : "high";
}

std::uint16_t Expected16(std::uint16_t raw)
{
    return std::uint16_t(GetSqrtTable()[raw > 4095 ? 4095 : raw] >> 2);
}

// A mosaic with structure at every scale: edges, fine lines and noise.
std::uint16_t Busy(long x, long y)
{
    const unsigned hash = unsigned(x * 73856093L ^ y * 19349663L) % 997;
    const unsigned edge = (x + 2 * y) % 37 < 18 ? 3000 : 600;
    return std::uint16_t((edge + hash + (x % 5 == 0 ? 400 : 0)) % 4096);
}

class DeBayerPixelsTest : public ::testing::Test {
protected:
    ManagerHolder holder;
    IKelvraManager* manager = holder.manager;
};

TEST_F(DeBayerPixelsTest, FlatColourPlanesGiveFlatColourInEveryLayout)
{
    const std::uint16_t level[3] = {900, 2100, 3300};
    for (Quality quality : {Quality::Standard, Quality::High}) {
        for (const Layout& layout : BayerLayouts()) {
            SCOPED_TRACE(testing::Message() << NameOf(quality) << " " << layout.name);
            const TlBayerPhases phases{layout.greenPhase, layout.redRowPhase};
            IKelvraImage* image =
                MakeMosaic(manager, 90, 70, [&](long x, long y) { return level[TlBayerColourAt(phases, x, y)]; });
            auto filter = MakeFilter(quality, manager);
            ExpectOk(KelvraDataConnect(image, filter.get()));
            ExpectOk(filter->SetPixelMap(layout.bytes.data(), layout.bytes.size(), false));
            EXPECT_EQ(layout.greenPhase, filter->GetPhases().greenPhase);
            EXPECT_EQ(layout.redRowPhase, filter->GetPhases().redRowPhase);
            for (bool aspect : {false, true}) {
                SCOPED_TRACE(aspect ? "pixel aspect" : "square pixels");
                ExpectOk(filter->SetPixelAspectMode(aspect, nullptr, false));
                const SampleGrid out = ReadSampleGrid(filter.get());
                ASSERT_EQ(aspect ? 58 : 78, out.width);
                ASSERT_EQ(aspect ? 87 : 58, out.height);
                long wrong = 0;
                for (long y = 0; y < out.height; ++y)
                    for (long x = 0; x < out.width; ++x)
                        for (long c = 0; c < 3; ++c)
                            wrong += out.At(x, y, c) != Expected16(level[c]);
                EXPECT_EQ(0, wrong);
            }
            filter.reset();
            image->Release();
        }
    }
}

TEST_F(DeBayerPixelsTest, OneTileEqualsManyTilesBitForBit)
{
    struct Setup {
        const char* name;
        bool aspect;
        KelvraRect outputRect;
    };
    const Setup setups[] = {
        {"whole area", false, KelvraRect()},
        {"moved output rectangle", false, KelvraRect(5, 3, 180, 140)},
        {"pixel aspect", true, KelvraRect()},
    };
    IKelvraImage* image = MakeMosaic(manager, 211, 163, Busy);
    const Layout& layout = BayerLayouts()[1];
    for (Quality quality : {Quality::Standard, Quality::High}) {
        for (const Setup& setup : setups) {
            SCOPED_TRACE(testing::Message() << NameOf(quality) << ", " << setup.name);
            auto filter = MakeFilter(quality, manager);
            ExpectOk(KelvraDataConnect(image, filter.get()));
            ExpectOk(filter->SetPixelMap(layout.bytes.data(), layout.bytes.size(), false));
            ExpectOk(filter->SetPixelAspectMode(setup.aspect, nullptr, false));
            ExpectOk(filter->SetSourceRect(setup.outputRect, nullptr, false));
            const SampleGrid tiled = ReadSampleGrid(filter.get());
            const SampleGrid whole = GenerateAsOneTile(*filter);
            ASSERT_EQ(whole.width, tiled.width);
            ASSERT_EQ(whole.height, tiled.height);
            EXPECT_GT(whole.width, 64);
            EXPECT_TRUE(whole.samples == tiled.samples);
        }
    }
    image->Release();
}

// A gentle grey slope in either direction must not lean: green sites once
// took their luminance from the two samples on their left only, which
// pulled every other column of a horizontal slope down.
TEST_F(DeBayerPixelsTest, GreySlopesStayEvenInBothDirections)
{
    const Layout& layout = BayerLayouts()[0];
    for (bool across : {true, false}) {
        SCOPED_TRACE(across ? "left to right" : "top to bottom");
        IKelvraImage* image = MakeMosaic(manager, 200, 200, [&](long x, long y) {
            return std::uint16_t(500 + 12 * (across ? x : y));
        });
        for (Quality quality : {Quality::Standard, Quality::High}) {
            SCOPED_TRACE(NameOf(quality));
            auto filter = MakeFilter(quality, manager);
            ExpectOk(KelvraDataConnect(image, filter.get()));
            ExpectOk(filter->SetPixelMap(layout.bytes.data(), layout.bytes.size(), false));
            const SampleGrid out = ReadSampleGrid(filter.get());
            long worst = 0;
            for (long y = 20; y < 170; ++y) {
                for (long x = 20; x < 170; ++x) {
                    const long truth = Expected16(std::uint16_t(500 + 12 * ((across ? x : y) + 6)));
                    for (long c = 0; c < 3; ++c)
                        worst = std::max(worst, std::labs(long(out.At(x, y, c)) - truth));
                }
            }
            EXPECT_LE(worst, 8);
        }
        image->Release();
    }
}

TEST_F(DeBayerPixelsTest, OnlyTheFirstThreeTuningValuesMatter)
{
    IKelvraImage* image = MakeMosaic(manager, 120, 90, Busy);
    const Layout& layout = BayerLayouts()[0];
    auto develop = [&](const std::int32_t (&tuning)[9]) {
        CDeBayerHQFilter filter(manager);
        ExpectOk(KelvraDataConnect(image, &filter));
        ExpectOk(filter.SetPixelMap(layout.bytes.data(), layout.bytes.size(), false));
        ExpectOk(filter.SetTuning(tuning, false));
        return ReadAllSamples(&filter);
    };
    const std::int32_t standard[9] = {3, 3, 3, 6, 15, 1, 14, 1, 1};
    const std::int32_t otherConstants[9] = {3, 3, 3, 0, 99, -7, 2, 50, 0};
    const std::int32_t stronger[9] = {30, 30, 30, 6, 15, 1, 14, 1, 1};
    const std::vector<unsigned> base = develop(standard);
    EXPECT_EQ(base, develop(otherConstants));
    EXPECT_NE(base, develop(stronger));
    image->Release();
}

TEST_F(DeBayerPixelsTest, SamplesAboveTwelveBitsReadAsFullScale)
{
    IKelvraImage* over = MakeMosaic(manager, 40, 40, [](long x, long y) {
        return std::uint16_t((x + y) % 3 == 0 ? 65535 : 4095 + std::uint16_t(x));
    });
    const Layout& layout = BayerLayouts()[0];
    for (Quality quality : {Quality::Standard, Quality::High}) {
        SCOPED_TRACE(NameOf(quality));
        auto filter = MakeFilter(quality, manager);
        ExpectOk(KelvraDataConnect(over, filter.get()));
        ExpectOk(filter->SetPixelMap(layout.bytes.data(), layout.bytes.size(), false));
        const std::vector<unsigned> samples = ReadAllSamples(filter.get());
        ASSERT_FALSE(samples.empty());
        for (unsigned sample : samples)
            ASSERT_EQ(65535u, sample);
    }
    over->Release();
}

TEST_F(DeBayerPixelsTest, SixteenBitWhiteBalanceTablesDoNotMakeTheImageBlack)
{
    IKelvraImage* image = MakeMosaic(manager, 40, 40, [](long, long) { return std::uint16_t(1024); });
    std::vector<std::uint16_t> identity(4096);
    for (std::size_t i = 0; i < identity.size(); ++i)
        identity[i] = std::uint16_t(i * 16);
    CDeBayerStdFilter filter(manager);
    ExpectOk(KelvraDataConnect(image, &filter));
    const Layout& layout = BayerLayouts()[0];
    ExpectOk(filter.SetPixelMap(layout.bytes.data(), layout.bytes.size(), false));
    ExpectOk(filter.SetChannelLuts(12, 16, identity.data(), identity.data(), identity.data(), false));
    const SampleGrid out = ReadSampleGrid(&filter);
    EXPECT_NEAR(Expected16(1024), out.At(10, 10, 0), 4);
    EXPECT_NEAR(Expected16(1024), out.At(10, 10, 2), 4);
    image->Release();
}

TEST_F(DeBayerPixelsTest, WhiteBalanceTablesScaleRedAndBlue)
{
    const Layout& layout = BayerLayouts()[2];
    const TlBayerPhases phases{layout.greenPhase, layout.redRowPhase};
    const std::uint16_t level[3] = {500, 1000, 800};
    IKelvraImage* image =
        MakeMosaic(manager, 50, 50, [&](long x, long y) { return level[TlBayerColourAt(phases, x, y)]; });
    std::vector<std::uint16_t> red(4096), green(4096), blue(4096);
    for (std::size_t i = 0; i < 4096; ++i) {
        red[i] = std::uint16_t(i * 2 > 4095 ? 4095 : i * 2);
        green[i] = std::uint16_t(i);
        blue[i] = std::uint16_t(i * 5 / 4);
    }
    for (Quality quality : {Quality::Standard, Quality::High}) {
        SCOPED_TRACE(NameOf(quality));
        auto filter = MakeFilter(quality, manager);
        ExpectOk(KelvraDataConnect(image, filter.get()));
        ExpectOk(filter->SetPixelMap(layout.bytes.data(), layout.bytes.size(), false));
        ExpectOk(filter->SetChannelLuts(12, 12, red.data(), green.data(), blue.data(), false));
        const SampleGrid out = ReadSampleGrid(filter.get());
        for (long c = 0; c < 3; ++c)
            EXPECT_NEAR(Expected16(1000), out.At(20, 17, c), 2) << c; // grey after white balance
    }
    image->Release();
}

TEST_F(DeBayerPixelsTest, ProcessingSwitchedOffPassesTheSourceThrough)
{
    IKelvraImage* image = MakeMosaic(manager, 40, 30, Busy, kKelvraRawPlain);
    CDeBayerHQFilter filter(manager);
    ExpectOk(KelvraDataConnect(image, &filter));
    ExpectOk(filter.SetDeBayerMode(CDeBayerFilterBase::kModeOff, false));
    EXPECT_EQ(ReadAllSamples(image), ReadAllSamples(&filter));
    KelvraPixelFormat format = 0;
    ExpectOk(filter.GetColorSpace(&format));
    EXPECT_EQ(kKelvraRawPlain, format);
    ExpectOk(filter.SetDeBayerMode(CDeBayerFilterBase::kModeDemosaic, false));
    ExpectError(filter.GetColorSpace(&format), kKelvraTextError, kTlDeBayerBaseTag);
    image->Release();
}

TEST_F(DeBayerPixelsTest, OtherSourceFormatsAreRefused)
{
    IKelvraImage* image = MakeBlankImage(manager, 40, 30, kKelvraGrey16);
    CDeBayerStdFilter filter(manager);
    ExpectOk(KelvraDataConnect(image, &filter));
    const KelvraRect all(0, 0, 28, 18);
    frame_test::FakeTile tile(all, all, kKelvraRGB16);
    ExpectError(filter.DoGenerateTile(&tile, nullptr), kKelvraTextError, TlFilterId("db1s"));
    EXPECT_TRUE(tile.IsUntouched());
    EXPECT_FALSE(tile.IsComplete());
    image->Release();
}

} // namespace
