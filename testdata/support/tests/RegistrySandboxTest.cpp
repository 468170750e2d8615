// Sandboxes put back what a test killed midway left redirected, and
// sandboxes of different processes take turns.
#include "SandboxVictim.h"
#include "support/CommonFilesSandbox.h"
#include "support/RegistrySandbox.h"
#include "support/SiblingProcess.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

constexpr char kVictim[] = "tl_sandbox_victim.exe";
constexpr char kCommonFilesValue[] = "CommonFilesDir";

// The value's text, or "(none)" when it is missing.
std::string TextOf(HKEY root, const std::string& path, const char* name)
{
    StoredValue value;
    if (!LoadValue(root, path, name, value))
        return "(none)";
    return std::string(value.data.begin(), std::find(value.data.begin(), value.data.end(), 0));
}

void SetProbe(const std::string& text)
{
    if (text == "(none)")
        DeleteValue(HKEY_CURRENT_USER, kProbeKey, kProbeValue);
    else
        ASSERT_TRUE(StoreText(HKEY_CURRENT_USER, kProbeKey, kProbeValue, text));
}

bool JournalIsEmpty()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, RegistrySandbox::kJournalKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return true;
    DWORD values = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(key);
    return values == 0;
}

class RegistrySandboxTest : public ::testing::Test {
protected:
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kProbeKey); }
};

TEST_F(RegistrySandboxTest, TheNextSandboxPutsBackWhatAKilledTestLeft)
{
    struct Case {
        const char* what;
        const char* before;
        const char* killedTestSets; // "-" deletes
        const char* leftBehind;
    };
    const Case cases[] = {
        {"a value it changed", "original", "redirected", "redirected"},
        {"a value it made", "(none)", "redirected", "redirected"},
        {"a value it deleted", "original", "-", "(none)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetProbe(c.before);
        SiblingProcess killed(kVictim, std::string("value ") + c.killedTestSets);
        ASSERT_EQ(kKilledExitCode, killed.Wait());
        ASSERT_EQ(c.leftBehind, TextOf(HKEY_CURRENT_USER, kProbeKey, kProbeValue)) << "the redirection stayed";
        {
            RegistrySandbox next;
            next.Preserve(HKEY_CURRENT_USER, kProbeKey, kProbeValue);
            EXPECT_EQ(c.before, TextOf(HKEY_CURRENT_USER, kProbeKey, kProbeValue)) << "put back at the start";
            SetProbe("the next test's");
        }
        EXPECT_EQ(c.before, TextOf(HKEY_CURRENT_USER, kProbeKey, kProbeValue)) << "and at the end";
        EXPECT_TRUE(JournalIsEmpty());
    }
}

TEST_F(RegistrySandboxTest, TheNextCommonFilesSandboxPutsBackTheCommonFilesFolder)
{
    const std::string original = TextOf(HKEY_LOCAL_MACHINE, kWindowsCurrentVersionKey, kCommonFilesValue);
    ASSERT_NE("(none)", original);
    TempFolder redirect;
    const std::string folder = redirect.Path().substr(0, redirect.Path().size() - 1);
    {
        SiblingProcess killed(kVictim, "common-files \"" + folder + "\"");
        ASSERT_EQ(kKilledExitCode, killed.Wait());
    }
    const std::string leftBehind = TextOf(HKEY_LOCAL_MACHINE, kWindowsCurrentVersionKey, kCommonFilesValue);
    {
        CommonFilesSandbox next;
        EXPECT_EQ(original, TextOf(HKEY_LOCAL_MACHINE, kWindowsCurrentVersionKey, kCommonFilesValue));
    }
    const std::string after = TextOf(HKEY_LOCAL_MACHINE, kWindowsCurrentVersionKey, kCommonFilesValue);
    if (after != original) // never leave the prefix redirected, whatever failed
        StoreText(HKEY_LOCAL_MACHINE, kWindowsCurrentVersionKey, kCommonFilesValue, original);
    EXPECT_EQ(folder, leftBehind) << "the redirection stayed";
    EXPECT_EQ(original, after);
    EXPECT_TRUE(JournalIsEmpty());
}

TEST_F(RegistrySandboxTest, ASandboxOfAnotherProcessWaitsAndFindsTheOriginal)
{
    // Without turns the other process may take this one's redirection for the
    // original, and put it back when its own sandbox ends.
    const std::string readyName = "TlSandboxObserverReady." + std::to_string(GetCurrentProcessId());
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, readyName.c_str());
    ASSERT_NE(nullptr, ready);
    for (int round = 0; round < 8; ++round) {
        SCOPED_TRACE(round);
        ResetEvent(ready);
        SetProbe("original");
        std::unique_ptr<RegistrySandbox> mine(new RegistrySandbox);
        mine->Preserve(HKEY_CURRENT_USER, kProbeKey, kProbeValue);
        SetProbe("redirected");
        SiblingProcess observer(kVictim, "observe " + readyName);
        ASSERT_TRUE(observer.IsStarted());
        WaitForSingleObject(ready, INFINITE);
        mine.reset();
        EXPECT_EQ(0, observer.Wait());
        EXPECT_EQ("original", TextOf(HKEY_CURRENT_USER, kProbeKey, kObservedValue));
        EXPECT_EQ("original", TextOf(HKEY_CURRENT_USER, kProbeKey, kProbeValue));
    }
    CloseHandle(ready);
    EXPECT_TRUE(JournalIsEmpty());
}

} // namespace
