// The working-profile table, the engine front ends over it and the test of
// whether a colour filter changes anything.
#include "colour/TlColourEngineManager.h"
#include "colour/TlWorkingProfiles.h"
#include "filtrix/KelvraFilterCML.h"
#include "kelvra/KelvraManager.h"
#include "MakeProfiles/TlProfileMaker.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

class WorkingProfilesTest : public ::testing::Test {
protected:
    void SetUp() override { ResetWorkingProfiles(); }
    void TearDown() override { ResetWorkingProfiles(); }
};

TEST_F(WorkingProfilesTest, TheFolderEndsInABackslash)
{
    for (const char* folder : {"C:\\Profiles", "C:\\Profiles\\"}) {
        SetProfileFolder(folder);
        EXPECT_EQ("C:\\Profiles\\", GetProfileFolderPath());
    }
    char path[MAX_PATH];
    EXPECT_STREQ("C:\\Profiles\\TLGrayG22.icm", MakeProfilePath(path, "TLGrayG22.icm"));
}

TEST_F(WorkingProfilesTest, OverlongTextsAreCutToTheBuffers)
{
    const std::string longFolder(400, 'f');
    SetProfileFolder(longFolder.c_str());
    const std::string kept = GetProfileFolderPath();
    EXPECT_EQ(std::size_t(MAX_PATH - 1), kept.size());
    EXPECT_EQ('\\', kept.back());
    char path[MAX_PATH];
    EXPECT_EQ(std::size_t(MAX_PATH - 1), std::string(MakeProfilePath(path, "TLsRGB.icm")).size());
}

TEST_F(WorkingProfilesTest, TheTableTakesThreePathsAndBuildsTwo)
{
    TempFolder folder;
    ASSERT_EQ(nullptr, TlWriteProfiles(folder.Path().c_str()));
    SetProfileFolder(folder.Path().c_str());
    EXPECT_FALSE(AreWorkingProfilesSet());

    EXPECT_EQ(1, SetWorkingProfiles(folder.File("TLAdobe.icm").c_str(), folder.File("TlCMYK.icm").c_str(), "ignored",
                                    folder.File("TLMonitor_Win.icm").c_str(), "ignored"));
    EXPECT_TRUE(AreWorkingProfilesSet());
    EXPECT_EQ(folder.File("TLAdobe.icm"), GetWorkingProfile(kTlRgbWorkingProfile));
    EXPECT_EQ(folder.File("TlCMYK.icm"), GetWorkingProfile(kTlCmykWorkingProfile));
    EXPECT_EQ(folder.File("TLLch2.icm"), GetWorkingProfile(kTlLchWorkingProfile));
    EXPECT_EQ(folder.File("TLMonitor_Win.icm"), GetWorkingProfile(kTlMonitorWorkingProfile));
    EXPECT_EQ(folder.File("TLsRGB.icm"), GetWorkingProfile(kTlSrgbWorkingProfile));
    EXPECT_EQ("", GetWorkingProfile(5));
    EXPECT_EQ("", GetWorkingProfile(-1));

    // Any missing file, the built ones included, answers 0; the table is set all the same.
    ASSERT_TRUE(DeleteFileA(folder.File("TLLch2.icm").c_str()));
    EXPECT_EQ(0, SetWorkingProfiles(folder.File("TLAdobe.icm").c_str(), folder.File("TlCMYK.icm").c_str(), "",
                                    folder.File("TLMonitor_Win.icm").c_str(), ""));
    EXPECT_EQ(0, SetWorkingProfiles(folder.File("TLAdobe.icm").c_str(), folder.File("TlCMYK.icm").c_str(), "", "", ""));
    EXPECT_EQ("", GetWorkingProfile(kTlMonitorWorkingProfile));
}

TEST_F(WorkingProfilesTest, ThePrefixKeepsItsFourCharacters)
{
    EXPECT_EQ("Tlx_", GetGeneratedProfilePrefix());
    SetGeneratedProfilePrefix("Tlb_");
    EXPECT_EQ("Tlb_", GetGeneratedProfilePrefix());
    SetGeneratedProfilePrefix("Abcdef");
    EXPECT_EQ("Abcd", GetGeneratedProfilePrefix());
    SetGeneratedProfilePrefix("Ab");
    EXPECT_EQ("Abcd", GetGeneratedProfilePrefix());
}

class ColourFrontEndsTest : public WorkingProfilesTest {
protected:
    static void SetUpTestSuite()
    {
        s_folder = new TempFolder;
        ASSERT_EQ(nullptr, TlWriteProfiles(s_folder->Path().c_str()));
    }
    static void TearDownTestSuite()
    {
        delete s_folder;
        s_folder = nullptr;
    }

    void SetUp() override
    {
        WorkingProfilesTest::SetUp();
        ASSERT_TRUE(CreateEngineManager());
        ASSERT_EQ(nullptr, IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, &m_imaging));
        SetProfileFolder(s_folder->Path().c_str());
        SetWorkingProfiles(Profile("TLAdobe.icm").c_str(), Profile("TlCMYK.icm").c_str(), "",
                           Profile("TLMonitor_Win.icm").c_str(), "");
    }
    void TearDown() override
    {
        DestroyEngineManager();
        m_imaging->Release();
        WorkingProfilesTest::TearDown();
    }

    static std::string Profile(const char* name) { return s_folder->File(name); }

    static TempFolder* s_folder;
    IKelvraManager* m_imaging = nullptr;
};

TempFolder* ColourFrontEndsTest::s_folder = nullptr;

TEST_F(ColourFrontEndsTest, RequestsGoToTheSingleManager)
{
    CCMLEngMgr::CReference ref;
    EXPECT_TRUE(IsColourManagerCreated());
    EXPECT_TRUE(RequestEngine(ref, Profile("TLsRGB.icm").c_str(), Profile("TLNTSC.icm").c_str()));
    EXPECT_EQ(GetEngineManager(), ref->GetManager());
    EXPECT_FALSE(RequestEngine(ref, Profile("TLsRGB.icm").c_str(), Profile("Missing.icm").c_str()));
    EXPECT_FALSE(ref);

    EXPECT_TRUE(RequestEngineToWorkingProfile(ref, Profile("TLsRGB.icm").c_str(), kTlLchWorkingProfile));
    KelvraFile destination;
    ASSERT_EQ(nullptr, ref->GetProfiles(nullptr, &destination, nullptr));
    EXPECT_EQ(Profile("TLLch2.icm"), destination.path);
    EXPECT_FALSE(RequestEngineToWorkingProfile(ref, Profile("TLsRGB.icm").c_str(), 5));
    EXPECT_FALSE(ref);

    DestroyEngineManager();
    EXPECT_FALSE(IsColourManagerCreated());
    EXPECT_FALSE(RequestEngine(ref, Profile("TLsRGB.icm").c_str(), Profile("TLNTSC.icm").c_str()));
}

TEST_F(ColourFrontEndsTest, AColourFilterIsActiveWhenItsEngineOrTablesChangeSomething)
{
    CKelvraFilterCML filter(m_imaging);
    EXPECT_FALSE(IsColourFilterActive(nullptr));
    EXPECT_FALSE(IsColourFilterActive(&filter)); // no engine

    CCMLEngMgr::CReference same, different;
    ASSERT_TRUE(RequestEngine(same, Profile("TLsRGB.icm").c_str(), Profile("TLsRGB.icm").c_str()));
    ASSERT_TRUE(RequestEngine(different, Profile("TLsRGB.icm").c_str(), Profile("TLAdobe.icm").c_str()));

    ASSERT_EQ(nullptr, filter.SetCMLEngine(same.Get(), false));
    EXPECT_FALSE(IsColourFilterActive(&filter));

    std::vector<std::uint16_t> table(256);
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = std::uint16_t(255 - i);
    const std::uint16_t* tables[] = {table.data(), table.data(), table.data()};
    for (bool outputSide : {false, true}) {
        ASSERT_EQ(nullptr, filter.SetLUT(outputSide, true, tables, 8, 8, 3, false));
        EXPECT_TRUE(IsColourFilterActive(&filter));
        ASSERT_EQ(nullptr, filter.SetLUT(outputSide, true, nullptr, 8, 8, 0, false));
        EXPECT_FALSE(IsColourFilterActive(&filter));
    }

    ASSERT_EQ(nullptr, filter.SetCMLEngine(different.Get(), false));
    EXPECT_TRUE(IsColourFilterActive(&filter));
    ASSERT_EQ(nullptr, filter.SetCMLEngine(nullptr, false));
}

} // namespace
