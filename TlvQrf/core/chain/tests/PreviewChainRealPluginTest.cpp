// The preview of a picture whose settings name the installed test plug-in:
// the plug-in filter that the preview chain places runs the plug-in through
// the library's own host and shows its input filtered.
#include "PreviewChainTestSupport.h"

#include "filters/plugin/TlInstalledPlugins.h"
#include "filters/plugin/TlPluginWin.h"
#include "filters/pluginfilter/TlPluginHostFilter.h"
#include "filters/tests/PluginTestSupport.h"
#include "kelvra/KelvraFilterChain.h"
#include "params/TlvParamSet.h"
#include "settings/plugins/TlPluginListState.h"
#include "settings/plugins/TlPluginServices.h"

#include <gtest/gtest.h>

using namespace TlChainSlots;

namespace {

class PreviewRealPlugin : public PreviewChainFixture {
protected:
    PreviewRealPlugin() : PreviewChainFixture(kKelvraRGB8), m_params(m_holder) {}

    void SetUp() override
    {
        PreviewChainFixture::SetUp();
        CTlInstalledPlugins::Instance().Clear();
        ASSERT_TRUE(CTlInstalledPlugins::Instance().Add(plugin_test::kTestPlugin, "", "", 0x1234));
        m_previous = SetPluginServices({&CTlInstalledPlugins::Instance(), &m_hosts});
        ASSERT_EQ(0, Build(m_chain));
        m_params.pluginsFlag = 1;
        m_params.plugins = &m_plugins;
    }
    void TearDown() override
    {
        m_chain.ReleaseChain();
        m_plugins.entries.clear();
        SetPluginServices(m_previous);
        CTlInstalledPlugins::Instance().Clear();
        PreviewChainFixture::TearDown();
    }

    CPluginWinFactory m_hosts;
    TlPluginServices m_previous;
    CTlvSettingsHolder m_holder;
    CTlvParamSet m_params;
    CTlPluginListState m_plugins;
};

TEST_F(PreviewRealPlugin, ThePluginStageShowsItsInputFiltered)
{
    m_plugins.entries.emplace_back();
    ASSERT_TRUE(m_plugins.entries.back().SetPlugin(plugin_test::kTestPlugin, m_hosts.CreateHost()));
    const TlTestPluginParameters parameters = plugin_test::Parameters(70);
    m_plugins.entries.back().GetPlugin()->SetParameters(&parameters, sizeof parameters);
    ASSERT_TRUE(m_chain.SyncPluginFilters(&m_params, m_chain.GetSlot(kLostDetail)));

    IKelvraFilterChain& chain = *m_chain.GetChain();
    const long index = chain.FindNext(CPluginHostFilter::kId, 0);
    ASSERT_GT(index, 0);
    IKelvraFilter* plugin = chain.GetFilter(index);
    IKelvraFilter* before = chain.GetFilter(index - 1);
    KelvraPixelFormat format = 0;
    ASSERT_EQ(nullptr, before->GetColorSpace(&format));
    const std::vector<unsigned> input = ReadAllSamples(before);
    ASSERT_FALSE(input.empty());
    EXPECT_EQ(plugin_test::Filtered(input, format, 70), ReadAllSamples(plugin));
}

} // namespace
