// TlbQrf.dll as a host drives it to open a raw file: the attributes of an
// image control made through the export are what the exported load object
// fills, and the control then answers for the loaded picture. The host and
// the library share one imaging framework, so a link the library makes is
// the host's link too.
#include "control/TlvQrfData.h"
#include "kelvra/KelvraData.h"
#include "kelvra/KelvraFilterChain.h"
#include "kelvra/KelvraManager.h"
#include "lib/TlvQrfLib.h"
#include "load/TlvLoadImage.h"
#include "MakeCalibration/TlCalibrationMaker.h"
#include "MakeCameraTables/TlCameraTablesMaker.h"
#include "MakeProfiles/TlProfileMaker.h"
#include "camera/TlCameraTables.h"
#include "qrfsynth/QrfSynthFile.h"
#include "settings/holders/TlvControlSettings.h"
#include "support/CommonFilesSandbox.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

namespace {

constexpr long kWidth = 200;
constexpr long kHeight = 120;

// A control made through the export, its attributes filled by the exported
// load object from a synthetic raw file.
class ControlLoadHost : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_profiles.IsReady());
        ASSERT_EQ(nullptr, TlWriteProfiles(m_profiles.Path().c_str()));
        // What the preview chain reads besides the profiles.
        ASSERT_TRUE(TlWriteCalibrations(m_profiles.Path()));
        std::unique_ptr<TlCameraTables> tables = TlBuildCameraTables();
        ASSERT_NE(nullptr, tables);
        m_profiles.Write(kTlCameraTablesFile, TlSerialiseCameraTables(*tables));
        ASSERT_EQ(nullptr, IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, &m_manager));
        ASSERT_EQ(0u, TlvQrfLib::InitializeQRFLib(m_manager));

        const std::string path = m_files.File("scene.qrf");
        QrfRawOptions options;
        options.model = 258;
        options.width = kWidth;
        options.height = kHeight;
        ASSERT_EQ(nullptr, QrfWriteRaw(options, path.c_str()));

        ASSERT_EQ(0u, ITlvQrfData::CreateObject(&m_control));
        ITlvLoadImage* loader = nullptr;
        ASSERT_EQ(0u, ITlvLoadImage::CreateObject(&loader));
        KelvraFile file(path.c_str());
        EXPECT_EQ(0u, loader->BeginLoad(Attributes(), file, false, true));
        while (!loader->IsFinished() && loader->ExecuteLoad() == 0) {
        }
        EXPECT_TRUE(loader->IsFinished());
        EXPECT_EQ(0u, loader->FinishLoad());
        loader->Destroy();
    }

    void TearDown() override
    {
        if (m_control != nullptr)
            m_control->Destroy();
        if (m_manager != nullptr) {
            TlvQrfLib::CloseQRFLib();
            m_manager->Release();
        }
    }

    CTlvImageAttributes* Attributes() { return m_control->GetImageAttributes(); }

    IKelvraError* InitializeControl()
    {
        return m_control->Initialize(m_manager, Attributes()->images.image, Attributes()->images.tags);
    }

    TempProfilesFolder m_profiles;
    TempFolder m_files;
    IKelvraManager* m_manager = nullptr;
    ITlvQrfData* m_control = nullptr;
};

TEST_F(ControlLoadHost, TheExportedLoadFillsTheAttributesOfAnExportedControl)
{
    CTlvImageAttributes* attributes = Attributes();
    EXPECT_NE(0, attributes->rawFlag);
    EXPECT_EQ(std::uint32_t(kWidth), attributes->fullWidth);
    EXPECT_EQ(std::uint32_t(kHeight), attributes->fullHeight);
    ASSERT_NE(nullptr, attributes->images.image);
    EXPECT_EQ(nullptr, InitializeControl());
    TlvQrfLib::strTlnImageInfoParam info{};
    info.size = sizeof info;
    EXPECT_EQ(nullptr, m_control->GetImageInfo(&info));
    // The developed picture: the mosaic less the De-Bayer step's border.
    EXPECT_EQ(std::uint32_t(kWidth - 12), info.width);
    EXPECT_EQ(std::uint32_t(kHeight - 12), info.height);
}

// A display destination of the host's own.
class HostDisplay : public IKelvraDataDestination {
public:
    IKelvraError* KelvraNotify(IKelvraDataSource*, long, void*) override { return nullptr; }
};

TEST_F(ControlLoadHost, ADisplayTheHostDestroysIsUnlinkedInsideTheLibrary)
{
    ASSERT_NE(nullptr, Attributes()->images.image);
    ASSERT_EQ(nullptr, InitializeControl());
    IKelvraFilterChain* chain = nullptr;
    IKelvraError* error = m_control->GetFilterChain(&chain);
    ASSERT_EQ(nullptr, error) << error->GetCode();
    ASSERT_NE(nullptr, chain);

    // Its storage outlives it, so that its address can still be asked about.
    std::optional<HostDisplay> display;
    display.emplace();
    IKelvraDataDestination* const destroyed = &*display;
    ASSERT_EQ(0u, m_control->Connect(destroyed));
    // The library linked it; the host sees the link in the same registry
    // (asserted: with a registry of its own the library would call the
    // destroyed display below).
    ASSERT_TRUE(KelvraIsConnected(chain, destroyed));
    ASSERT_EQ(1, KelvraDestinationCount(chain));

    display.reset();
    EXPECT_FALSE(KelvraIsConnected(chain, destroyed));
    EXPECT_EQ(0, KelvraDestinationCount(chain));
    // Inside the library the link is gone too: there is nothing left to undo.
    EXPECT_NE(0u, m_control->DisConnect(destroyed));
}

} // namespace
