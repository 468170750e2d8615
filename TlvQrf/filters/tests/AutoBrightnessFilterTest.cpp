// The auto-brightness filter: its name, its setters with their bypass
// rules, the levels and gain it reports to the auto-brightness record, and
// the stretch of its pixels between those levels.
#include "FilterRigs.h"
#include "PixelFilterTestSupport.h"

#include "filters/autobrightness/TlAutoBrightnessFilter.h"
#include "filters/autobrightness/TlBrightnessStretch.h"
#include "filters/autobrightness/TlLevelsFromHistogram.h"
#include "filters/frame/TlPixelFormats.h"
#include "filtrix/KelvraFilterHistogram.h"
#include "settings/small/TlAutoBrightnessState.h"

#include <cmath>
#include <initializer_list>
#include <utility>

using namespace filter_test;

namespace {

using AutoChain = ChainRig<CAutoBrightnessFilter>;

TEST(AutoBrightnessFilterTest, NamesItselfAndStartsBypassedWithoutLevels)
{
    AutoChain chain(kKelvraRGB16);
    CAutoBrightnessFilter& filter = chain.filter;
    EXPECT_EQ(0x41427274u, filter.GetFilterTag());
    EXPECT_STREQ("Auto Brightness", filter.GetFilterName());
    EXPECT_TRUE(chain.filter.IsBypassed());
    for (long channel = -1; channel < CAutoBrightnessFilter::kChannels; ++channel) {
        EXPECT_EQ(-1, filter.GetLowLevel(channel));
        EXPECT_EQ(-1, filter.GetHighLevel(channel));
    }
    EXPECT_EQ(0, filter.GetExposureCompensation());
    EXPECT_FALSE(filter.GetUseBlackLevel());
    EXPECT_FALSE(filter.GetApplyLevels());
    EXPECT_EQ(nullptr, filter.GetHistogram());
    EXPECT_EQ(0, filter.GetAutoGain());
}

const SetterCase<CAutoBrightnessFilter> kAutoSetters[] = {
    {"black level", [](CAutoBrightnessFilter& f, bool n) { return f.SetUseBlackLevel(false, n); },
     [](CAutoBrightnessFilter& f, bool n) { return f.SetUseBlackLevel(true, n); },
     [](const CAutoBrightnessFilter& f) { return f.GetUseBlackLevel(); }},
    {"exposure up", [](CAutoBrightnessFilter& f, bool n) { return f.SetExposureCompensation(0, n); },
     [](CAutoBrightnessFilter& f, bool n) { return f.SetExposureCompensation(128, n); },
     [](const CAutoBrightnessFilter& f) { return f.GetExposureCompensation() == 128; }},
    {"exposure down", [](CAutoBrightnessFilter& f, bool n) { return f.SetExposureCompensation(0, n); },
     [](CAutoBrightnessFilter& f, bool n) { return f.SetExposureCompensation(-256, n); },
     [](const CAutoBrightnessFilter& f) { return f.GetExposureCompensation() == -256; }},
};

TEST(AutoBrightnessFilterTest, BlackLevelAndExposureFollowTheSetterPattern)
{
    ExpectSetterPattern(kAutoSetters);
}

// The filter is bypassed exactly while neither the black level nor an
// exposure compensation (nor applied levels) changes anything.
TEST(AutoBrightnessFilterTest, BypassFollowsBlackLevelAndExposure)
{
    AutoChain chain(kKelvraRGB16);
    auto& filter = chain.filter;
    const struct {
        const char* step;
        void (*apply)(CAutoBrightnessFilter&);
        bool bypassed;
    } steps[] = {
        {"black level on", [](CAutoBrightnessFilter& f) { ExpectOk(f.SetUseBlackLevel(true, true)); }, false},
        {"exposure +1", [](CAutoBrightnessFilter& f) { ExpectOk(f.SetExposureCompensation(256, true)); }, false},
        {"black level off", [](CAutoBrightnessFilter& f) { ExpectOk(f.SetUseBlackLevel(false, true)); }, false},
        {"exposure 0", [](CAutoBrightnessFilter& f) { ExpectOk(f.SetExposureCompensation(0, true)); }, true},
        {"exposure -1", [](CAutoBrightnessFilter& f) { ExpectOk(f.SetExposureCompensation(-256, true)); }, false},
        {"black level on", [](CAutoBrightnessFilter& f) { ExpectOk(f.SetUseBlackLevel(true, true)); }, false},
        {"exposure 0", [](CAutoBrightnessFilter& f) { ExpectOk(f.SetExposureCompensation(0, true)); }, false},
        {"applied levels, black level off",
         [](CAutoBrightnessFilter& f) {
             f.SetApplyLevels(true);
             ExpectOk(f.SetUseBlackLevel(false, true));
         },
         false},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.step);
        s.apply(filter);
        EXPECT_EQ(s.bypassed, filter.IsBypassed());
    }
}

TEST(AutoBrightnessFilterTest, ExposureIsOnlyStoredWhileLevelsAreApplied)
{
    AutoChain chain(kKelvraRGB16);
    chain.filter.SetApplyLevels(true);
    ExpectOk(chain.filter.SetExposureCompensation(300, true));
    EXPECT_EQ(300, chain.filter.GetExposureCompensation());
    EXPECT_FALSE(chain.filter.IsStale());
    EXPECT_TRUE(chain.filter.IsBypassed());
    EXPECT_TRUE(chain.sink.notices.empty());
}

TEST(AutoBrightnessFilterTest, LevelsNobodyAppliesAreStoredQuietly)
{
    AutoChain chain(kKelvraRGB16);
    ExpectOk(chain.filter.SetLevels(-1, 1000, 60000, true));
    EXPECT_EQ(1000, chain.filter.GetLowLevel(2));
    EXPECT_EQ(60000, chain.filter.GetHighLevel(3));
    EXPECT_FALSE(chain.filter.IsStale());
    EXPECT_TRUE(chain.filter.IsBypassed());
    EXPECT_TRUE(chain.sink.notices.empty());
}

// The record that watches the filter takes the levels it reports.
TEST(AutoBrightnessFilterTest, AppliedLevelsReachTheWatchingRecordAndTheChain)
{
    for (bool applyLevels : {false, true}) {
        SCOPED_TRACE(applyLevels ? "applied levels" : "black level");
        AutoChain chain(kKelvraRGB16);
        CTlAutoBrightnessState record;
        ExpectOk(chain.filter.AddWatcher(&record));
        if (applyLevels)
            chain.filter.SetApplyLevels(true);
        else
            ExpectOk(chain.filter.SetUseBlackLevel(true, false));
        chain.filter.MarkFresh();

        ExpectOk(chain.filter.SetLevels(-1, 2000, 40000, true));
        ExpectOk(chain.filter.SetLevels(1, 1000, 50000, true));
        EXPECT_TRUE(chain.filter.IsStale());
        EXPECT_FALSE(chain.filter.IsBypassed());
        // Levels are not compared: each call is announced.
        EXPECT_EQ(2u, chain.sink.notices.size());
        EXPECT_EQ(KelvraRect(0, 0, kRigWidth, kRigHeight), chain.sink.notices.back().rect);
        EXPECT_EQ(1000, record.lowLevel);
        EXPECT_EQ(50000, record.highLevel);
        EXPECT_EQ(chain.filter.GetAutoGain(), record.autoGain);
        ExpectOk(chain.filter.RemoveWatcher(&record));
    }
}

TEST(AutoBrightnessFilterTest, LevelsForAChannelOutsideTheFourAreRefused)
{
    AutoChain chain(kKelvraRGB16);
    for (int channel : {-2, 4}) {
        ExpectError(chain.filter.SetLevels(channel, 1, 2, true), kKelvraBadArgument, TlFilterId("ABrt"));
        EXPECT_EQ(-1, chain.filter.GetLowLevel(-1));
    }
}

TEST(AutoBrightnessFilterTest, CombinedLevelsStopAtTheFirstUnsetChannel)
{
    const struct {
        const char* name;
        int low[4];
        int high[4];
        long combinedLow;
        long combinedHigh;
    } cases[] = {
        {"all set", {300, 100, 200, 400}, {60000, 61000, 59000, 50000}, 100, 61000},
        {"unset third channel", {300, 200, -1, 50}, {60000, 59000, -1, 65000}, 200, 60000},
        {"unset first channel", {-1, 100, 200, 300}, {-1, 61000, 62000, 63000}, -1, 63000},
        {"only the first", {700, -1, 5, 5}, {9000, -1, 65535, 65535}, 700, 9000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AutoChain chain(kKelvraRGB16);
        for (int channel = 0; channel < 4; ++channel)
            ExpectOk(chain.filter.SetLevels(channel, c.low[channel], c.high[channel], false));
        EXPECT_EQ(c.combinedLow, chain.filter.GetLowLevel(-1));
        EXPECT_EQ(c.combinedHigh, chain.filter.GetHighLevel(-1));
        EXPECT_EQ(c.low[2], chain.filter.GetLowLevel(2));
        EXPECT_EQ(c.high[3], chain.filter.GetHighLevel(3));
        EXPECT_EQ(-1, chain.filter.GetLowLevel(4));
        EXPECT_EQ(-1, chain.filter.GetHighLevel(-2));
    }
}

TEST(AutoBrightnessFilterTest, AutoGainFromTheCombinedLevels)
{
    const struct {
        const char* name;
        int low;
        int high;
        bool blackLevel;
        long gain;
    } cases[] = {
        {"half range is one stop", 0, 32767, false, 256},
        {"full range", 0, 65535, false, 0},
        {"black level ignored unless used", 16384, 32767, false, 256},
        {"black level used", 32767, 49151, true, 256},
        {"tiny range is held at two stops", 0, 10, false, 512},
        {"unset levels: no gain", -1, -1, false, 0},
        {"high not above low: no gain", 40000, 40000, true, 0},
        {"low at the top: no gain", 65535, 65535, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        AutoChain chain(kKelvraRGB16);
        ExpectOk(chain.filter.SetUseBlackLevel(c.blackLevel, false));
        ExpectOk(chain.filter.SetLevels(-1, c.low, c.high, false));
        EXPECT_EQ(c.gain, chain.filter.GetAutoGain());
    }
}

TEST(AutoBrightnessFilterTest, AnotherHistogramForgetsTheLevels)
{
    AutoChain chain(kKelvraRGB16);
    CKelvraFilterHistogram first(chain.holder.manager);
    CKelvraFilterHistogram second(chain.holder.manager);
    ExpectOk(chain.filter.SetUseBlackLevel(true, false));
    ExpectOk(chain.filter.SetLevels(-1, 100, 60000, false));

    chain.filter.MarkFresh();
    ExpectOk(chain.filter.SetHistogram(&first, true));
    EXPECT_EQ(&first, chain.filter.GetHistogram());
    EXPECT_TRUE(chain.filter.IsStale());
    EXPECT_TRUE(chain.filter.IsBypassed());
    EXPECT_EQ(100, chain.filter.GetLowLevel(0)); // no histogram before: levels kept

    ExpectOk(chain.filter.SetLevels(-1, 100, 60000, false));
    chain.filter.MarkFresh();
    ExpectOk(chain.filter.SetHistogram(&first, true));
    EXPECT_FALSE(chain.filter.IsStale());
    EXPECT_FALSE(chain.filter.IsBypassed());

    ExpectOk(chain.filter.SetHistogram(&second, true));
    EXPECT_EQ(&second, chain.filter.GetHistogram());
    EXPECT_EQ(-1, chain.filter.GetLowLevel(0));
    EXPECT_EQ(-1, chain.filter.GetHighLevel(-1));
    ExpectOk(chain.filter.SetHistogram(nullptr, true));
    EXPECT_EQ(nullptr, chain.filter.GetHistogram());
}

std::vector<std::uint32_t> Counts(std::size_t bins, std::initializer_list<std::pair<std::size_t, std::uint32_t>> filled)
{
    std::vector<std::uint32_t> counts(bins, 0);
    for (const auto& bin : filled)
        counts[bin.first] = bin.second;
    return counts;
}

TEST(LevelsFromHistogramTest, ClippedEndsAreSpreadOntoTheSixteenBitScale)
{
    const struct {
        const char* name;
        std::vector<std::uint32_t> counts;
        long bits;
        std::uint64_t clipped;
        std::int32_t low;
        std::int32_t high;
    } cases[] = {
        {"all pixels in bin 0: bins 0 and 1", Counts(256, {{0, 1000}}), 8, 5, 0, 258},
        {"one pixel per bin: bins 9 and 246", std::vector<std::uint32_t>(256, 1), 8, 10, 2005, 63529},
        {"ten-bit bins 100 and 900", Counts(1024, {{100, 50}, {500, 900}, {900, 50}}), 10, 5, 6141, 57858},
        {"one bin: identity", Counts(256, {{5, 100}}), 8, 1, 0, 65535},
        {"clipped ends meet: identity", Counts(256, {{0, 3}, {128, 994}, {255, 3}}), 8, 5, 0, 65535},
        {"fewer bins than the bits say: identity", Counts(255, {{0, 1}}), 8, 1, 0, 65535},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TlChannelLevels levels = TlLevelsFromHistogram(c.counts, c.bits, c.clipped);
        EXPECT_EQ(c.low, levels.low);
        EXPECT_EQ(c.high, levels.high);
    }
}

// A picture whose samples keep to the middle tones, so that its levels
// stretch it.
IKelvraImage* MidTonesImage(IKelvraManager* manager, KelvraPixelFormat format)
{
    const long planes = long(KelvraPlaneCount(format));
    std::vector<unsigned> samples;
    for (long i = 0; i < kRigWidth * kRigHeight * planes; ++i) {
        const unsigned value = 60 + unsigned(i * 7 % 121);
        samples.push_back(KelvraIs16Bit(format) ? value * 257 : value);
    }
    return pixel_test::MakeImageOf(manager, kRigWidth, kRigHeight, format, samples);
}

// Image -> histogram -> auto brightness: a completed histogram gives the
// filter its levels, and the watching record hears of them.
TEST(AutoBrightnessFilterTest, CompletedHistogramGivesLevelsToTheWatchingRecord)
{
    const struct {
        KelvraPixelFormat format;
        int channelsWithLevels;
    } cases[] = {{kKelvraGrey8, 1}, {kKelvraRGB8, 3}, {kKelvraRGB16, 3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        ManagerHolder holder;
        IKelvraImage* image = MidTonesImage(holder.manager, c.format);
        CKelvraFilterHistogram histogram(holder.manager);
        Probe<CAutoBrightnessFilter> filter(holder.manager);
        frame_test::NoticeSink sink;
        CTlAutoBrightnessState record;
        ExpectOk(KelvraDataConnect(image, &histogram));
        ExpectOk(KelvraDataConnect(&histogram, &filter));
        ExpectOk(KelvraDataConnect(&filter, &sink));
        ExpectOk(filter.AddWatcher(&record));
        ExpectOk(filter.SetUseBlackLevel(true, false));
        ExpectOk(filter.SetHistogram(&histogram, true));
        EXPECT_EQ(-1, filter.GetHighLevel(0));

        ExpectOk(histogram.ForceCompletion());
        ASSERT_TRUE(histogram.IsComplete());
        for (int channel = 0; channel < CAutoBrightnessFilter::kChannels; ++channel) {
            SCOPED_TRACE(channel);
            const bool expected = channel < c.channelsWithLevels;
            EXPECT_EQ(expected, filter.GetHighLevel(channel) > 0);
            EXPECT_EQ(expected, filter.GetLowLevel(channel) >= 0);
        }
        EXPECT_EQ(filter.GetLowLevel(-1), record.lowLevel);
        EXPECT_EQ(filter.GetHighLevel(-1), record.highLevel);
        EXPECT_EQ(filter.GetAutoGain(), record.autoGain);
        // Found levels reach the pixels once the black level is switched
        // on again (a level update from the histogram keeps the bypass).
        ExpectOk(filter.SetUseBlackLevel(false, false));
        ExpectOk(filter.SetUseBlackLevel(true, true));
        ASSERT_FALSE(filter.IsBypassed());
        const CTlBrightnessStretch stretch(
            TlStretchSettings{filter.GetLowLevel(-1), filter.GetHighLevel(-1), false, 0});
        ASSERT_GT(stretch.Low(), 0);
        const std::vector<unsigned> input = ReadAllSamples(image);
        std::vector<unsigned> expected;
        for (unsigned sample : input)
            expected.push_back(KelvraIs16Bit(c.format) ? stretch.Map(std::uint16_t(sample))
                                                       : stretch.Map(std::uint8_t(sample)));
        EXPECT_EQ(expected, ReadAllSamples(&filter));
        EXPECT_NE(input, expected);

        ExpectOk(filter.RemoveWatcher(&record));
        ExpectOk(KelvraDataDisconnect(&filter, &sink));
        ExpectOk(KelvraDataDisconnect(&histogram, &filter));
        ExpectOk(KelvraDataDisconnect(image, &histogram));
        image->Release();
    }
}

// The levels the stretch maps onto black and white.
TEST(BrightnessStretchTest, LevelsWithTheirClampsAndTheExposureRule)
{
    const struct {
        const char* name;
        TlStretchSettings settings;
        long low;
        long high;
    } cases[] = {
        {"unset levels: identity", {-1, -1, true, 0}, 0, 65535},
        {"unset white level: identity", {3000, -1, true, 0}, 0, 65535},
        {"applied levels as they are", {1000, 50000, true, 0}, 1000, 50000},
        {"black 60000 held at 52428, white raised past it", {60000, 100, true, 0}, 52428, 65535},
        {"white 100 raised to 13107", {0, 100, true, 0}, 0, 13107},
        {"white kept a fifth above black", {20000, 30000, true, 0}, 20000, 33107},
        {"exposure 0 puts white at the top", {1000, 30000, false, 0}, 1000, 65535},
        {"exposure -1 EV from black 0", {0, 40000, false, -256}, 32768, 40000},
        {"exposure -1 EV on unset levels", {-1, -1, false, -256}, 32768, 65535},
        {"exposure +1 EV halves the range", {0, 40000, false, 256}, 0, 32768},
        {"strong negative exposure keeps a tenth below white", {0, 40000, false, -2560}, 33447, 40000},
        {"strong positive exposure keeps a tenth above black", {10000, 40000, false, 2560}, 10000, 16553},
        {"applied levels ignore the exposure", {1000, 50000, true, -512}, 1000, 50000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const CTlBrightnessStretch stretch(c.settings);
        EXPECT_EQ(c.low, stretch.Low());
        EXPECT_EQ(c.high, stretch.High());
    }
}

TEST(BrightnessStretchTest, SamplesOfBothDepthsMapBetweenTheLevels)
{
    const CTlBrightnessStretch stretch(TlStretchSettings{2560, 28160, true, 0}); // 8-bit 10 to 110
    const struct {
        unsigned in;
        unsigned out;
    } eightBit[] = {{0, 0}, {9, 0}, {10, 0}, {11, 2}, {60, 127}, {109, 252}, {110, 255}, {255, 255}};
    for (const auto& c : eightBit) {
        SCOPED_TRACE(c.in);
        EXPECT_EQ(c.out, stretch.Map(std::uint8_t(c.in)));
    }
    // 16 bits: the ideal stretch, truncated, within one unit.
    for (unsigned s = 0; s <= 65535; s += 97) {
        SCOPED_TRACE(s);
        const double ideal = s <= 2560 ? 0.0 : s > 28160 ? 65535.0 : 65535.0 * (s - 2560.0) / (28160.0 - 2560.0);
        const double mapped = stretch.Map(std::uint16_t(s));
        EXPECT_LE(mapped, ideal);
        EXPECT_GE(mapped, std::floor(ideal) - 1.0);
    }
}

struct PixelCase {
    KelvraPixelFormat format;
    bool stretchesFirst;
    bool stretchesOthers;
};

const PixelCase kPixelCases[] = {
    {kKelvraGrey8, true, true},         {kKelvraRGB8, true, true},          {kKelvraGrey16, true, true},
    {kKelvraRGB16, true, true},         {kKelvraLCh8, true, false},         {0x08060204, true, false},
    {kTlThreeSample8Last, true, false}, {kKelvraLCh16, true, false},        {kKelvraLab16, true, false},
    {kTlThreeSample16Last, true, false}, {kKelvraCMYK8, false, false},
};

TEST(AutoBrightnessPixelsTest, EachLayoutStretchesItsSamples)
{
    ManagerHolder holder;
    const TlStretchSettings settings{5000, 30000, true, 0};
    const CTlBrightnessStretch stretch(settings);
    for (const auto& c : kPixelCases) {
        SCOPED_TRACE(c.format);
        IKelvraImage* image = MakePatternImage(holder.manager, kRigWidth, kRigHeight, c.format);
        Probe<CAutoBrightnessFilter> filter(holder.manager);
        filter.SetApplyLevels(true);
        ExpectOk(filter.SetUseBlackLevel(true, false));
        ExpectOk(filter.SetLevels(-1, int(settings.low), int(settings.high), false));
        const std::vector<unsigned> input = ReadAllSamples(image);
        const std::vector<unsigned> output = pixel_test::OutputAsOneTile(filter, image);
        ASSERT_EQ(input.size(), output.size());
        const std::size_t planes = KelvraPlaneCount(c.format);
        const bool wide = KelvraIs16Bit(c.format);
        for (std::size_t i = 0; i < input.size(); ++i) {
            const bool stretched = i % planes == 0 ? c.stretchesFirst : c.stretchesOthers;
            const unsigned expected =
                !stretched ? input[i] : wide ? stretch.Map(std::uint16_t(input[i])) : stretch.Map(std::uint8_t(input[i]));
            ASSERT_EQ(expected, output[i]) << "sample " << i;
        }
        if (c.stretchesFirst) {
            EXPECT_NE(input, output);
        }
        image->Release();
    }
}

TEST(AutoBrightnessPixelsTest, UnsetLevelsLeaveEveryLayoutUnchanged)
{
    ManagerHolder holder;
    for (const auto& c : kPixelCases) {
        SCOPED_TRACE(c.format);
        IKelvraImage* image = MakePatternImage(holder.manager, kRigWidth, kRigHeight, c.format);
        Probe<CAutoBrightnessFilter> filter(holder.manager);
        ExpectOk(filter.SetUseBlackLevel(true, false));
        EXPECT_EQ(ReadAllSamples(image), pixel_test::OutputAsOneTile(filter, image));
        image->Release();
    }
}

TEST(AutoBrightnessPixelsTest, TilesMadeOnSeveralThreadsAtOnceMatchOneThread)
{
    ManagerHolder holder;
    IKelvraImage* image = MakePatternImage(holder.manager, 160, 120, kKelvraRGB16);
    Probe<CAutoBrightnessFilter> reference(holder.manager);
    Probe<CAutoBrightnessFilter> shared(holder.manager);
    for (CAutoBrightnessFilter* filter : {&reference, &shared}) {
        ExpectOk(filter->SetUseBlackLevel(true, false));
        ExpectOk(filter->SetExposureCompensation(-100, false));
        ExpectOk(filter->SetLevels(-1, 4000, 50000, false));
    }
    pixel_test::ExpectSameTilesOnThreads(reference, shared, image);
    image->Release();
}

} // namespace
