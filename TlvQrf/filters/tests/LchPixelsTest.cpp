// The pixel work of the LCH editor and the chroma booster on lightness,
// chroma and hue pixels: neutral curves change nothing, curves act on the
// hues they name, prepared tables follow the bit depth, the booster's
// threshold holds weak colours back, and runs without their tables or on
// other formats make nothing.
#include "ColourFilterTestSupport.h"
#include "PixelFilterTestSupport.h"

#include "filters/chromabooster/TlChromaBoosterFilter.h"
#include "filters/lch/TlFltLch.h"
#include "filters/saturation/TlSaturationCompensationFilter.h"

#include <memory>
#include <vector>

using namespace colour_test;
using pixel_test::MakeRowOf;
using pixel_test::OutputAsOneTile;

namespace {

using Table = CFltLch::Table;
using Pixels = std::vector<std::vector<unsigned>>;

constexpr KelvraPixelFormat kDepths[] = {kKelvraLCh8, kKelvraLCh16};

// An 8-bit sample in the width of `format`.
unsigned Wide(unsigned value, KelvraPixelFormat format)
{
    return format == kKelvraLCh16 ? value * 257 : value;
}

// Every mix of dark to light, grey to vivid and a turn of hues.
Pixels SpreadOfPixels(KelvraPixelFormat format)
{
    Pixels pixels;
    for (unsigned l : {0u, 4u, 20u, 36u, 128u, 255u})
        for (unsigned c : {0u, 3u, 40u, 120u, 255u})
            for (unsigned h : {0u, 60u, 128u, 200u, 255u})
                pixels.push_back({Wide(l, format), Wide(c, format), Wide(h, format)});
    return pixels;
}

std::vector<unsigned> Flatten(const Pixels& pixels)
{
    std::vector<unsigned> samples;
    for (const auto& pixel : pixels)
        samples.insert(samples.end(), pixel.begin(), pixel.end());
    return samples;
}

// The filter's output for one row of `pixels`.
std::vector<unsigned> Filtered(IKelvraFilter& filter, IKelvraManager* manager, KelvraPixelFormat format,
                               const Pixels& pixels)
{
    IKelvraImage* image = MakeRowOf(manager, format, pixels);
    std::vector<unsigned> output = OutputAsOneTile(filter, image);
    image->Release();
    return output;
}

// 16-bit curve tables: identity lightness and hue, no chroma change.
struct NeutralCurves {
    Table lightness = Table(65536);
    Table hue = Table(65536);
    Table chroma = Table(65536, 32768);
    NeutralCurves()
    {
        for (std::size_t k = 0; k < 65536; ++k)
            lightness[k] = hue[k] = std::uint16_t(k);
    }
    IKelvraError* SetOn(CFltLch& lch) const
    {
        const std::uint16_t* const tables[3] = {lightness.data(), hue.data(), chroma.data()};
        return lch.SetLuts(tables, 16, 16, 3, false);
    }
};

class BoosterProbe : public CChromaBoosterFilter {
public:
    using CChromaBoosterFilter::CChromaBoosterFilter;
    using CFltLch::PreparedThreshold;
};

class LchPixelsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(calibrations.IsReady());
        ExpectOk(lch.LoadCalibration(nullptr));
        ExpectOk(booster.LoadCalibration(nullptr));
    }

    ShippedCalibrations calibrations;
    ManagerHolder holder;
    CFltLch lch{holder.manager};
    BoosterProbe booster{holder.manager};
};

TEST_F(LchPixelsTest, NeutralCurvesReturnTheInput)
{
    ExpectOk(NeutralCurves().SetOn(lch));
    for (KelvraPixelFormat format : kDepths) {
        SCOPED_TRACE(format);
        const Pixels pixels = SpreadOfPixels(format);
        EXPECT_EQ(Flatten(pixels), Filtered(lch, holder.manager, format, pixels));
    }
}

TEST_F(LchPixelsTest, HueAndChromaCurvesActOnTheHuesTheyNameOnly)
{
    NeutralCurves curves;
    for (std::size_t h = 0x4000; h < 0x5000; ++h)
        curves.hue[h] = std::uint16_t(h + 0x800); // these hues turn a little
    for (std::size_t h = 0xA000; h < 0xB000; ++h)
        curves.chroma[h] = 65535; // these hues gain chroma
    for (std::size_t h = 0xC000; h < 0xD000; ++h)
        curves.chroma[h] = 0; // and these lose it
    ExpectOk(curves.SetOn(lch));
    for (KelvraPixelFormat format : kDepths) {
        SCOPED_TRACE(format);
        const unsigned light = Wide(200, format), chroma = Wide(120, format);
        const unsigned turned = Wide(0x48, format), boosted = Wide(0xA8, format), faded = Wide(0xC8, format);
        const Pixels pixels = {{light, chroma, Wide(0x10, format)}, {light, chroma, turned},
                               {light, chroma, Wide(0x80, format)}, {light, chroma, boosted},
                               {light, chroma, Wide(0xE0, format)}, {light, chroma, faded}};
        const std::vector<unsigned> out = Filtered(lch, holder.manager, format, pixels);
        for (std::size_t i : {0, 2, 4})
            EXPECT_EQ(pixels[i], std::vector<unsigned>(out.begin() + 3 * i, out.begin() + 3 * i + 3)) << i;
        EXPECT_EQ(chroma, out[4]);
        EXPECT_EQ(format == kKelvraLCh16 ? 0x5048u : 0x50u, out[5]);
        EXPECT_GT(out[10], chroma);
        EXPECT_EQ(boosted, out[11]);
        EXPECT_NEAR(chroma / 4.0, out[16], 1.0) << "a negative change divides by four";
        EXPECT_EQ(faded, out[17]);
    }
}

TEST_F(LchPixelsTest, SwitchingBitDepthRebuildsEveryPreparedTable)
{
    ExpectOk(NeutralCurves().SetOn(lch));
    for (KelvraPixelFormat format : {kKelvraLCh8, kKelvraLCh16, kKelvraLCh8}) {
        SCOPED_TRACE(format);
        Filtered(lch, holder.manager, format, {{1, 2, 3}});
        const int bits = format == kKelvraLCh16 ? 16 : 8;
        const std::size_t entries = std::size_t(1) << bits;
        EXPECT_EQ(bits, lch.GetPreparedBits());
        EXPECT_FALSE(lch.AreTablesStale());
        EXPECT_FALSE(lch.IsThresholdStale());
        EXPECT_EQ(entries, lch.GetPreparedCurve(CFltLch::kLightnessCurve).size());
        EXPECT_EQ(entries, lch.GetPreparedCurve(CFltLch::kHueCurve).size());
        EXPECT_EQ(entries, lch.GetChromaChange().size());
        ASSERT_EQ(entries, lch.GetPreparedThreshold().size());
        EXPECT_EQ(entries - 1, lch.GetPreparedCurve(CFltLch::kHueCurve).back());
        // A quarter of the chroma range at most, in the new depth.
        EXPECT_GT(Wide(64, format), *std::max_element(lch.GetPreparedThreshold().begin(),
                                                      lch.GetPreparedThreshold().end()));
    }
}

TEST_F(LchPixelsTest, BoosterAtLevelZeroChangesNothingWhateverTheThreshold)
{
    for (bool threshold : {false, true}) {
        ExpectOk(booster.SetThresholdEnabled(threshold, false));
        for (KelvraPixelFormat format : kDepths) {
            SCOPED_TRACE(testing::Message() << "threshold " << threshold << ", format " << format);
            const Pixels pixels = SpreadOfPixels(format);
            EXPECT_EQ(Flatten(pixels), Filtered(booster, holder.manager, format, pixels));
        }
    }
}

TEST_F(LchPixelsTest, BoosterThresholdSwitchedOffAndOnComesBackWithoutARebuild)
{
    ExpectOk(booster.SetThresholdEnabled(true, false));
    ExpectOk(booster.SetLevel(100, false));
    Filtered(booster, holder.manager, kKelvraLCh16, {{1, 2, 3}});
    ASSERT_EQ(65536u, booster.PreparedThreshold().size());
    booster.PreparedThreshold()[0] = 30000; // a rebuild would lose it

    ExpectOk(booster.SetThresholdEnabled(false, false));
    const Pixels strong = {{65535, 20000, 0}};
    EXPECT_LT(20000u, Filtered(booster, holder.manager, kKelvraLCh16, strong)[1]) << "no threshold while off";
    ExpectOk(booster.SetThresholdEnabled(true, false));
    EXPECT_EQ(20000u, Filtered(booster, holder.manager, kKelvraLCh16, strong)[1]) << "the parked threshold holds it";
    EXPECT_EQ(30000, booster.PreparedThreshold()[0]);
    EXPECT_FALSE(booster.IsThresholdStale());
}

TEST_F(LchPixelsTest, BoosterNeverRaisesChromaAtOrBelowItsHuesThreshold)
{
    ExpectOk(booster.SetThresholdEnabled(true, false));
    for (KelvraPixelFormat format : kDepths) {
        SCOPED_TRACE(format);
        Filtered(booster, holder.manager, format, {{1, 2, 3}}); // prepares the threshold
        const Table threshold = booster.PreparedThreshold();
        Pixels weak, strong;
        for (unsigned h : {0u, 38u, 60u, 107u, 180u, 255u}) {
            const unsigned hue = Wide(h, format), g = threshold[hue];
            ASSERT_GT(g, 0u);
            weak.push_back({Wide(255, format), g, hue});
            weak.push_back({Wide(128, format), g / 2, hue});
            strong.push_back({Wide(255, format), 3 * g, hue});
        }
        for (int level : {1, 25, 60, 100}) {
            SCOPED_TRACE(level);
            ExpectOk(booster.SetLevel(level, false));
            EXPECT_EQ(Flatten(weak), Filtered(booster, holder.manager, format, weak));
            const std::vector<unsigned> raised = Filtered(booster, holder.manager, format, strong);
            for (std::size_t i = 0; i < strong.size() && level >= 25; ++i)
                EXPECT_GT(raised[3 * i + 1], strong[i][1]) << "hue " << strong[i][2];
        }
    }
}

TEST_F(LchPixelsTest, WithoutCalibrationOrCurvesNothingIsMade)
{
    ManagerHolder other;
    CFltLch noCalibration(other.manager), noCurves(other.manager);
    CChromaBoosterFilter boosterWithout(other.manager);
    ExpectOk(NeutralCurves().SetOn(noCalibration));
    ExpectOk(noCurves.LoadCalibration(nullptr));
    for (IKelvraFilter* filter : std::initializer_list<IKelvraFilter*>{&noCalibration, &noCurves, &boosterWithout}) {
        SCOPED_TRACE(filter->GetFilterName());
        for (KelvraPixelFormat format : kDepths)
            pixel_test::ExpectTileRefused(*filter, other.manager, format, kKelvraOperationFailed);
    }
}

TEST_F(LchPixelsTest, OtherFormatsAreRefusedAsEachFilterSays)
{
    ExpectOk(NeutralCurves().SetOn(lch));
    const KelvraPixelFormat others[] = {kKelvraRGB8, kKelvraRGB16, kKelvraLab16, 0x10060204};
    for (KelvraPixelFormat format : others) {
        pixel_test::ExpectTileRefused(lch, holder.manager, format, kKelvraUnsupportedFormat);
        pixel_test::ExpectTileRefused(booster, holder.manager, format, kKelvraUnsupportedFormat);
    }
}

// Filters set to change pixels, each freshly made, with its tables unprepared.
std::vector<std::unique_ptr<CTlFilter>> ChangingFilters(IKelvraManager* manager)
{
    std::vector<std::unique_ptr<CTlFilter>> filters;
    auto lch = std::make_unique<CFltLch>(manager);
    ExpectOk(lch->LoadCalibration(nullptr));
    NeutralCurves curves;
    std::fill(curves.chroma.begin(), curves.chroma.begin() + 0x8000, 60000);
    ExpectOk(curves.SetOn(*lch));
    filters.push_back(std::move(lch));
    auto booster = std::make_unique<CChromaBoosterFilter>(manager);
    ExpectOk(booster->LoadCalibration(nullptr));
    ExpectOk(booster->SetThresholdEnabled(true, false));
    ExpectOk(booster->SetLevel(70, false));
    filters.push_back(std::move(booster));
    auto saturation = std::make_unique<CSaturationCompensationFilter>(manager);
    ExpectOk(saturation->SetLevel(6, false));
    filters.push_back(std::move(saturation));
    return filters;
}

TEST_F(LchPixelsTest, TilesMadeOnSeveralThreadsAtOnceMatchOneThread)
{
    IKelvraImage* image = MakePatternImage(holder.manager, 160, 120, kKelvraLCh16);
    const auto references = ChangingFilters(holder.manager);
    const auto shared = ChangingFilters(holder.manager);
    for (std::size_t f = 0; f < shared.size(); ++f) {
        SCOPED_TRACE(shared[f]->GetFilterName());
        pixel_test::ExpectSameTilesOnThreads(*references[f], *shared[f], image);
    }
    image->Release();
}

} // namespace
