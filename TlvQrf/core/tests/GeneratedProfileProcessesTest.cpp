// Several processes providing, using and clearing one generated profile at
// once, as parallel develops in one profiles folder do: every process gets
// the whole profile in every round, and the last to close clears it.
#include "MakeProfiles/TlProfileMaker.h"
#include "support/CommonFilesSandbox.h"
#include "support/SiblingProcess.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kProcesses = 6;
constexpr int kRounds = 40;

TEST(GeneratedProfileProcesses, EveryProcessGetsTheWholeProfileInEveryRound)
{
    // The processes clear the folder that "CommonFilesDir" names, as the
    // library does at its close.
    TempProfilesFolder folder;
    ASSERT_TRUE(folder.IsReady());
    std::vector<std::uint8_t> srgb;
    IKelvraError* error = TlBuildProfile("TLsRGB.icm", &srgb);
    IKelvraError::Release(error);
    ASSERT_EQ(nullptr, error);
    folder.Write("TLsRGB.icm", std::string(srgb.begin(), srgb.end()));

    const std::string startName = "TlProfileUsersStart." + std::to_string(GetCurrentProcessId());
    HANDLE start = CreateEventA(nullptr, TRUE, FALSE, startName.c_str());
    ASSERT_NE(nullptr, start);
    // Without its last backslash, which would escape the closing quote.
    const std::string profiles = folder.Path().substr(0, folder.Path().size() - 1);
    const std::string arguments = "\"" + profiles + "\" " + std::to_string(kRounds) + " " + startName;
    std::vector<std::unique_ptr<SiblingProcess>> users;
    for (int i = 0; i < kProcesses; ++i) {
        users.emplace_back(new SiblingProcess("tlvqrf_profile_user.exe", arguments));
        EXPECT_TRUE(users.back()->IsStarted()) << "process " << i;
    }
    SetEvent(start);
    for (int i = 0; i < kProcesses; ++i)
        EXPECT_EQ(0, users[i]->Wait()) << "process " << i;
    CloseHandle(start);

    EXPECT_EQ(std::vector<std::string>(), TempFolder::Matching(folder.Path() + "Tlb_*"))
        << "the last process to close clears the profile, and no temporary file stays";
}

} // namespace
