// The filter-plug-in filter: its name, how it attaches to its host, its
// scale and resolution, and what it does without a host. Its runs of real
// plug-ins are tested in PluginFilterRunTest.
#include "FilterRigs.h"

#include "filters/pluginfilter/TlPluginHostFilter.h"
#include "filters/tests/PluginRunStandIn.h"

#include <algorithm>
#include <vector>

using namespace filter_test;

namespace {

// A host that remembers its filters as a real one does.
class RecordingHost : public plugin_test::PassThroughRuns {
public:
    void AttachFilter(CPluginHostFilter* filter, bool attach) override
    {
        if (attach) {
            filters.push_back(filter);
            return;
        }
        auto found = std::find(filters.begin(), filters.end(), filter);
        if (found != filters.end())
            filters.erase(found);
    }
    void MarkChanged() override { ++changes; }

    std::vector<CPluginHostFilter*> filters;
    int changes = 0;
};

TEST(PluginHostFilterTest, NamesItselfAndStartsWithoutHost)
{
    ChainRig<CPluginHostFilter> chain(kKelvraRGB16);
    EXPECT_EQ(0x506C7567u, chain.filter.GetFilterTag());
    EXPECT_STREQ("Filter Plugin", chain.filter.GetFilterName());
    EXPECT_EQ(nullptr, chain.filter.GetPlugin());
    EXPECT_EQ(1.0, chain.filter.GetScale());
    EXPECT_EQ(300.0, chain.filter.GetPluginResolution());
    EXPECT_FALSE(chain.filter.IsCancelled());
    EXPECT_FALSE(chain.filter.IsBypassed());
}

const SetterCase<CPluginHostFilter> kScaleSetters[] = {
    {"scale", [](CPluginHostFilter& f, bool n) { return f.SetScaleAndResolution(1.0, 300.0, n); },
     [](CPluginHostFilter& f, bool n) { return f.SetScaleAndResolution(0.5, 300.0, n); },
     [](const CPluginHostFilter& f) { return f.GetScale() == 0.5 && f.GetPluginResolution() == 300.0; }},
    {"resolution", [](CPluginHostFilter& f, bool n) { return f.SetScaleAndResolution(1.0, 300.0, n); },
     [](CPluginHostFilter& f, bool n) { return f.SetScaleAndResolution(1.0, 300.00000000000006, n); },
     [](const CPluginHostFilter& f) { return f.GetScale() == 1.0 && f.GetPluginResolution() == 300.00000000000006; }},
};

TEST(PluginHostFilterTest, ScaleAndResolutionFollowTheSetterPattern)
{
    ExpectSetterPattern(kScaleSetters);
}

TEST(PluginHostFilterTest, ScaleAndResolutionChangeTellsTheHost)
{
    RecordingHost host;
    ChainRig<CPluginHostFilter> chain(kKelvraRGB16);
    ExpectOk(chain.filter.SetPlugin(&host, false));
    ExpectOk(chain.filter.SetScaleAndResolution(1.0, 300.0, true));
    EXPECT_EQ(0, host.changes);
    ExpectOk(chain.filter.SetScaleAndResolution(2.0, 150.0, true));
    EXPECT_EQ(1, host.changes);
    EXPECT_FALSE(chain.filter.IsBypassed());
}

TEST(PluginHostFilterTest, AttachingAHostAnnouncesTheWholeOutput)
{
    RecordingHost host;
    ChainRig<CPluginHostFilter> chain(kKelvraRGB16);
    ExpectOk(chain.filter.SetPlugin(&host, true));
    EXPECT_EQ(&host, chain.filter.GetPlugin());
    EXPECT_EQ(std::vector<CPluginHostFilter*>{&chain.filter}, host.filters);
    EXPECT_FALSE(chain.filter.IsBypassed());
    EXPECT_TRUE(chain.filter.IsStale());
    ASSERT_EQ(1u, chain.sink.notices.size());
    EXPECT_EQ(kKelvraNotifyData, chain.sink.notices[0].code);
    EXPECT_EQ(KelvraRect(0, 0, kRigWidth, kRigHeight), chain.sink.notices[0].rect);
}

TEST(PluginHostFilterTest, SameHostAgainIsNotAttachedTwice)
{
    RecordingHost host;
    ChainRig<CPluginHostFilter> chain(kKelvraRGB16);
    ExpectOk(chain.filter.SetPlugin(&host, true));
    chain.filter.MarkFresh();
    ExpectOk(chain.filter.SetPlugin(&host, true));
    EXPECT_EQ(1u, host.filters.size());
    EXPECT_FALSE(chain.filter.IsStale());
    EXPECT_EQ(1u, chain.sink.notices.size());
}

TEST(PluginHostFilterTest, ReplacedOrDroppedHostForgetsTheFilter)
{
    // Hosts outlive the filters attached to them.
    RecordingHost first;
    RecordingHost second;
    ChainRig<CPluginHostFilter> chain(kKelvraRGB16);
    ExpectOk(chain.filter.SetPlugin(&first, true));
    ExpectOk(chain.filter.SetPlugin(&second, true));
    EXPECT_TRUE(first.filters.empty());
    EXPECT_EQ(1u, second.filters.size());

    chain.filter.MarkFresh();
    ExpectOk(chain.filter.SetPlugin(nullptr, true));
    EXPECT_TRUE(second.filters.empty());
    EXPECT_EQ(nullptr, chain.filter.GetPlugin());
    EXPECT_TRUE(chain.filter.IsBypassed());
    // The plug-in's output gave way to the source: downstream hears of it.
    EXPECT_TRUE(chain.filter.IsStale());
    EXPECT_EQ(3u, chain.sink.notices.size());
}

TEST(PluginHostFilterTest, DestroyedFilterIsForgottenByItsHost)
{
    RecordingHost host;
    {
        ChainRig<CPluginHostFilter> chain(kKelvraRGB16);
        ExpectOk(chain.filter.SetPlugin(&host, false));
        EXPECT_EQ(1u, host.filters.size());
    }
    EXPECT_TRUE(host.filters.empty());
}

TEST(PluginHostFilterTest, UpstreamChangeMarksTheHostChanged)
{
    RecordingHost host;
    ChainRig<CPluginHostFilter> chain(kKelvraRGB16);
    ExpectOk(chain.filter.SetPlugin(&host, false));
    KelvraRect changed(0, 0, 10, 10);
    ExpectOk(KelvraSendDataNotification(chain.image, kKelvraNotifyData, &changed));
    EXPECT_EQ(1, host.changes);
    ASSERT_EQ(1u, chain.sink.notices.size());
    EXPECT_EQ(changed, chain.sink.notices[0].rect);
}

TEST(PluginHostFilterTest, WithoutHostRunAndTilesAreRefused)
{
    ChainRig<CPluginHostFilter> chain(kKelvraRGB16);
    ExpectError(chain.filter.RunPlugin(CPluginHostFilter::kOwnSources), kKelvraMissingObject, TlFilterId("Plug"));
    frame_test::FakeTile tile(KelvraRect(0, 0, 64, 64), KelvraRect(0, 0, 64, 64), kKelvraRGB16);
    ExpectError(chain.filter.DoGenerateTile(&tile, nullptr), kKelvraMissingObject, TlFilterId("Plug"));
    EXPECT_TRUE(tile.IsUntouched());
}

TEST(PluginHostFilterTest, WithoutHostPixelsPassUnchanged)
{
    for (KelvraPixelFormat format : {kKelvraGrey8, kKelvraGrey16, kKelvraRGB8, kKelvraRGB16}) {
        SCOPED_TRACE(format);
        RecordingHost host;
        ChainRig<CPluginHostFilter> chain(format);
        ExpectOk(chain.filter.SetPlugin(&host, true));
        ExpectOk(chain.filter.SetPlugin(nullptr, true));
        ExpectOutputEqualsSource(&chain.filter, chain.image);
    }
}

TEST(PluginHostFilterTest, HostThatNeedsNoRunIsNotRun)
{
    RecordingHost host;
    ChainRig<CPluginHostFilter> chain(kKelvraCMYK8);
    ExpectOk(chain.filter.SetPlugin(&host, false));
    // Not even the source's format is looked at.
    ExpectOk(chain.filter.RunPlugin(CPluginHostFilter::kOwnSources));
}

TEST(PluginHostFilterTest, FourChannelSourceIsRefused)
{
    RecordingHost host;
    ChainRig<CPluginHostFilter> chain(kKelvraCMYK8);
    ExpectOk(chain.filter.SetPlugin(&host, false));
    frame_test::FakeTile tile(KelvraRect(0, 0, 64, 64), KelvraRect(0, 0, 64, 64), kKelvraCMYK8);
    ExpectError(chain.filter.DoGenerateTile(&tile, nullptr), kKelvraUnsupportedFormat, TlFilterId("Plug"));
    EXPECT_TRUE(tile.IsUntouched());
}

} // namespace
