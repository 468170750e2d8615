// The agent program's start-up: usage and language-library messages with
// their exit codes, run from the build folder and from a folder without the
// language library.
#include "files/FileHelpers.h"
#include "support/ScratchFolder.h"

#include "support/MessageBoxWatcher.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {
struct ProgramRun {
    WatchedBox box;
    DWORD exitCode = 0xFFFFFFFF;
};

ProgramRun RunAgent(const std::wstring& program, const std::wstring& arguments)
{
    ProgramRun run;
    std::wstring commandLine = L"\"" + program + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return run;
    run.box = CloseMessageBoxOf(process.dwProcessId, 20000);
    WaitForSingleObject(process.hProcess, 60000);
    GetExitCodeProcess(process.hProcess, &run.exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return run;
}

std::wstring BuiltAgent()
{
    TPath folder;
    GetModuleFolder(GetModuleHandleW(nullptr), folder);
    return std::wstring(folder.Text().Text()) + L"TalvoCorvane.exe";
}

const char kUsage[] = "Application usage:\n    TalvoCorvane [-m|-a]\nwhere:\n    -m  - start in \"manual\" mode\n"
                      "    -a  - start in \"auto\" mode\n"
                      "    - with no arguments, the application will start in \"auto\" mode\n";
}

TEST(AgentProgram, UnknownOptionsShowTheUsageAndEndWithOne)
{
    for (const wchar_t* arguments : {L"-M", L"/m", L"-m ", L"-r", L"-u", L"-x"}) {
        const ProgramRun run = RunAgent(BuiltAgent(), arguments);
        ASSERT_TRUE(run.box.found) << arguments;
        EXPECT_EQ(run.box.caption, "Talvo Corvane");
        EXPECT_EQ(run.box.text, kUsage);
        EXPECT_EQ(run.exitCode, 1u) << arguments;
    }
}

TEST(AgentProgram, WithoutItsLanguageLibraryItSaysSoAfterTheCommandLine)
{
    ScratchFolder folder(L"agent without language");
    const std::wstring program = folder.Write(L"TalvoCorvane.exe", ReadFileBytes(BuiltAgent()));
    const struct {
        const wchar_t* arguments;
        const char* text;
    } cases[] = {{L"-x", kUsage}, {L"-m", "Could not load CorvaneLang.dll.\n"}, {L"", "Could not load CorvaneLang.dll.\n"}};
    for (const auto& c : cases) {
        const ProgramRun run = RunAgent(program, c.arguments);
        ASSERT_TRUE(run.box.found) << c.arguments;
        EXPECT_EQ(run.box.text, c.text);
        EXPECT_EQ(run.exitCode, 1u) << c.arguments;
    }
}
