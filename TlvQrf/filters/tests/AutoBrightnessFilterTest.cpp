// The auto-brightness filter: its name, its setters with their bypass
// rules, the levels and gain it reports to the auto-brightness record, and
// the pixels it passes while its stretch is not there.
#include "FilterRigs.h"

#include "filters/autobrightness/TlAutoBrightnessFilter.h"
#include "filters/autobrightness/TlLevelsFromHistogram.h"
#include "filtrix/KelvraFilterHistogram.h"
#include "settings/small/TlAutoBrightnessState.h"

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
        IKelvraImage* image = MakePatternImage(holder.manager, kRigWidth, kRigHeight, c.format);
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
        ExpectOutputEqualsSource(&filter, image);

        ExpectOk(filter.RemoveWatcher(&record));
        ExpectOk(KelvraDataDisconnect(&filter, &sink));
        ExpectOk(KelvraDataDisconnect(&histogram, &filter));
        ExpectOk(KelvraDataDisconnect(image, &histogram));
        image->Release();
    }
}

TEST(AutoBrightnessFilterTest, PixelsPassUnchangedBypassedOrNot)
{
    for (KelvraPixelFormat format : {kKelvraGrey8, kKelvraRGB8, kKelvraGrey16, kKelvraRGB16, kKelvraCMYK8}) {
        SCOPED_TRACE(format);
        AutoChain chain(format);
        ExpectOutputEqualsSource(&chain.filter, chain.image);
        ExpectOk(chain.filter.SetUseBlackLevel(true, true));
        ExpectOk(chain.filter.SetLevels(-1, 5000, 30000, true));
        ASSERT_FALSE(chain.filter.IsBypassed());
        ExpectOutputEqualsSource(&chain.filter, chain.image);
    }
}

} // namespace
