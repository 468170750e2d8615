// The plug-in filter running the test plug-in through the Windows host: the
// pixels it makes, the order of the selectors, the parameter block, refused
// formats, cancelling, progress, runs from two threads and small images.
#include "FilterRigs.h"
#include "PluginTestSupport.h"

#include "filters/plugin/TlPluginWin.h"
#include "filters/pluginfilter/TlPluginHostFilter.h"
#include "filtrix/KelvraFilterScale.h"

#include <thread>

using namespace filter_test;
using namespace plugin_test;

namespace {

// A loaded test plug-in (declared before any filter it is attached to).
struct LoadedHost {
    explicit LoadedHost(const TlTestPluginParameters& parameters = Parameters(100))
    {
        EXPECT_EQ(kPsNoError, host.Load(EntryFor(kTestPlugin)));
        GiveParameters(host, parameters);
    }
    CPluginWin host;
};

struct ProgressWatcher : CKelvraFilterWatcher {
    int OnNotify(IKelvraFilter*, long code, void* data) override
    {
        if (code == kKelvraWatchProgress)
            records.push_back(*static_cast<const KelvraProgress*>(data));
        return 0;
    }
    std::vector<KelvraProgress> records;
};

TEST(PluginFilterRunTest, FiltersPixelsOfEveryFormatInBothLayouts)
{
    for (KelvraPixelFormat format : {kKelvraGrey8, kKelvraGrey16, kKelvraRGB8, kKelvraRGB16}) {
        for (std::uint8_t layout : {kPsLayoutInterleaved, kPsLayoutPlanar}) {
            for (std::uint16_t amount : {100, 40}) {
                SCOPED_TRACE(testing::Message() << std::hex << format << " layout " << int(layout) << " amount "
                                                << std::dec << amount);
                LoadedHost loaded(Parameters(amount, layout));
                ChainRig<CPluginHostFilter> chain(format);
                ExpectOk(chain.filter.SetPlugin(&loaded.host, true));
                ExpectOk(chain.filter.RunPlugin(CPluginHostFilter::kOwnSources));
                EXPECT_EQ(Filtered(ReadAllSamples(chain.image), format, amount), ReadAllSamples(&chain.filter));
            }
        }
    }
}

TEST(PluginFilterRunTest, ATileRunSendsTheSelectorsInOrder)
{
    LoadedHost loaded;
    ChainRig<CPluginHostFilter> chain(kKelvraRGB8);
    ExpectOk(chain.filter.SetPlugin(&loaded.host, true));
    ReadAllSamples(&chain.filter);
    EXPECT_EQ((std::vector<int>{kPsSelectorInitialise, kPsSelectorParameters, kPsSelectorPrepare, kPsSelectorRun,
                                kPsSelectorStart, kPsSelectorContinueDelivered, kPsSelectorFinish}),
              PluginSelectors());
}

TEST(PluginFilterRunTest, RefusedAndMissingHostsLeaveThePixelsAlone)
{
    ManagerHolder holder;
    IKelvraImage* cmyk = MakeBlankImage(holder.manager, 8, 8, 0x10080202);
    {
        LoadedHost loaded;
        CPluginHostFilter filter(holder.manager);
        ExpectOk(KelvraDataConnect(cmyk, &filter));
        ExpectOk(filter.SetPlugin(&loaded.host, false));
        ExpectError(filter.RunPlugin(CPluginHostFilter::kOwnSources), kKelvraUnsupportedFormat, TlFilterId("Plug"));
        KelvraDataDisconnect(cmyk, &filter);
    }
    cmyk->Release();

    LoadedHost loaded;
    ChainRig<CPluginHostFilter> chain(kKelvraRGB16);
    ExpectOk(chain.filter.SetPlugin(&loaded.host, true));
    ExpectOk(chain.filter.SetPlugin(nullptr, true));
    ExpectOutputEqualsSource(&chain.filter, chain.image);
}

TEST(PluginFilterRunTest, CancelledPreparationIsNoError)
{
    LoadedHost loaded;
    ChainRig<CPluginHostFilter> chain(kKelvraGrey8);
    ExpectOk(chain.filter.SetPlugin(&loaded.host, false));
    FailSelector(kPsSelectorPrepare, CPluginHostFilter::kPluginCancelled);
    ExpectOk(chain.filter.RunPlugin(CPluginHostFilter::kOwnSources));
    EXPECT_TRUE(chain.filter.IsCancelled());
}

TEST(PluginFilterRunTest, PluginErrorsReachTheCallerWrapped)
{
    LoadedHost loaded;
    ChainRig<CPluginHostFilter> chain(kKelvraGrey8);
    ExpectOk(chain.filter.SetPlugin(&loaded.host, false));
    FailSelector(kPsSelectorRun, kPsBadParameter);
    ExpectError(chain.filter.RunPlugin(CPluginHostFilter::kOwnSources), kKelvraOperationFailed, TlFilterId("Plug"));
    EXPECT_FALSE(chain.filter.IsCancelled());
}

TEST(PluginFilterRunTest, ProgressRecordsCarryTheFilterTag)
{
    LoadedHost loaded;
    ChainRig<CPluginHostFilter> chain(kKelvraRGB8);
    ProgressWatcher watcher;
    ExpectOk(chain.filter.AddWatcher(&watcher));
    ExpectOk(chain.filter.SetPlugin(&loaded.host, false));
    ExpectOk(chain.filter.RunPlugin(CPluginHostFilter::kOwnSources));
    ASSERT_EQ(3u, watcher.records.size());
    const std::int32_t expected[3][2] = {{0, 1}, {100, 100}, {100, 100}};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(CPluginHostFilter::kId, watcher.records[i].phase);
        EXPECT_EQ(expected[i][0], watcher.records[i].current);
        EXPECT_EQ(expected[i][1], watcher.records[i].total);
        EXPECT_EQ(1, watcher.records[i].valid);
        EXPECT_EQ(1, watcher.records[i].carryOn);
    }
    // A run that is not needed reports nothing.
    ExpectOk(chain.filter.RunPlugin(CPluginHostFilter::kOwnSources));
    EXPECT_EQ(3u, watcher.records.size());
    ExpectOk(chain.filter.RemoveWatcher(&watcher));
}

TEST(PluginFilterRunTest, ParametersChangedByThePluginAreKept)
{
    for (bool counts : {false, true}) {
        SCOPED_TRACE(counts);
        LoadedHost loaded(Parameters(100, kPsLayoutInterleaved, 1, counts));
        ChainRig<CPluginHostFilter> chain(kKelvraRGB8);
        ExpectOk(chain.filter.SetPlugin(&loaded.host, false));
        ExpectOk(chain.filter.RunPlugin(CPluginHostFilter::kOwnSources));
        const TlTestPluginParameters held = HeldParameters(loaded.host);
        EXPECT_EQ(kTlTestPluginMagic, held.magic);
        EXPECT_EQ(counts ? 1u : 0u, held.finishes);
    }
    // Without a block the plug-in makes its own, which the host keeps.
    CPluginWin host;
    ASSERT_EQ(kPsNoError, host.Load(EntryFor(kTestPlugin)));
    ChainRig<CPluginHostFilter> chain(kKelvraGrey8);
    ExpectOk(chain.filter.SetPlugin(&host, false));
    ExpectOk(chain.filter.RunPlugin(CPluginHostFilter::kOwnSources));
    EXPECT_EQ(kTlTestPluginDefaultAmount, HeldParameters(host).amount);
}

TEST(PluginFilterRunTest, RunsFromTwoThreadsTakeTurns)
{
    LoadedHost first;
    LoadedHost second(Parameters(60));
    ChainRig<CPluginHostFilter> left(kKelvraRGB16);
    ChainRig<CPluginHostFilter> right(kKelvraGrey16);
    ExpectOk(left.filter.SetPlugin(&first.host, false));
    ExpectOk(right.filter.SetPlugin(&second.host, false));
    std::vector<unsigned> leftPixels, rightPixels;
    std::thread one([&] {
        for (int i = 0; i < 20; ++i) {
            first.host.MarkChanged();
            leftPixels = ReadAllSamples(&left.filter);
        }
    });
    std::thread two([&] {
        for (int i = 0; i < 20; ++i) {
            second.host.MarkChanged();
            rightPixels = ReadAllSamples(&right.filter);
        }
    });
    one.join();
    two.join();
    const std::vector<int> log = PluginLog();
    ASSERT_FALSE(log.empty());
    for (std::size_t i = 0; i + 1 < log.size(); i += 2)
        ASSERT_EQ(log[i] + kTlTestPluginExit, log[i + 1]) << "at " << i;
    EXPECT_EQ(Filtered(ReadAllSamples(left.image), kKelvraRGB16, 100), leftPixels);
    EXPECT_EQ(Filtered(ReadAllSamples(right.image), kKelvraGrey16, 60), rightPixels);
}

TEST(PluginFilterRunTest, ImagesUnderAHundredPixelsRun)
{
    ManagerHolder holder;
    IKelvraImage* image = MakePatternImage(holder.manager, 9, 9, kKelvraRGB8);
    {
        LoadedHost loaded;
        CPluginHostFilter filter(holder.manager);
        ExpectOk(KelvraDataConnect(image, &filter));
        ExpectOk(filter.SetPlugin(&loaded.host, false));
        ExpectOk(filter.RunPlugin(CPluginHostFilter::kOwnSources));
        EXPECT_EQ(Filtered(ReadAllSamples(image), kKelvraRGB8, 100), ReadAllSamples(&filter));
        KelvraDataDisconnect(image, &filter);
    }
    image->Release();
}

TEST(PluginFilterRunTest, InputRateOfTwoReadsTheHalfScaleSource)
{
    ManagerHolder holder;
    IKelvraImage* image = MakePatternImage(holder.manager, 40, 30, kKelvraRGB16);
    {
        CKelvraFilterScale half(holder.manager, CKelvraFilterScale::kArea);
        ExpectOk(KelvraDataConnect(image, &half));
        ExpectOk(half.SetScale(0.5, false));
        const SampleGrid reduced = ReadSampleGrid(&half);
        KelvraDataDisconnect(image, &half);

        LoadedHost loaded(Parameters(100, kPsLayoutInterleaved, 2));
        CPluginHost& host = loaded.host;
        host.SetImage(image, 1.0, 300.0);
        ASSERT_EQ(kPsNoError, host.BeginFilter(image, 0, false, nullptr));
        ASSERT_EQ(kPsNoError, host.PrepareFilter());
        ASSERT_EQ(kPsNoError, host.RunFilter(nullptr, nullptr));
        long rowBytes = 0;
        bool interleaved = false;
        const auto* output = static_cast<const std::uint16_t*>(host.GetOutput(&rowBytes, &interleaved));
        ASSERT_NE(nullptr, output);
        EXPECT_TRUE(interleaved);
        EXPECT_EQ(40 * 6, rowBytes);
        std::vector<unsigned> expected, made;
        for (long y = 0; y < 30; ++y) {
            for (long x = 0; x < 40; ++x) {
                for (long plane = 0; plane < 3; ++plane) {
                    expected.push_back(TlTestPluginFilter(reduced.At(x / 2, y / 2, plane), 65535, 100));
                    made.push_back(output[(y * 40 + x) * 3 + plane]);
                }
            }
        }
        EXPECT_EQ(expected, made);
        EXPECT_EQ(kPsNoError, host.FinishFilter());
    }
    image->Release();
}

TEST(PluginFilterRunTest, BuffersTooLargeForMemoryAreRefused)
{
    ManagerHolder holder;
    IKelvraImage* image = MakePatternImage(holder.manager, 8, 8, kKelvraRGB16);
    {
        LoadedHost loaded;
        loaded.host.SetImage(image, 1.0, 300.0);
        const KelvraRect huge(0, 0, 0x7FFFFFFF, 4);
        EXPECT_EQ(kPsOutOfMemory, loaded.host.BeginFilter(image, 0, false, &huge));
    }
    {
        TlTestPluginParameters parameters = Parameters(100);
        parameters.askTooWide = 1;
        LoadedHost loaded(parameters);
        loaded.host.SetImage(image, 1.0, 300.0);
        ASSERT_EQ(kPsNoError, loaded.host.BeginFilter(image, 0, false, nullptr));
        ASSERT_EQ(kPsNoError, loaded.host.PrepareFilter());
        EXPECT_EQ(kPsOutOfMemory, loaded.host.RunFilter(nullptr, nullptr));
    }
    image->Release();
}

TEST(PluginFilterRunTest, UnloadingDetachesEveryFilter)
{
    LoadedHost loaded;
    ChainRig<CPluginHostFilter> one(kKelvraRGB8);
    ChainRig<CPluginHostFilter> two(kKelvraRGB8);
    ExpectOk(one.filter.SetPlugin(&loaded.host, false));
    ExpectOk(two.filter.SetPlugin(&loaded.host, false));
    loaded.host.Unload();
    EXPECT_EQ(nullptr, one.filter.GetPlugin());
    EXPECT_EQ(nullptr, two.filter.GetPlugin());
    EXPECT_TRUE(one.filter.IsBypassed());
}

} // namespace
