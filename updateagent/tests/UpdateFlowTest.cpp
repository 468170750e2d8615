// The update flow as a table over mode, addresses, connection, check result
// and the answer to the question, with every window replaced.
#include "app/UpdateFlow.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
class RecordingSteps : public UpdateFlowSteps {
public:
    bool IsConnected() override { return connected; }
    int RunCheckDialog(const TWideString&, const TWideString&) override
    {
        calls += "check-dialog ";
        return checkResult == 0 ? 0 : 1;
    }
    unsigned RunSilentCheck(const TWideString& installer, const TWideString& md5File) override
    {
        calls += "silent-check ";
        checkedInstaller = installer.Text();
        checkedMd5 = md5File.Text();
        return checkResult;
    }
    int RunConfirmDialog() override
    {
        calls += "confirm ";
        return confirmCode;
    }
    void RunUpdaterDialog(const TWideString&, const TWideString&) override { calls += "updater "; }
    void ShowBox(UINT textId) override { calls += "box" + std::to_string(textId) + " "; }

    bool connected = true;
    unsigned checkResult = 0;
    int confirmCode = 0;
    std::string calls;
    std::wstring checkedInstaller;
    std::wstring checkedMd5;
};

LoadedAddresses Addresses(const wchar_t* installer, const wchar_t* md5File)
{
    LoadedAddresses addresses;
    addresses.installerLoaded = installer != nullptr;
    addresses.installer = installer ? installer : L"";
    addresses.md5Loaded = md5File != nullptr;
    addresses.md5File = md5File ? md5File : L"";
    return addresses;
}
}

TEST(UpdateFlow, StepsByModeAddressesConnectionCheckAndAnswer)
{
    const wchar_t* http = L"http://h/CorvaneSetup.exe";
    const wchar_t* https = L"https://h/CorvaneSetup.exe";
    const wchar_t* md5 = L"https://h/CorvaneSetup.md5";
    const struct {
        bool manual;
        const wchar_t* installer;
        const wchar_t* md5File;
        bool connected;
        unsigned checkResult;
        int confirmCode;
        bool returns;
        const char* calls;
    } cases[] = {
        {true, http, md5, true, 0, 0, true, "check-dialog confirm updater "},
        {false, http, md5, true, 0, 0, true, "silent-check confirm updater "},
        {false, https, L"HTTPS://h/CorvaneSetup.md5", true, 0, 0, true, "silent-check confirm updater "},
        {true, https, L"http://h/CorvaneSetup.md5", true, 0, 0, false, "box1072 "},
        {false, https, L"http://h/CorvaneSetup.md5", true, 0, 0, false, "box1072 "},
        {true, L"ftp://h/CorvaneSetup.exe", md5, true, 0, 0, false, "box1072 "},
        {true, nullptr, md5, true, 0, 0, false, "box1072 "},
        {false, http, nullptr, true, 0, 0, false, "box1072 "},
        {true, http, md5, false, 0, 0, false, "box1075 "},
        {false, http, md5, false, 0, 0, false, ""},
        {true, http, md5, true, 1, 0, true, "check-dialog "},
        {false, http, md5, true, 1, 0, true, "silent-check "},
        {false, http, md5, true, 4, 0, true, "silent-check "},
        {true, http, md5, true, 0, 1, true, "check-dialog confirm "},
        {false, http, md5, true, 0, -1, true, "silent-check confirm "},
        {false, http, md5, true, 0, 7, true, "silent-check confirm "},
    };
    for (const auto& c : cases) {
        RecordingSteps steps;
        steps.connected = c.connected;
        steps.checkResult = c.checkResult;
        steps.confirmCode = c.confirmCode;
        EXPECT_EQ(RunUpdateFlow(Addresses(c.installer, c.md5File), c.manual, steps), c.returns) << c.calls;
        EXPECT_EQ(steps.calls, c.calls);
    }
}

TEST(UpdateFlow, TheSilentCheckAsksBothAddresses)
{
    RecordingSteps steps;
    RunUpdateFlow(Addresses(L"http://h/a.exe", L"https://h/a.md5"), false, steps);
    EXPECT_EQ(steps.checkedInstaller, L"http://h/a.exe");
    EXPECT_EQ(steps.checkedMd5, L"https://h/a.md5");
}
