// The preview chain's variable filter groups on a built mode-0 chain: the
// plug-in filters follow the settings' active plug-ins, and the extra
// sharpening filters the sharpening list, in order, before their anchors,
// rebuilt only when they changed, and telling downstream when they did.
#include "PreviewChainTestSupport.h"

#include "filters/pluginfilter/TlPluginHostFilter.h"
#include "filtrix/UnsharpMaskFilter.h"
#include "kelvra/KelvraFilterChain.h"
#include "params/TlUsmRangeBand.h"
#include "params/TlvParamSet.h"
#include "settings/plugins/TlPluginListState.h"
#include "settings/small/TlUsmListState.h"
#include "settings/tests/DustPluginGoldens.h"
#include "filters/tests/PluginRunStandIn.h"
#include "settings/tests/PluginHostFakes.h"
#include "settings/tests/StateTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace TlChainSlots;

namespace {

constexpr int kOutputColour = 8;

// A plug-in host that also runs filters, as the library's hosts do.
class ChainPluginHost : public plugin_test::FakePluginHost, public plugin_test::PassThroughRuns {
public:
    using FakePluginHost::FakePluginHost;
    void AttachFilter(CPluginHostFilter* filter, bool attach) override
    {
        if (attach)
            attached.push_back(filter);
        else
            attached.erase(std::find(attached.begin(), attached.end(), filter));
    }
    void MarkChanged() override {}
    // As the library's hosts do, unloading detaches every filter.
    void Unload() override
    {
        while (!attached.empty())
            IKelvraError::Release(attached.front()->SetPlugin(nullptr, true));
        FakePluginHost::Unload();
    }
    std::vector<CPluginHostFilter*> attached;
};

class ChainPluginWorld : public plugin_test::FakePluginWorld {
public:
    IPluginHost* CreateHost() override
    {
        lastHost = new ChainPluginHost(*this);
        return lastHost;
    }
};

// Counts the filters it makes of each group and can fail chosen ones.
class CountingChain : public CTlCadraFilterChain {
public:
    int pluginsMade = 0;
    int sharpenersMade = 0;
    int failPlugin = -1;    // the number of the creation that fails
    int failSharpener = -1;

protected:
    std::unique_ptr<CPluginHostFilter> CreatePluginFilter() override
    {
        if (pluginsMade++ == failPlugin)
            return nullptr;
        return CTlCadraFilterChain::CreatePluginFilter();
    }
    std::unique_ptr<CUnsharpMaskFilter> CreateSharpenFilter() override
    {
        if (sharpenersMade++ == failSharpener)
            return nullptr;
        return CTlCadraFilterChain::CreateSharpenFilter();
    }
};

class ChainSync : public PreviewChainFixture {
protected:
    ChainSync() : PreviewChainFixture(kKelvraRGB8), m_params(m_holder) {}

    void SetUp() override
    {
        PreviewChainFixture::SetUp();
        ASSERT_EQ(Build(chain, &m_sink), 0);
        m_params.pluginsFlag = 1;
        m_params.plugins = &m_plugins;
        m_params.sharpeningListFlag = 1;
        m_params.sharpeningList = &m_sharpening;
    }
    void TearDown() override
    {
        chain.ReleaseChain();
        PreviewChainFixture::TearDown();
    }

    IKelvraFilterChain& Chain() { return *chain.GetChain(); }
    long IndexOfSlot(int slot) { return Chain().IndexOf(chain.GetSlot(slot)); }

    // The filters with `id`, in chain order.
    std::vector<IKelvraFilter*> Filters(KelvraTag id)
    {
        std::vector<IKelvraFilter*> found;
        for (long i = Chain().FindNext(id, 0); i >= 0; i = Chain().FindNext(id, i + 1))
            found.push_back(Chain().GetFilter(i));
        return found;
    }

    // A plug-in entry whose plug-in loads from `path` when that is installed.
    ChainPluginHost* AddPlugin(const std::string& path, std::vector<unsigned char> bytes, bool enabled = true)
    {
        m_plugins.entries.emplace_back();
        CTlPluginState& entry = m_plugins.entries.back();
        auto* host = static_cast<ChainPluginHost*>(world.CreateHost());
        host->parameters = std::move(bytes);
        if (!entry.SetPlugin(path.c_str(), host)) {
            delete host;
            host = nullptr;
        }
        entry.enabled = enabled ? 1 : 0;
        return host;
    }
    bool SyncPlugins() { return chain.SyncPluginFilters(&m_params, chain.GetSlot(kLostDetail)); }

    void AddSharpening(int band, std::int16_t amount, std::uint16_t radius, std::uint16_t threshold)
    {
        CTlUsmState entry;
        entry.value1 = std::uint16_t(band);
        entry.SetSharpening(amount, radius, threshold);
        m_sharpening.entries.push_back(entry);
    }
    void SetSharpeningCount(std::size_t count)
    {
        m_sharpening.entries.clear();
        for (std::size_t i = 0; i < count; ++i)
            AddSharpening(int(i % 7), std::int16_t(20 + i), std::uint16_t(10 + i), std::uint16_t(i));
    }
    bool SyncSharpening(double scale = 1.0, double aspect = 1.0)
    {
        return chain.SyncSharpenFilters(&m_params, scale, chain.GetSlot(kOutputColour), aspect);
    }

    // The senders of the recompute-everything notices that reached the end
    // of the chain since the last call.
    std::vector<IKelvraDataSource*> UpdateAllSenders()
    {
        std::vector<IKelvraDataSource*> senders;
        for (const Notice& notice : m_sink.notices) {
            if (notice.code == kKelvraNotifyUpdateAll)
                senders.push_back(notice.sender);
        }
        m_sink.notices.clear();
        return senders;
    }

    ChainPluginWorld world;
    CountingChain chain;
    CTlvSettingsHolder m_holder;
    CTlvParamSet m_params;
    CTlPluginListState m_plugins;
    CTlUsmListState m_sharpening;
    RecordingDestination m_sink;
};

const std::vector<unsigned char> kBlurBytes = {1, 2, 3};
const std::vector<unsigned char> kGlowBytes = {9, 8, 7, 6};

} // namespace

TEST_F(ChainSync, ActivePluginsStandBeforeTheLostDetailDisplayInListOrder)
{
    world.Install("blur.8bf", 1, "Blur");
    world.Install("glow.8bf", 2, "Glow");
    world.Install("mute.8bf", 3, "Mute");
    ChainPluginHost* blur = AddPlugin("blur.8bf", kBlurBytes);
    AddPlugin("mute.8bf", {}, false);
    ChainPluginHost* glow = AddPlugin("glow.8bf", kGlowBytes);
    const long anchor = IndexOfSlot(kLostDetail);
    UpdateAllSenders();

    EXPECT_TRUE(SyncPlugins());
    const std::vector<IKelvraFilter*> filters = Filters(CPluginHostFilter::kId);
    ASSERT_EQ(filters.size(), 2u) << "the inactive entry gets none";
    EXPECT_EQ(Chain().IndexOf(filters[0]), anchor);
    EXPECT_EQ(Chain().IndexOf(filters[1]), anchor + 1);
    EXPECT_EQ(IndexOfSlot(kLostDetail), anchor + 2);
    for (std::size_t i = 0; i < filters.size(); ++i) {
        auto* filter = static_cast<CPluginHostFilter*>(filters[i]);
        EXPECT_EQ(filter->GetPlugin(), i == 0 ? static_cast<ITlFilterPluginHost*>(blur) : glow);
        EXPECT_TRUE(filter->IsEnabled());
        EXPECT_TRUE(chain.IsWatching(filter));
    }
    EXPECT_EQ(UpdateAllSenders(), std::vector<IKelvraDataSource*>({filters[0]}));
}

TEST_F(ChainSync, UnchangedPluginsAreLeftAloneAndAnyChangeRebuildsTheGroup)
{
    world.Install("blur.8bf", 1, "Blur");
    world.Install("glow.8bf", 2, "Glow");
    ChainPluginHost* blur = AddPlugin("blur.8bf", kBlurBytes);
    ChainPluginHost* glow = AddPlugin("glow.8bf", kGlowBytes);
    ASSERT_TRUE(SyncPlugins());
    UpdateAllSenders();

    EXPECT_TRUE(SyncPlugins());
    EXPECT_EQ(chain.pluginsMade, 2) << "no filter made when nothing changed";
    EXPECT_TRUE(UpdateAllSenders().empty()) << "and nothing recomputed";

    struct {
        const char* change;
        void (*apply)(CTlPluginListState&, ChainPluginHost&, ChainPluginHost&);
        std::vector<ChainPluginHost*> Hosts(ChainPluginHost* b, ChainPluginHost* g) const
        {
            return order == 0 ? std::vector<ChainPluginHost*>{b, g} : std::vector<ChainPluginHost*>{g, b};
        }
        int order;
    } const cases[] = {
        {"one parameter byte", [](CTlPluginListState&, ChainPluginHost& b, ChainPluginHost&) { b.parameters[1] = 5; }, 0},
        {"a parameter byte more", [](CTlPluginListState&, ChainPluginHost&, ChainPluginHost& g) { g.parameters.push_back(0); }, 0},
        {"the order", [](CTlPluginListState& l, ChainPluginHost&, ChainPluginHost&) { std::swap(l.entries[0], l.entries[1]); }, 1},
    };
    for (const auto& c : cases) {
        const int made = chain.pluginsMade;
        c.apply(m_plugins, *blur, *glow);
        EXPECT_TRUE(SyncPlugins()) << c.change;
        EXPECT_EQ(chain.pluginsMade, made + 2) << c.change << ": the whole group is made anew";
        const std::vector<IKelvraFilter*> filters = Filters(CPluginHostFilter::kId);
        ASSERT_EQ(filters.size(), 2u) << c.change;
        const std::vector<ChainPluginHost*> hosts = c.Hosts(blur, glow);
        for (std::size_t i = 0; i < 2; ++i) {
            EXPECT_EQ(static_cast<CPluginHostFilter*>(filters[i])->GetPlugin(), hosts[i]) << c.change;
            EXPECT_EQ(hosts[i]->attached.size(), 1u) << c.change << ": old filters are gone from the host";
        }
        EXPECT_EQ(Chain().IndexOf(filters[1]) + 1, IndexOfSlot(kLostDetail)) << c.change;
        EXPECT_EQ(UpdateAllSenders(), std::vector<IKelvraDataSource*>({filters[0]})) << c.change;
        EXPECT_TRUE(SyncPlugins()) << c.change;
        EXPECT_EQ(chain.pluginsMade, made + 2) << c.change << ": and then left alone";
    }
}

TEST_F(ChainSync, NoActivePluginLeftRemovesEveryPluginFilter)
{
    world.Install("blur.8bf", 1, "Blur");
    const struct {
        const char* list;
        void (*apply)(CTlvParamSet&, CTlPluginListState&);
    } cases[] = {
        {"all inactive", [](CTlvParamSet&, CTlPluginListState& l) { l.entries[0].enabled = 0; }},
        {"empty", [](CTlvParamSet&, CTlPluginListState& l) { l.entries.clear(); }},
        {"absent", [](CTlvParamSet& p, CTlPluginListState&) { p.pluginsFlag = 0; }},
    };
    for (const auto& c : cases) {
        m_params.pluginsFlag = 1;
        m_plugins.entries.clear();
        AddPlugin("blur.8bf", kBlurBytes);
        ASSERT_TRUE(SyncPlugins()) << c.list;
        ASSERT_EQ(Filters(CPluginHostFilter::kId).size(), 1u) << c.list;
        UpdateAllSenders();

        c.apply(m_params, m_plugins);
        EXPECT_FALSE(SyncPlugins()) << c.list;
        EXPECT_TRUE(Filters(CPluginHostFilter::kId).empty()) << c.list;
        IKelvraDataSource* before = Chain().GetFilter(IndexOfSlot(kLostDetail) - 1);
        EXPECT_EQ(UpdateAllSenders(), std::vector<IKelvraDataSource*>({before})) << c.list;
        EXPECT_TRUE(SyncPlugins()) << c.list << ": nothing to match";
    }
}

TEST_F(ChainSync, PluginsThatCannotBeLoadedGetNoFilter)
{
    world.Install("blur.8bf", 0x1234, "Blur");
    world.Install("glow.8bf", 2, "Glow");
    // A stored list naming one installed and one missing plug-in, and an
    // entry whose file does not load.
    ASSERT_GT(tlstate_test::LoadBytes(m_plugins, tlstate_test::Hex(tlstate_test::kPluginListStateV1)), 0);
    ASSERT_EQ(m_plugins.unresolved.size(), 1u);
    EXPECT_EQ(AddPlugin("missing.8bf", kBlurBytes), nullptr);

    EXPECT_TRUE(SyncPlugins());
    EXPECT_EQ(Filters(CPluginHostFilter::kId).size(), 1u) << "only the loaded plug-in runs";

    m_plugins.entries.erase(m_plugins.entries.begin());
    UpdateAllSenders();
    EXPECT_FALSE(SyncPlugins()) << "only plug-ins that cannot be loaded are left";
    EXPECT_TRUE(Filters(CPluginHostFilter::kId).empty());
    IKelvraDataSource* before = Chain().GetFilter(IndexOfSlot(kLostDetail) - 1);
    EXPECT_EQ(UpdateAllSenders(), std::vector<IKelvraDataSource*>({before}));
}

TEST_F(ChainSync, AFilterThatCannotBeMadeEndsThePluginSync)
{
    world.Install("blur.8bf", 1, "Blur");
    world.Install("glow.8bf", 2, "Glow");
    ChainPluginHost* blur = AddPlugin("blur.8bf", kBlurBytes);
    AddPlugin("glow.8bf", kGlowBytes);
    chain.failPlugin = 1;
    UpdateAllSenders();

    EXPECT_FALSE(SyncPlugins());
    const std::vector<IKelvraFilter*> filters = Filters(CPluginHostFilter::kId);
    ASSERT_EQ(filters.size(), 1u) << "what was done is kept";
    EXPECT_EQ(static_cast<CPluginHostFilter*>(filters[0])->GetPlugin(), blur);
    EXPECT_TRUE(UpdateAllSenders().empty());

    EXPECT_TRUE(SyncPlugins()) << "the next sync makes the group whole";
    EXPECT_EQ(Filters(CPluginHostFilter::kId).size(), 2u);
}

TEST_F(ChainSync, NothingIsSyncedWithoutABuiltChainOrParameters)
{
    world.Install("blur.8bf", 1, "Blur");
    AddPlugin("blur.8bf", kBlurBytes);
    SetSharpeningCount(2);
    EXPECT_FALSE(chain.SyncPluginFilters(nullptr, chain.GetSlot(kLostDetail)));
    EXPECT_FALSE(chain.SyncSharpenFilters(nullptr, 1.0, chain.GetSlot(kOutputColour), 1.0));
    CountingChain unbuilt;
    EXPECT_FALSE(unbuilt.SyncPluginFilters(&m_params, nullptr));
    EXPECT_FALSE(unbuilt.SyncSharpenFilters(&m_params, 1.0, nullptr, 1.0));
    EXPECT_EQ(unbuilt.pluginsMade + unbuilt.sharpenersMade + chain.pluginsMade + chain.sharpenersMade, 0);
}

TEST_F(ChainSync, PluginFiltersAreAppendedWithoutAnAnchor)
{
    world.Install("blur.8bf", 1, "Blur");
    AddPlugin("blur.8bf", kBlurBytes);
    EXPECT_TRUE(chain.SyncPluginFilters(&m_params, nullptr));
    const std::vector<IKelvraFilter*> filters = Filters(CPluginHostFilter::kId);
    ASSERT_EQ(filters.size(), 1u);
    EXPECT_EQ(Chain().IndexOf(filters[0]), Chain().GetFilterCount() - 1);
}

TEST_F(ChainSync, ExtraSharpenersFollowTheListUpToSeven)
{
    const long slot20 = IndexOfSlot(kSecondUsm);
    const struct {
        std::size_t entries;
        std::size_t extras;
        bool inserted;
    } cases[] = {{3, 3, true}, {1, 1, true}, {7, 7, true}, {9, 7, false}, {0, 0, false}, {12, 7, true}, {2, 2, true}};
    for (const auto& c : cases) {
        SetSharpeningCount(c.entries);
        EXPECT_EQ(SyncSharpening(), c.inserted) << c.entries;
        const std::vector<IKelvraFilter*> usm = Filters(CUnsharpMaskFilter::kTag);
        ASSERT_EQ(usm.size(), c.extras + 2) << c.entries;
        EXPECT_EQ(usm[0], chain.GetSlot(kFirstUsm));
        EXPECT_EQ(usm[1], chain.GetSlot(kSecondUsm));
        EXPECT_FALSE(usm[1]->IsEnabled()) << "the standard slots keep their state";
        EXPECT_EQ(IndexOfSlot(kSecondUsm), slot20);
        for (std::size_t i = 0; i < c.extras; ++i) {
            EXPECT_EQ(usm[i + 2], chain.GetSharpenFilter(int(i))) << c.entries << " in list order";
            EXPECT_EQ(Chain().IndexOf(usm[i + 2]), slot20 + 1 + long(i)) << c.entries;
            EXPECT_TRUE(usm[i + 2]->IsEnabled());
        }
        EXPECT_EQ(IndexOfSlot(kOutputColour), slot20 + 1 + long(c.extras)) << c.entries;
        EXPECT_EQ(chain.GetSharpenFilter(7), nullptr);
    }
    EXPECT_EQ(chain.sharpenersMade, 7) << "filters are kept and reused, never more than seven";
}

TEST_F(ChainSync, ShrinkingKeepsTheSurplusForLaterReuse)
{
    SetSharpeningCount(3);
    EXPECT_TRUE(SyncSharpening());
    const std::vector<IKelvraFilter*> made = {chain.GetSharpenFilter(0), chain.GetSharpenFilter(1),
                                              chain.GetSharpenFilter(2)};
    SetSharpeningCount(1);
    EXPECT_TRUE(SyncSharpening());
    EXPECT_EQ(Filters(CUnsharpMaskFilter::kTag).size(), 3u);
    EXPECT_EQ(Chain().IndexOf(made[1]), -1);
    EXPECT_EQ(Chain().IndexOf(made[2]), -1);
    EXPECT_EQ(chain.GetSharpenFilter(2), made[2]) << "kept, not deleted";

    SetSharpeningCount(3);
    EXPECT_TRUE(SyncSharpening());
    EXPECT_EQ(chain.sharpenersMade, 3);
    EXPECT_EQ(Filters(CUnsharpMaskFilter::kTag),
              std::vector<IKelvraFilter*>({chain.GetSlot(kFirstUsm), chain.GetSlot(kSecondUsm), made[0], made[1],
                                           made[2]}));
}

TEST_F(ChainSync, OnlyChangedSharpeningIsRecomputed)
{
    SetSharpeningCount(2);
    EXPECT_TRUE(SyncSharpening());
    EXPECT_EQ(UpdateAllSenders(), std::vector<IKelvraDataSource*>({chain.GetSharpenFilter(0)}));

    EXPECT_FALSE(SyncSharpening()) << "nothing inserted";
    EXPECT_TRUE(UpdateAllSenders().empty()) << "nothing changed";

    const struct {
        const char* change;
        void (*apply)(CTlUsmState&);
    } cases[] = {
        {"threshold", [](CTlUsmState& e) { e.SetSharpening(e.Amount(), e.Radius(), e.Threshold() + 1); }},
        {"radius", [](CTlUsmState& e) { e.SetSharpening(e.Amount(), e.Radius() + 5, e.Threshold()); }},
        {"amount", [](CTlUsmState& e) { e.SetSharpening(e.Amount() + 1, e.Radius(), e.Threshold()); }},
        {"band", [](CTlUsmState& e) { e.value1 = 4; }},
    };
    for (const auto& c : cases) {
        c.apply(m_sharpening.entries[1]);
        EXPECT_FALSE(SyncSharpening()) << c.change;
        EXPECT_EQ(UpdateAllSenders(), std::vector<IKelvraDataSource*>({chain.GetSharpenFilter(0)})) << c.change;
        EXPECT_EQ(chain.sharpenersMade, 2) << c.change;
    }

    SetSharpeningCount(0);
    EXPECT_FALSE(SyncSharpening());
    EXPECT_EQ(UpdateAllSenders(), std::vector<IKelvraDataSource*>({chain.GetSlot(kSecondUsm)}))
        << "with no extra left, from the last standard sharpener";
}

TEST_F(ChainSync, ExtraSharpenersAreSetUpForTheScaleAndAspect)
{
    const struct {
        double scale;
        double aspect;
        std::uint16_t radius;
        std::int16_t amount;
        double radii[2];
        double power;
    } cases[] = {
        {0.25, 2.0, 10, 40, {0.5, 0.25}, 2.0},        // r = 0.5 is wide enough
        {0.25, 2.0, 5, 40, {1.0, 0.5}, 0.5},          // r = 0.25: one pixel, power scaled by r
        {2.0, 1.0, 10, 40, {2.0, 2.0}, 2.0},          // never wider than at full size
        {1.0, 0.0, 10, 20, {2.0, 2.0}, 1.0},          // an aspect that would divide by 0 counts as 1
        {1.0, 1.0, 1000, 20, {100.0, 100.0}, 1.0},    // at most the filter's widest
        {1.0, 1.0, 10, -100, {2.0, 2.0}, -1.0},       // at most the filter's softest
    };
    for (const auto& c : cases) {
        m_sharpening.entries.clear();
        AddSharpening(3, c.amount, c.radius, 15);
        SyncSharpening(c.scale, c.aspect);
        CUnsharpMaskFilter* filter = chain.GetSharpenFilter(0);
        ASSERT_NE(filter, nullptr);
        const UsmParams params = filter->GetParams();
        EXPECT_DOUBLE_EQ(params.radius, c.radii[0]) << c.scale << " " << c.radius;
        EXPECT_DOUBLE_EQ(params.secondRadius, c.radii[1]) << c.scale << " " << c.radius;
        EXPECT_DOUBLE_EQ(params.power, c.power) << c.scale << " " << c.radius;
        EXPECT_DOUBLE_EQ(params.threshold, 3.0);
        EXPECT_EQ(params.method, kUsmMaskGaussian);
        EXPECT_FALSE(params.affectNoise);
        CUnsharpMaskFilter band(m_manager);
        SetUsmRangeBand(&band, 3);
        EXPECT_TRUE(params.band == band.GetParams().band);
        long usage = -1;
        EXPECT_EQ(filter->GetCacheUsage(&usage), nullptr);
        EXPECT_EQ(usage, 0);
    }
}

TEST_F(ChainSync, ASharpenerThatCannotBeMadeLeavesItsPositionEmpty)
{
    chain.failSharpener = 1;
    SetSharpeningCount(3);
    EXPECT_TRUE(SyncSharpening());
    EXPECT_EQ(chain.GetSharpenFilter(1), nullptr);
    EXPECT_EQ(Filters(CUnsharpMaskFilter::kTag),
              std::vector<IKelvraFilter*>({chain.GetSlot(kFirstUsm), chain.GetSlot(kSecondUsm),
                                           chain.GetSharpenFilter(0), chain.GetSharpenFilter(2)}));

    EXPECT_TRUE(SyncSharpening()) << "the next sync makes it";
    ASSERT_NE(chain.GetSharpenFilter(1), nullptr);
    EXPECT_EQ(Filters(CUnsharpMaskFilter::kTag).size(), 5u);
    EXPECT_EQ(Chain().IndexOf(chain.GetSharpenFilter(1)), Chain().IndexOf(chain.GetSharpenFilter(0)) + 1);
}

TEST_F(ChainSync, TheQuickChainAppendsItsExtraSharpeners)
{
    CountingChain quick;
    quick.SetMode(1);
    ASSERT_EQ(Build(quick), 0);
    SetSharpeningCount(2);
    EXPECT_TRUE(quick.SyncSharpenFilters(&m_params, 1.0, quick.GetSlot(kOutputColour), 1.0));
    IKelvraFilterChain& chain1 = *quick.GetChain();
    const long count = chain1.GetFilterCount();
    EXPECT_EQ(chain1.FindNext(CUnsharpMaskFilter::kTag, 0), count - 2);
    EXPECT_EQ(chain1.GetFilter(count - 1), quick.GetSharpenFilter(1));

    EXPECT_FALSE(quick.SyncSharpenFilters(&m_params, 1.0, nullptr, 1.0)) << "the same two";
    SetSharpeningCount(0);
    EXPECT_FALSE(quick.SyncSharpenFilters(&m_params, 1.0, nullptr, 1.0));
    EXPECT_EQ(chain1.FindNext(CUnsharpMaskFilter::kTag, 0), -1);
    quick.ReleaseChain();
}
