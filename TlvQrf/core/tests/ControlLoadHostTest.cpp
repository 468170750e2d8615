// TlbQrf.dll as a host drives it to open a raw file: the attributes of an
// image control made through the export are what the exported load object
// fills, and the control then answers for the loaded picture.
#include "control/TlvQrfData.h"
#include "kelvra/KelvraManager.h"
#include "lib/TlvQrfLib.h"
#include "load/TlvLoadImage.h"
#include "MakeProfiles/TlProfileMaker.h"
#include "qrfsynth/QrfSynthFile.h"
#include "settings/holders/TlvControlSettings.h"
#include "support/CommonFilesSandbox.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr long kWidth = 200;
constexpr long kHeight = 120;

TEST(ControlLoadHost, TheExportedLoadFillsTheAttributesOfAnExportedControl)
{
    TempProfilesFolder profiles;
    ASSERT_TRUE(profiles.IsReady());
    ASSERT_EQ(nullptr, TlWriteProfiles(profiles.Path().c_str()));
    IKelvraManager* manager = nullptr;
    ASSERT_EQ(nullptr, IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, &manager));
    ASSERT_EQ(0u, TlvQrfLib::InitializeQRFLib(manager));

    TempFolder files;
    const std::string path = files.File("scene.qrf");
    QrfRawOptions options;
    options.model = 258;
    options.width = kWidth;
    options.height = kHeight;
    ASSERT_EQ(nullptr, QrfWriteRaw(options, path.c_str()));

    ITlvQrfData* control = nullptr;
    ASSERT_EQ(0u, ITlvQrfData::CreateObject(&control));
    ITlvLoadImage* loader = nullptr;
    ASSERT_EQ(0u, ITlvLoadImage::CreateObject(&loader));
    CTlvImageAttributes* attributes = control->GetImageAttributes();
    KelvraFile file(path.c_str());
    EXPECT_EQ(0u, loader->BeginLoad(attributes, file, false, true));
    while (!loader->IsFinished() && loader->ExecuteLoad() == 0) {
    }
    EXPECT_TRUE(loader->IsFinished());
    EXPECT_EQ(0u, loader->FinishLoad());
    loader->Destroy();

    EXPECT_NE(0, attributes->rawFlag);
    EXPECT_EQ(std::uint32_t(kWidth), attributes->fullWidth);
    EXPECT_EQ(std::uint32_t(kHeight), attributes->fullHeight);
    ASSERT_NE(nullptr, attributes->images.image);
    EXPECT_EQ(nullptr, control->Initialize(manager, attributes->images.image, attributes->images.tags));
    TlvQrfLib::strTlnImageInfoParam info{};
    info.size = sizeof info;
    EXPECT_EQ(nullptr, control->GetImageInfo(&info));
    // The developed picture: the mosaic less the De-Bayer step's border.
    EXPECT_EQ(std::uint32_t(kWidth - 12), info.width);
    EXPECT_EQ(std::uint32_t(kHeight - 12), info.height);

    control->Destroy();
    TlvQrfLib::CloseQRFLib();
    manager->Release();
}

} // namespace
