#include "frame/TlProfileFolder.h"

#include "support/CommonFilesSandbox.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

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
