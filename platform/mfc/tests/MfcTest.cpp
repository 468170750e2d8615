#include "afxwin.h"

#include <gtest/gtest.h>

namespace {

TEST(MfcStrings, LoadsFromTheModulesOwnTable)
{
    std::string text;
    ASSERT_TRUE(AfxLoadString(100, text));
    EXPECT_EQ("Talvo", text);
}

TEST(MfcStrings, LongEntryIsNotCut)
{
    std::string text = AfxLoadString(101);
    ASSERT_EQ(300u, text.size()); // longer than the first 256-byte attempt
    EXPECT_EQ('9', text.back());
}

TEST(MfcStrings, MissingEntryIsEmptyAndFalse)
{
    std::string text = "stale";
    EXPECT_FALSE(AfxLoadString(4242, text));
    EXPECT_TRUE(text.empty());
}

TEST(MfcModuleState, StaticStateNamesThisModule)
{
    EXPECT_EQ(GetModuleHandleA(nullptr), AfxGetStaticModuleState()->m_hCurrentInstanceHandle);
    EXPECT_EQ(AfxGetStaticModuleState(), AfxGetModuleState());
}

TEST(MfcModuleState, ManageStateSwitchesAndRestores)
{
    AFX_MODULE_STATE other;
    other.m_hCurrentResourceHandle = reinterpret_cast<HINSTANCE>(GetModuleHandleA("kernel32.dll"));
    {
        AFX_MANAGE_STATE(&other);
        EXPECT_EQ(&other, AfxGetModuleState());
        EXPECT_EQ(other.m_hCurrentResourceHandle, AfxGetResourceHandle());
        EXPECT_EQ("", AfxLoadString(100)); // kernel32 has no such string of ours
    }
    EXPECT_EQ(AfxGetStaticModuleState(), AfxGetModuleState());
    EXPECT_EQ("Talvo", AfxLoadString(100));
}

class CountingApp : public CWinApp {
public:
    BOOL InitInstance() override { ++inits; return TRUE; }
    int ExitInstance() override { ++exits; return 0; }
    int inits = 0;
    int exits = 0;
};

TEST(MfcApp, DllAttachAndDetachRunTheApplicationObject)
{
    CountingApp app;
    EXPECT_EQ(&app, AfxGetApp());
    EXPECT_TRUE(AfxDllProcessAttach(GetModuleHandleA(nullptr)));
    AfxDllProcessDetach();
    EXPECT_EQ(1, app.inits);
    EXPECT_EQ(1, app.exits);
}

} // namespace
