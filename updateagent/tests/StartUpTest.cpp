// The start-up decisions: which command lines run the agent in which mode,
// which update addresses pass, the guard's own options, and the guard itself
// (it keeps the instance mutex for the rest of this test program, which
// therefore runs on its own).
#include "app/CommandLine.h"
#include "app/TInstanceGuard.h"
#include "app/UpdateAddresses.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {
bool ReadAutoStart(std::string& path, DWORD& type)
{
    char text[MAX_PATH + 1] = {};
    DWORD size = sizeof text;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, kAutoStartKey, kAutoStartValue, RRF_RT_ANY | RRF_NOEXPAND, &type, text,
                     &size) != ERROR_SUCCESS)
        return false;
    path = text;
    return true;
}

void RemoveAutoStart()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAutoStartKey, 0, KEY_WRITE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, kAutoStartValue);
        RegCloseKey(key);
    }
}
}

TEST(AgentCommandLine, OnlyTheExactOptionsStartTheAgent)
{
    const struct {
        const char* commandLine;
        AgentStart start;
    } cases[] = {
        {"", AgentStart::Automatic}, {"-a", AgentStart::Automatic}, {"-m", AgentStart::Manual},
        {"-M", AgentStart::Usage},   {"/m", AgentStart::Usage},     {"-m ", AgentStart::Usage},
        {"-r", AgentStart::Usage},   {"-u", AgentStart::Usage},     {"-x", AgentStart::Usage},
        {" -m", AgentStart::Usage},  {"-a -m", AgentStart::Usage},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseAgentCommandLine(c.commandLine), c.start) << '"' << c.commandLine << '"';
}

TEST(GuardOptions, ReadTheFirstTwoCharacters)
{
    const struct {
        const char* commandLine;
        GuardOption option;
    } cases[] = {
        {"", GuardOption::Run},          {"-a", GuardOption::Run},        {"-m", GuardOption::Run},
        {"/m", GuardOption::Run},        {"-r", GuardOption::Register},   {"/R", GuardOption::Register},
        {"-u", GuardOption::Unregister}, {"/U", GuardOption::Unregister}, {"-x", GuardOption::Usage},
        {"-M", GuardOption::Usage},      {"-", GuardOption::Usage},       {"m", GuardOption::Run},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseGuardOption(c.commandLine), c.option) << '"' << c.commandLine << '"';
}

TEST(TInstanceGuard, RegistersRunsOnceAndUnregisters)
{
    RemoveAutoStart();
    char self[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);

    TInstanceGuard first;
    EXPECT_TRUE(first.AcquireSingleInstance("-r"));
    std::string path;
    DWORD type = 0;
    ASSERT_TRUE(ReadAutoStart(path, type));
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(path, self);

    // This program now owns the instance: every further copy ends.
    TInstanceGuard second;
    EXPECT_FALSE(second.AcquireSingleInstance("-m"));
    TInstanceGuard third;
    EXPECT_FALSE(third.AcquireSingleInstance(""));

    TInstanceGuard unregister;
    EXPECT_FALSE(unregister.AcquireSingleInstance("-u"));
    EXPECT_FALSE(ReadAutoStart(path, type));
    RemoveAutoStart();
}

TEST(UpdateAddresses, TheMd5FileNeedsHttpsTheInstallerHttpOrHttps)
{
    const struct {
        bool installerLoaded;
        const wchar_t* installer;
        bool md5Loaded;
        const wchar_t* md5File;
        bool pass;
    } cases[] = {
        {true, L"http://h/setup.exe", true, L"https://h/setup.md5", true},
        {true, L"https://h/setup.exe", true, L"HTTPS://h/setup.md5", true},
        {true, L"HtTp://h/setup.exe", true, L"hTtPs://h/setup.md5", true},
        {true, L"https://h/setup.exe", true, L"http://h/setup.md5", false},
        {true, L"ftp://h/setup.exe", true, L"https://h/setup.md5", false},
        {true, L"htt", true, L"https://h/setup.md5", false},
        {true, L"http://h/setup.exe", true, L"http", false},
        {false, L"http://h/setup.exe", true, L"https://h/setup.md5", false},
        {true, L"http://h/setup.exe", false, L"https://h/setup.md5", false},
        {true, L"", true, L"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(UpdateAddressesPass(c.installerLoaded, TWideString(c.installer), c.md5Loaded,
                                      TWideString(c.md5File)),
                  c.pass)
            << c.installer << " " << c.md5File;
}

TEST(AgentCommandLine, IsWhatFollowsTheProgramName)
{
    const struct {
        const char* process;
        const char* agent;
    } cases[] = {
        {"TalvoCorvane.exe -m", "-m"},
        {"\"C:\\Program Files\\Talvo\\TalvoCorvane.exe\" -a", "-a"},
        {"TalvoCorvane.exe \t\r\n\v-m ", "-m "},
        {"TalvoCorvane.exe", ""},
        {"\"C:\\a b\\TalvoCorvane.exe\"", ""},
        {"\"C:\\a b\\TalvoCorvane.exe\"-m", "-m"},
    };
    for (const auto& c : cases)
        EXPECT_STREQ(AgentCommandLineOf(c.process), c.agent) << c.process;
}
