// The plug-in records on the library's own services (the installed list and
// Windows hosts) with the test plug-in files: stored lists with installed
// and missing plug-ins, parameters that reach the plug-in, and hosts that
// outlive or replace the filters attached to them.
#include "FilterRigs.h"
#include "PluginTestSupport.h"

#include "filters/plugin/TlInstalledPlugins.h"
#include "filters/plugin/TlPluginWin.h"
#include "filters/pluginfilter/TlPluginHostFilter.h"
#include "settings/plugins/TlPluginListState.h"
#include "settings/plugins/TlPluginServices.h"
#include "settings/tests/StateTestSupport.h"

#include <memory>

using namespace filter_test;
using namespace plugin_test;
using namespace tlstate_test;

namespace {

constexpr std::int32_t kInvertId = 0x1234;
constexpr std::int32_t kBareId = 0x5678;

class PluginRecordsRealHost : public ::testing::Test {
protected:
    void SetUp() override
    {
        CTlInstalledPlugins::Instance().Clear();
        m_previous = SetPluginServices({&CTlInstalledPlugins::Instance(), &m_factory});
        Install(kTestPlugin, kInvertId);
        Install(kBarePlugin, kBareId);
    }
    void TearDown() override
    {
        SetPluginServices(m_previous);
        CTlInstalledPlugins::Instance().Clear();
    }
    static void Install(const char* path, std::int32_t id)
    {
        ASSERT_TRUE(CTlInstalledPlugins::Instance().Add(path, "", "", id));
    }

    // A stored list of the test plug-in (with `amount`) and the bare one.
    Bytes StoredList(std::uint16_t amount)
    {
        CTlPluginListState list;
        list.entries.resize(2);
        EXPECT_TRUE(list.entries[0].SetPlugin(kTestPlugin, m_factory.CreateHost()));
        const TlTestPluginParameters parameters = Parameters(amount);
        list.entries[0].GetPlugin()->SetParameters(&parameters, sizeof parameters);
        EXPECT_TRUE(list.entries[1].SetPlugin(kBarePlugin, m_factory.CreateHost()));
        const unsigned char bareBytes[] = {7, 7, 7};
        list.entries[1].GetPlugin()->SetParameters(bareBytes, sizeof bareBytes);
        return SaveWhole(list);
    }

    CPluginWinFactory m_factory;

private:
    TlPluginServices m_previous;
};

TEST_F(PluginRecordsRealHost, InstalledPluginsLoadAndMissingOnesAreKeptByName)
{
    const Bytes stored = StoredList(40);
    CTlInstalledPlugins::Instance().Clear();
    Install(kTestPlugin, kInvertId);

    CTlPluginListState list;
    ASSERT_EQ(int(stored.size()), LoadBytes(list, stored));
    ASSERT_EQ(1u, list.entries.size());
    EXPECT_EQ(kInvertId, list.entries[0].GetPluginId());
    EXPECT_STREQ("Invert Test", list.entries[0].GetPlugin()->GetName());
    ASSERT_EQ(1u, list.GetUnresolvedNames().size());
    EXPECT_STREQ("?", list.GetUnresolvedNames()[0].GetData());
    // Saved again, both plug-ins come back as stored, parameters and all.
    EXPECT_EQ(stored, SaveWhole(list));
}

TEST_F(PluginRecordsRealHost, StoredParametersReachThePlugin)
{
    const Bytes stored = StoredList(40);
    CTlPluginListState list;
    ASSERT_EQ(int(stored.size()), LoadBytes(list, stored));
    auto* host = dynamic_cast<CPluginHost*>(list.entries[0].GetPlugin());
    ASSERT_NE(nullptr, host);
    ChainRig<CPluginHostFilter> chain(kKelvraRGB8);
    ExpectOk(chain.filter.SetPlugin(host, false));
    ExpectOk(chain.filter.RunPlugin(CPluginHostFilter::kOwnSources));
    EXPECT_EQ(Filtered(ReadAllSamples(chain.image), kKelvraRGB8, 40), ReadAllSamples(&chain.filter));
    ExpectOk(chain.filter.SetPlugin(nullptr, false));
}

TEST_F(PluginRecordsRealHost, ReplacedHostAndDeletedFilterLeaveNothingBehind)
{
    std::unique_ptr<CPluginHost> first(static_cast<CPluginHost*>(m_factory.CreateHost()));
    std::unique_ptr<CPluginHost> second(static_cast<CPluginHost*>(m_factory.CreateHost()));
    ASSERT_TRUE(first->LoadFile(kTestPlugin));
    ASSERT_TRUE(second->LoadFile(kTestPlugin));
    EXPECT_EQ(kInvertId, first->GetId());
    {
        ChainRig<CPluginHostFilter> chain(kKelvraGrey8);
        ExpectOk(chain.filter.SetPlugin(first.get(), false));
        ExpectOk(chain.filter.SetPlugin(second.get(), false));
    }
    // Neither host may reach the deleted filter.
    first->Unload();
    second->Unload();
    EXPECT_FALSE(first->IsLoaded());
    EXPECT_FALSE(second->IsLoaded());
}

TEST_F(PluginRecordsRealHost, InstalledListFindsById)
{
    CTlString path;
    EXPECT_TRUE(CTlInstalledPlugins::Instance().FindPath(kBareId, path));
    EXPECT_STREQ(kBarePlugin, path.GetData());
    EXPECT_FALSE(CTlInstalledPlugins::Instance().FindPath(0x9999, path));
    EXPECT_EQ(2u, CTlInstalledPlugins::Instance().GetCount());
}

} // namespace
