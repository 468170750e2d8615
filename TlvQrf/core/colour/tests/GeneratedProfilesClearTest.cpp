#include "colour/TlGeneratedProfiles.h"

#include "support/CommonFilesSandbox.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::string> Sorted(std::vector<std::string> names)
{
    std::sort(names.begin(), names.end());
    return names;
}

class GeneratedProfilesClearTest : public ::testing::Test {
protected:
    void SetCommonFiles(const std::string& folder) { ASSERT_TRUE(m_commonFiles.PointAt(folder, REG_SZ)); }

    CommonFilesSandbox m_commonFiles;
};

TEST_F(GeneratedProfilesClearTest, TakesOnlyPrefixedProfiles)
{
    TempFolder common;
    const std::string profiles = common.MakeFolder("Talvo\\Profiles");
    SetCommonFiles(common.Path());
    for (const char* name : {"Tlx_1.icm", "Tlx_camera.icm", "Tlb_1.icm", "Tlx_notes.txt", "TLsRGB.icm",
                             "Tlx_~0000002A.tmp", "Tlb_~0000002A.tmp", "Tlx_1.tmp"})
        common.Write(std::string("Talvo\\Profiles\\") + name, "profile");

    DeleteGeneratedProfiles("Tlx_");

    // The temporary file of a profile whose writer died goes with them.
    EXPECT_EQ((std::vector<std::string>{"TLsRGB.icm", "Tlb_1.icm", "Tlb_~0000002A.tmp", "Tlx_1.tmp", "Tlx_notes.txt"}),
              Sorted(TempFolder::Matching(profiles + "*")));
}

TEST_F(GeneratedProfilesClearTest, LeavesAProfileThatIsOpen)
{
    // Held open without delete sharing, as another process's mark or colour
    // engine holds a profile it uses.
    TempFolder common;
    const std::string profiles = common.MakeFolder("Talvo\\Profiles");
    SetCommonFiles(common.Path());
    const std::string used = common.Write("Talvo\\Profiles\\Tlb_used.icm", "profile");
    common.Write("Talvo\\Profiles\\Tlb_unused.icm", "profile");
    HANDLE open = CreateFileA(used.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, open);

    DeleteGeneratedProfiles("Tlb_");
    CloseHandle(open);

    EXPECT_EQ(std::vector<std::string>{"Tlb_used.icm"}, TempFolder::Matching(profiles + "*"));
}

TEST_F(GeneratedProfilesClearTest, WithoutFolderDoesNothing)
{
    TempFolder common;
    SetCommonFiles(common.Path());
    DeleteGeneratedProfiles("Tlx_"); // no Profiles folder: nothing to list, nothing reported
    EXPECT_TRUE(TempFolder::Exists(common.Path()));
}

} // namespace
