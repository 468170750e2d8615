// TlbQrf.dll as a host uses it: linked through its import library, started
// with the host's imaging manager on a profiles folder of its own, asked for
// the working profiles, used to make an image, and closed.
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"
#include "lib/TlvQrfLib.h"
#include "MakeProfiles/TlProfileMaker.h"
#include "support/CommonFilesSandbox.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kColourPreferencesKey = "Software\\Talvo\\Common\\ColorManagement";

class HostSession : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_profiles.IsReady());
        m_registry.OwnKey(HKEY_CURRENT_USER, "Software\\Talvo\\Common");
        m_registry.OwnKey(HKEY_LOCAL_MACHINE, "Software\\Talvo\\Common");
        IKelvraError* error = IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, &m_manager);
        ASSERT_EQ(nullptr, error);
    }

    void TearDown() override
    {
        if (m_manager)
            m_manager->Release();
    }

    void InstallProfiles()
    {
        IKelvraError* error = TlWriteProfiles(m_profiles.Path().c_str());
        ASSERT_EQ(nullptr, error);
    }

    std::string InFolder(const char* name) const { return m_profiles.Path() + name; }

    RegistrySandbox m_registry;
    TempProfilesFolder m_profiles;
    IKelvraManager* m_manager = nullptr;
};

TEST_F(HostSession, StartsReadsProfilesMakesAnImageAndCloses)
{
    InstallProfiles();
    ASSERT_EQ(0u, TlvQrfLib::InitializeQRFLib(m_manager));

    TlvQrfLib::TlvProfiles profiles;
    ASSERT_EQ(0u, TlvQrfLib::GetProfiles(profiles));
    EXPECT_EQ(InFolder("TlsRGB.icm"), profiles.szRGBProfile);
    EXPECT_EQ(InFolder("TLCMYK.icm"), profiles.szCMYKProfile);
    EXPECT_EQ(InFolder("TLMonitor_Win.icm"), profiles.szMonitorProfile);
    EXPECT_EQ(InFolder("TLsRGB.icm"), profiles.szSRGBProfile);
    EXPECT_EQ(m_profiles.Path(), profiles.szProfileFolder);

    IKelvraImage* image = nullptr;
    ASSERT_EQ(0u, TlvQrfLib::CreateImage(&image, 0));
    ASSERT_NE(nullptr, image);
    TlvQrfLib::DestroyImage(image);
    TlvQrfLib::DestroyImage(nullptr);

    // After start-up generated profiles carry the library's own prefix.
    const std::string generated = m_profiles.Write("Tlb_camera.icm", "profile");
    const std::string foreign = m_profiles.Write("Tlx_other.icm", "profile");
    TlvQrfLib::CloseQRFLib();
    EXPECT_FALSE(TempFolder::Exists(generated));
    EXPECT_TRUE(TempFolder::Exists(foreign));
    EXPECT_TRUE(TempFolder::Exists(InFolder("TLsRGB.icm")));
}

TEST_F(HostSession, PreferencesComePerUserFirstThenMachineWide)
{
    struct Stored {
        const char* value;
        const char* user;    // null: not stored per user
        const char* machine; // null: not stored machine-wide
    };
    const Stored stored[] = {
        {"RGBProfile", "C:\\user\\rgb.icm", "C:\\machine\\rgb.icm"},
        {"CMYKProfile", nullptr, "C:\\machine\\cmyk.icm"},
        {"MonitorProfile", "", "C:\\machine\\monitor.icm"}, // stored empty per user: the default, not the machine-wide value
    };
    for (const Stored& s : stored) {
        if (s.user) {
            ASSERT_TRUE(StoreText(HKEY_CURRENT_USER, kColourPreferencesKey, s.value, s.user));
        }
        if (s.machine) {
            ASSERT_TRUE(StoreText(HKEY_LOCAL_MACHINE, kColourPreferencesKey, s.value, s.machine));
        }
    }

    TlvQrfLib::TlvProfiles profiles;
    ASSERT_EQ(0u, TlvQrfLib::GetProfiles(profiles));
    EXPECT_STREQ("C:\\user\\rgb.icm", profiles.szRGBProfile);
    EXPECT_STREQ("C:\\machine\\cmyk.icm", profiles.szCMYKProfile);
    EXPECT_EQ(InFolder("TLMonitor_Win.icm"), profiles.szMonitorProfile);
    EXPECT_EQ(InFolder("TLsRGB.icm"), profiles.szSRGBProfile);
}

TEST_F(HostSession, AStoredProfileThatIsMissingFailsStartUp)
{
    InstallProfiles();
    ASSERT_TRUE(StoreText(HKEY_CURRENT_USER, kColourPreferencesKey, "RGBProfile", InFolder("Gone.icm")));
    EXPECT_EQ(0x1008u, TlvQrfLib::InitializeQRFLib(m_manager));
    TlvQrfLib::CloseQRFLib();
}

// Runs in a process of its own (see CMakeLists.txt): the prefix of
// generated profiles is still the one of a library that never started.
TEST_F(HostSession, FailedStartLeavesThePrefixSoCloseDeletesItsProfiles)
{
    IKelvraImage* image = nullptr;
    EXPECT_EQ(0x1008u, TlvQrfLib::CreateImage(&image, 0)); // no manager yet
    EXPECT_EQ(nullptr, image);

    InstallProfiles();
    ASSERT_TRUE(DeleteFileA(InFolder("TLLch2.icm").c_str()));
    EXPECT_EQ(0x1008u, TlvQrfLib::InitializeQRFLib(m_manager));

    const std::string early = m_profiles.Write("Tlx_early.icm", "profile");
    const std::string other = m_profiles.Write("Tlb_other.icm", "profile");
    TlvQrfLib::CloseQRFLib();
    EXPECT_FALSE(TempFolder::Exists(early));
    EXPECT_TRUE(TempFolder::Exists(other));
}

} // namespace
