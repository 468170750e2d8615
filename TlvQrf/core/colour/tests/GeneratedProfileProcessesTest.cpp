// Several processes providing, using and clearing one generated profile at
// once, as parallel develops in one profiles folder do: every process gets
// the whole profile in every round, and the last to close clears it; and
// what a process killed midway held passes to the next.
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
constexpr char kUser[] = "tlvqrf_profile_user.exe";

// A profiles folder in force through "CommonFilesDir" (the processes clear
// the folder it names, as the library does at its close) with the profile
// the processes convert to.
class GeneratedProfileProcesses : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.IsReady());
        std::vector<std::uint8_t> srgb;
        IKelvraError* error = TlBuildProfile("TLsRGB.icm", &srgb);
        IKelvraError::Release(error);
        ASSERT_EQ(nullptr, error);
        m_folder.Write("TLsRGB.icm", std::string(srgb.begin(), srgb.end()));
    }

    // The command line of a profile user that waits for `start` ("-": none).
    std::string Arguments(const std::string& start, const std::string& what) const
    {
        // Without its last backslash, which would escape the closing quote.
        const std::string& path = m_folder.Path();
        return "\"" + path.substr(0, path.size() - 1) + "\" " + start + " " + what;
    }

    std::vector<std::string> GeneratedFiles() const { return TempFolder::Matching(m_folder.Path() + "Tlb_*"); }

    TempProfilesFolder m_folder;
};

TEST_F(GeneratedProfileProcesses, EveryProcessGetsTheWholeProfileInEveryRound)
{
    const std::string startName = "TlProfileUsersStart." + std::to_string(GetCurrentProcessId());
    HANDLE start = CreateEventA(nullptr, TRUE, FALSE, startName.c_str());
    ASSERT_NE(nullptr, start);
    std::vector<std::unique_ptr<SiblingProcess>> users;
    for (int i = 0; i < kProcesses; ++i) {
        users.emplace_back(new SiblingProcess(kUser, Arguments(startName, std::to_string(kRounds))));
        EXPECT_TRUE(users.back()->IsStarted()) << "process " << i;
    }
    SetEvent(start);
    for (int i = 0; i < kProcesses; ++i)
        EXPECT_EQ(0, users[i]->Wait()) << "process " << i;
    CloseHandle(start);

    EXPECT_EQ(std::vector<std::string>(), GeneratedFiles())
        << "the last process to close clears the profile, and no temporary file stays";
}

TEST_F(GeneratedProfileProcesses, WhatAKilledProcessHeldPassesToTheNext)
{
    struct Case {
        const char* what;
        const char* dies;
    };
    const Case cases[] = {
        {"killed holding the generation lock, with a temporary file half-written", "die-writing"},
        {"killed holding its mark on the profile", "die-using"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        {
            SiblingProcess killed(kUser, Arguments("-", c.dies));
            ASSERT_EQ(kKilledExitCode, killed.Wait());
        }
        EXPECT_FALSE(GeneratedFiles().empty()) << "the killed process left its file";
        SiblingProcess next(kUser, Arguments("-", "1"));
        EXPECT_EQ(0, next.Wait());
        EXPECT_EQ(std::vector<std::string>(), GeneratedFiles()) << "the next process's close clears what was left";
    }
}

} // namespace
