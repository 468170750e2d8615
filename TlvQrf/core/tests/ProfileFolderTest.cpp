#include "frame/TlProfileFolder.h"

#include "support/CommonFilesSandbox.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

class ProfileFolderTest : public ::testing::Test {
protected:
    void SetCommonFiles(const std::string& folder, DWORD type = REG_SZ)
    {
        ASSERT_TRUE(m_commonFiles.PointAt(folder, type));
    }

    CommonFilesSandbox m_commonFiles;
};

TEST_F(ProfileFolderTest, FollowsCommonFilesDir)
{
    SetCommonFiles("D:\\Shared Files");
    EXPECT_EQ("D:\\Shared Files\\Talvo\\Profiles\\", GetProfileFolder());
    SetCommonFiles("D:\\Shared Files\\");
    EXPECT_EQ("D:\\Shared Files\\Talvo\\Profiles\\", GetProfileFolder());
}

TEST_F(ProfileFolderTest, MissingOrExpandableValueLeavesARootedFolder)
{
    DeleteValue(HKEY_LOCAL_MACHINE, kWindowsCurrentVersionKey, "CommonFilesDir");
    EXPECT_EQ("\\Talvo\\Profiles\\", GetProfileFolder());

    SetCommonFiles("%ProgramFiles%\\Common Files", REG_EXPAND_SZ);
    EXPECT_EQ("\\Talvo\\Profiles\\", GetProfileFolder());
}

TEST_F(ProfileFolderTest, DeleteGeneratedProfilesTakesOnlyPrefixedProfiles)
{
    TempFolder common;
    const std::string profiles = common.MakeFolder("Talvo\\Profiles");
    SetCommonFiles(common.Path());
    for (const char* name : {"Tlx_1.icm", "Tlx_camera.icm", "Tlb_1.icm", "Tlx_notes.txt", "TLsRGB.icm"})
        common.Write(std::string("Talvo\\Profiles\\") + name, "profile");

    DeleteGeneratedProfiles("Tlx_");

    EXPECT_FALSE(TempFolder::Exists(profiles + "Tlx_1.icm"));
    EXPECT_FALSE(TempFolder::Exists(profiles + "Tlx_camera.icm"));
    EXPECT_TRUE(TempFolder::Exists(profiles + "Tlb_1.icm"));
    EXPECT_TRUE(TempFolder::Exists(profiles + "Tlx_notes.txt"));
    EXPECT_TRUE(TempFolder::Exists(profiles + "TLsRGB.icm"));
}

TEST_F(ProfileFolderTest, DeleteGeneratedProfilesWithoutFolderDoesNothing)
{
    TempFolder common;
    SetCommonFiles(common.Path());
    DeleteGeneratedProfiles("Tlx_"); // no Profiles folder: nothing to list, nothing reported
    EXPECT_TRUE(TempFolder::Exists(common.Path()));
}

TEST(ModuleFolderTest, IsTheLongFolderOfThisModuleWithBackslash)
{
    char name[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, name, MAX_PATH);
    char longName[MAX_PATH] = {};
    GetLongPathNameA(name, longName, MAX_PATH);
    std::string expected = longName;
    expected.resize(expected.rfind('\\') + 1);

    EXPECT_EQ(expected, GetModuleFolder());
    EXPECT_EQ(GetModuleFolder(), GetModuleFolder());
}

} // namespace
