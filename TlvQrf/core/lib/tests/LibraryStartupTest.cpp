// Start-up and shut-down in this process: what a failed and a successful
// start leave in the library's state. One test, in this order: a library
// that started once keeps the prefix of a started library.
#include "colour/TlColourEngineManager.h"
#include "colour/TlWorkingProfiles.h"
#include "FrameTestEnvironment.h"
#include "lib/TlLibraryStartup.h"
#include "lib/TlLibraryState.h"
#include "MakeProfiles/TlProfileMaker.h"
#include "support/CommonFilesSandbox.h"
#include "support/RegistrySandbox.h"
#include "support/TempFolder.h"
#include "watcher/TlFileSavingUtilities.h"

#include <gtest/gtest.h>

namespace {

IKelvraManager* const kHostManager = reinterpret_cast<IKelvraManager*>(0x5000);

TEST(LibraryStartupTest, AFailedStartKeepsTheWatcherAndTheFirstPrefixASuccessfulOneSwitches)
{
    LibraryKeyHelper keys;
    RegistrySandbox registry;
    registry.OwnKey(HKEY_CURRENT_USER, LibraryKeyHelper::CommonKey());
    registry.OwnKey(HKEY_LOCAL_MACHINE, LibraryKeyHelper::CommonKey());
    TempProfilesFolder profiles;
    ASSERT_TRUE(profiles.IsReady());

    // Nothing installed: the working profiles are missing.
    EXPECT_EQ(0x1008u, StartQrfLibrary(kHostManager));
    EXPECT_EQ(kHostManager, TlvQrfLib::GetGlobalManager());
    EXPECT_NE(nullptr, GetLibraryWatcher());
    EXPECT_EQ(GetLibraryWatcher(), GetCurrentFileWatcher());
    EXPECT_TRUE(IsColourManagerCreated());
    EXPECT_FALSE(AreColourPathsReady());
    EXPECT_EQ("Tlx_", GetGeneratedProfilePrefix());
    EXPECT_EQ("", GetSoftwareTag());
    CloseQrfLibrary();
    EXPECT_EQ(nullptr, GetLibraryWatcher());
    EXPECT_FALSE(IsColourManagerCreated());

    ASSERT_EQ(nullptr, TlWriteProfiles(profiles.Path().c_str()));
    EXPECT_EQ(0u, StartQrfLibrary(kHostManager));
    EXPECT_TRUE(AreColourPathsReady());
    EXPECT_EQ("Tlb_", GetGeneratedProfilePrefix());
    EXPECT_EQ(profiles.Path(), GetProfileFolderPath());
    EXPECT_EQ(profiles.Path() + "TlsRGB.icm", GetWorkingProfile(kTlRgbWorkingProfile));
    EXPECT_EQ("Imagora 2.1.0 W", GetSoftwareTag()); // from this program's version block

    // A second start replaces the watcher and its engine manager whole.
    EXPECT_EQ(0u, StartQrfLibrary(kHostManager));
    EXPECT_EQ(GetLibraryWatcher(), GetCurrentFileWatcher());
    EXPECT_TRUE(IsColourManagerCreated());

    CloseQrfLibrary();
    EXPECT_EQ(nullptr, GetCurrentFileWatcher());
    EXPECT_EQ(kHostManager, TlvQrfLib::GetGlobalManager()); // the manager stays stored
}

} // namespace
