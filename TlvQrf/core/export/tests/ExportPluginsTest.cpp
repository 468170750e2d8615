// The export's plug-in stage, step by step, with stand-in plug-ins whose
// filter passes the pixels through: which work image each plug-in writes,
// which entries run, and that every plug-in filter is gone at the end.
#include "colour/TlGeneratedProfileHolds.h"
#include "export/TlExport.h"
#include "export/TlExportSteps.h"

#include "CameraTestSupport.h"
#include "colour/TlWorkingProfiles.h"
#include "DevelopTestSupport.h"
#include "filters/pluginfilter/TlFilterPluginHost.h"
#include "lib/TlLibraryState.h"
#include "save/TlSaveState.h"
#include "settings/plugins/TlPluginListState.h"
#include "filters/tests/PluginRunStandIn.h"
#include "settings/tests/PluginHostFakes.h"
#include "support/TempFolder.h"
#include "watcher/TlFileSavingUtilities.h"

#include <windows.h>

#include <string>
#include <vector>

using namespace develop_test;

namespace {

// A host that counts the filters attached to it.
class CountingHost : public plugin_test::FakePluginHost, public plugin_test::PassThroughRuns {
public:
    using FakePluginHost::FakePluginHost;
    void AttachFilter(CPluginHostFilter*, bool attach) override { attachedFilters += attach ? 1 : -1; }
    void MarkChanged() override {}
    int attachedFilters = 0;
};

class CountingWorld : public plugin_test::FakePluginWorld {
public:
    IPluginHost* CreateHost() override { return new CountingHost(*this); }
};

class ExportPluginsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_profiles.IsReady());
        camera_test::UseSrgbProfilesIn(m_profiles);
        TlvQrfLib::SetGlobalManager(m_manager.manager);
    }
    void TearDown() override
    {
        ReleaseGeneratedProfileHolds(); // as the library's close: the profiles folder can go
    }

    // An entry of the picture's plug-in list.
    CountingHost* AddPlugin(SyntheticPicture& picture, const std::string& path, bool enabled)
    {
        CTlPluginListState& list = picture.holder.plugins;
        list.entries.emplace_back();
        auto* host = static_cast<CountingHost*>(m_world.CreateHost());
        EXPECT_TRUE(list.entries.back().SetPlugin(path.c_str(), host));
        list.entries.back().enabled = enabled ? 1 : 0;
        m_hosts.push_back(host);
        return host;
    }

    // Prepares the export of `picture` into a TIFF; the export's steps then
    // run by RunSteps.
    std::unique_ptr<CTlvParamSet> Prepare(SyntheticPicture& picture)
    {
        std::unique_ptr<CTlvParamSet> params = picture.Params();
        params->ReadImageTags();
        const std::string target = m_folder.File("picture.tif");
        TempFolder::Overwrite(target, "");
        EXPECT_EQ(0, PrepareExport(params.get(), target.c_str(), 0, kTlExportFormatTiff, 0));
        return params;
    }

    // Runs the export's steps; the work image each plug-in was given.
    std::vector<int> RunSteps(CTlvParamSet& params, int* result)
    {
        std::vector<int> written;
        int done = 0;
        while (done == 0) {
            const int before = SaveState().step;
            *result = ExportStep(params, &done, false);
            if (before == kTlExportNextPlugin && SaveState().step == kTlExportRunPlugin)
                written.push_back(SaveState().workSelector);
        }
        return written;
    }

    TempProfilesFolder m_profiles;
    ManagerHolder m_manager;
    CTlFileSavingUtilities m_watcher;
    CountingWorld m_world;
    TempFolder m_folder;
    std::vector<CountingHost*> m_hosts;
};

TEST_F(ExportPluginsTest, ActivePluginsWriteTheWorkImagesInTurn)
{
    for (const char* name : {"a.8bf", "b.8bf", "c.8bf", "d.8bf"})
        m_world.Install(name, std::int32_t(name[0]), name);
    SyntheticPicture picture(m_manager.manager, 258);
    AddPlugin(picture, "a.8bf", true);
    AddPlugin(picture, "b.8bf", false);
    AddPlugin(picture, "c.8bf", true);
    AddPlugin(picture, "d.8bf", true);
    std::unique_ptr<CTlvParamSet> params = Prepare(picture);
    ASSERT_TRUE(SaveState().prepared);
    int result = -1;
    const std::vector<int> written = RunSteps(*params, &result);

    EXPECT_EQ(0, result);
    EXPECT_EQ((std::vector<int>{kTlFirstWorkImage, kTlSecondWorkImage, kTlFirstWorkImage}), written)
        << "the disabled entry is skipped";
    for (CountingHost* host : m_hosts)
        EXPECT_EQ(0, host->attachedFilters) << host->GetName() << ": no plug-in filter outlives the export";
    EXPECT_EQ(nullptr, SaveState().pluginFilter);
    EXPECT_EQ(nullptr, SaveState().workImages[0]);
}

TEST_F(ExportPluginsTest, DisabledPluginsAreSkipped)
{
    m_world.Install("a.8bf", 1, "a");
    SyntheticPicture picture(m_manager.manager, 258);
    AddPlugin(picture, "a.8bf", false);
    std::unique_ptr<CTlvParamSet> params = Prepare(picture);
    ASSERT_TRUE(SaveState().prepared);
    int result = -1;
    EXPECT_TRUE(RunSteps(*params, &result).empty());
    EXPECT_EQ(0, result);
}

} // namespace
