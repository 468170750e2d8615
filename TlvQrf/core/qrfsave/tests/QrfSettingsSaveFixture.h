// What the settings-save tests of synthetic raw files share: a fixture with
// the profiles, the hooks and the software tag a save needs, loads as the
// host makes them, saves through the temporary file, and readers of the
// written files.
#pragma once

#include "CameraTestSupport.h"
#include "LoadTestSupport.h"
#include "QrfSaveTestSupport.h"

#include "colour/TlGeneratedProfileHolds.h"
#include "colour/TlWorkingProfiles.h"
#include "export/TlExport.h"
#include "lib/TlLibraryState.h"
#include "load/TlImageSaveHook.h"
#include "params/TlvParamSet.h"
#include "qrfsave/TlQrfSave.h"
#include "save/TlSaveImage.h"
#include "save/TlSaveState.h"
#include "save/TlSaveWriters.h"
#include "settings/holders/TlvControlSettings.h"
#include "watcher/TlFileSavingUtilities.h"

#include <memory>
#include <string>
#include <vector>

namespace qrfsave_test {

constexpr char kSoftware[] = "Imagora 2.0.1 W";

inline pelliotest::Bytes RenditionPixels(const pelliotest::LoadedFile& file, std::size_t index)
{
    return pelliotest::PixelsOf(file.subImages.at(index).get());
}

inline std::vector<std::uint32_t> KindsOf(const pelliotest::LoadedFile& file)
{
    std::vector<std::uint32_t> kinds;
    for (const KelvraSubImageInfo& info : file.subInfo)
        kinds.push_back(info.kind);
    return kinds;
}

class QrfSettingsSaveFixture : public loadtest::LoadTest {
protected:
    void SetUp() override
    {
        LoadTest::SetUp();
        ASSERT_TRUE(m_profiles.IsReady());
        camera_test::WriteCameraData(m_profiles);
        for (const char* name : {"TLLab.icm", "TLLch2.icm", "TLAdobe.icm", "TLGrayG22.icm"})
            m_profiles.Write(name, camera_test::ProfileBytes(name));
        SetProfileFolder(m_profiles.Path().c_str());
        SetGeneratedProfilePrefix("Tlb_");
        m_srgb = m_profiles.Path() + "TLsRGB.icm";
        SetWorkingProfiles(m_srgb.c_str(), m_srgb.c_str(), nullptr, m_srgb.c_str(), nullptr);
        InstallImageSave();
        m_previousHook = SetSaveSettingsHook(&SaveQrfSettings);
        m_previousExport = SetExportImageHook(&ExportImage);
        m_previousSoftware = ExchangeSoftwareTag(kSoftware);
        m_liveErrors = IKelvraError::LiveCount();
    }
    void TearDown() override
    {
        SetSaveSettingsHook(m_previousHook);
        SetExportImageHook(m_previousExport);
        SetImageSaveHook(nullptr);
        ExchangeSoftwareTag(m_previousSoftware);
        m_attributes.reset();
        EXPECT_FALSE(SaveState().prepared);
        EXPECT_EQ(IKelvraError::LiveCount(), m_liveErrors) << "every error object of a save is released";
        ReleaseGeneratedProfileHolds(); // as the library's close: the profiles folder can go
        LoadTest::TearDown();
    }

    // Loads `path` as the host would, into fresh attributes.
    CTlvImageAttributes& Load(const std::string& path)
    {
        m_attributes.reset(new CTlvImageAttributes);
        const loadtest::HostLoad load = loadtest::LoadThroughHost(*m_attributes, path);
        EXPECT_EQ(load.begin, 0u);
        EXPECT_EQ(load.finish, 0u);
        return *m_attributes;
    }

    int Save(CTlvImageAttributes& attributes, const std::string& target, std::uint32_t option = 0,
             const pelliotest::Bytes& block = {})
    {
        CTlvParamSet params(attributes);
        if (!block.empty()) {
            params.profileBuffer = block.data();
            params.profileBufferSize = static_cast<std::uint32_t>(block.size());
        }
        return SaveImageToFile(&params, target.c_str(), 0, kTlSaveSettingsFormat, option, false);
    }

    pelliotest::LoadedFile Reload(const std::string& path) { return qrfsave_test::Reload(Manager(), path); }

    // A raw file, saved once with a brighter picture.
    std::string SavedBrighter(const std::string& source, const std::string& name)
    {
        CTlvImageAttributes& attributes = Load(source);
        attributes.adjustUsed = 1;
        attributes.adjust.value = 1.5;
        const std::string target = m_folder.File(name);
        EXPECT_EQ(Save(attributes, target), 0);
        return target;
    }

    bool TemporaryFilesLeft() const
    {
        for (const std::string& name : pelliotest::FilesIn(m_folder.Path())) {
            if (name.rfind("Tln", 0) == 0)
                return true;
        }
        return false;
    }

    TempProfilesFolder m_profiles;
    CTlFileSavingUtilities m_watcher; // the colour engines and the gamma caches
    std::string m_srgb;
    std::unique_ptr<CTlvImageAttributes> m_attributes;
    TlSaveSettingsHook m_previousHook = nullptr;
    TlExportImageHook m_previousExport = nullptr;
    std::string m_previousSoftware;
    long m_liveErrors = 0;
};

} // namespace qrfsave_test
