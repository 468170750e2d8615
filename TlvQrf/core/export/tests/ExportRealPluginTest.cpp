// End to end: a picture whose settings name the installed test plug-in is
// exported through the library's own plug-in host, and comes out filtered.
#include "colour/TlGeneratedProfileHolds.h"
#include "export/TlExport.h"

#include "CameraTestSupport.h"
#include "colour/TlWorkingProfiles.h"
#include "DevelopTestSupport.h"
#include "filters/plugin/TlInstalledPlugins.h"
#include "filters/plugin/TlPluginWin.h"
#include "filters/tests/PluginTestSupport.h"
#include "lib/TlLibraryState.h"
#include "PellioTestSupport.h"
#include "save/TlSaveImage.h"
#include "save/TlSaveWriters.h"
#include "settings/plugins/TlPluginListState.h"
#include "settings/plugins/TlPluginServices.h"
#include "support/TempFolder.h"
#include "watcher/TlFileSavingUtilities.h"

#include <string>
#include <vector>

using namespace develop_test;

namespace {

constexpr std::uint32_t kTiff = 256;
constexpr std::uint32_t kBayerModel = 258;

class ExportRealPluginTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_profiles.IsReady());
        camera_test::UseSrgbProfilesIn(m_profiles);
        TlvQrfLib::SetGlobalManager(m_manager.manager);
        m_previousExport = SetExportImageHook(&ExportImage);
        CTlInstalledPlugins::Instance().Clear();
        ASSERT_TRUE(CTlInstalledPlugins::Instance().Add(plugin_test::kTestPlugin, "", "", 0x1234));
        m_previousServices = SetPluginServices({&CTlInstalledPlugins::Instance(), &m_hosts});
    }
    void TearDown() override
    {
        SetPluginServices(m_previousServices);
        CTlInstalledPlugins::Instance().Clear();
        SetExportImageHook(m_previousExport);
        ReleaseGeneratedProfileHolds();
    }

    // The samples of `picture` exported into a 16-bit TIFF.
    std::vector<unsigned> Exported(SyntheticPicture& picture)
    {
        const std::string target = m_folder.File("picture.tif");
        std::unique_ptr<CTlvParamSet> params = picture.Params();
        params->ReadImageTags();
        EXPECT_EQ(0, SaveImageToFile(params.get(), target.c_str(), 1, kTiff, 0, false));
        pelliotest::LoadedFile file;
        EXPECT_EQ(nullptr, pelliotest::LoadWhole(m_manager.manager, target, &file));
        std::vector<unsigned> samples = file.main ? ReadAllSamples(file.main.get()) : std::vector<unsigned>();
        file = pelliotest::LoadedFile();
        DeleteFileA(target.c_str());
        return samples;
    }

    TempProfilesFolder m_profiles;
    ManagerHolder m_manager;
    CTlFileSavingUtilities m_watcher;
    TempFolder m_folder;
    CPluginWinFactory m_hosts;
    TlExportImageHook m_previousExport = nullptr;
    TlPluginServices m_previousServices;
};

TEST_F(ExportRealPluginTest, ThePictureComesOutFiltered)
{
    SyntheticPicture plain(m_manager.manager, kBayerModel);
    const std::vector<unsigned> unfiltered = Exported(plain);
    ASSERT_FALSE(unfiltered.empty());

    SyntheticPicture picture(m_manager.manager, kBayerModel);
    CTlPluginListState& list = picture.holder.plugins;
    list.entries.emplace_back();
    ASSERT_TRUE(list.entries.back().SetPlugin(plugin_test::kTestPlugin, m_hosts.CreateHost()));
    const TlTestPluginParameters parameters = plugin_test::Parameters(100);
    list.entries.back().GetPlugin()->SetParameters(&parameters, sizeof parameters);
    EXPECT_EQ(plugin_test::Filtered(unfiltered, kKelvraRGB16, 100), Exported(picture));
}

} // namespace
