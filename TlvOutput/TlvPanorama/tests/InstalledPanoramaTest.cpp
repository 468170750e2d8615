// The install layout: the installed host program loads the installed output
// module, which finds the installed panorama plug-in in the services folder
// of the real Common Files folder. Before the install step has run there is
// nothing to check.
#include "support/RegistryValues.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

std::string InstalledProgramFolder()
{
    StoredValue programs;
    if (!LoadValue(HKEY_LOCAL_MACHINE, kWindowsCurrentVersionKey, "ProgramFilesDir", programs))
        return std::string();
    std::string root(programs.data.begin(), programs.data.end());
    root.resize(root.find('\0') == std::string::npos ? root.size() : root.find('\0'));
    return root + "\\Talvo\\Imagora\\";
}

// Runs `commandLine` with its standard output into `outputPath`; its exit code, or -1.
long RunWithOutput(const std::string& commandLine, const std::string& outputPath)
{
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    HANDLE output = CreateFileA(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE)
        return -1;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process = {};
    std::string writable = commandLine;
    const BOOL started =
        CreateProcessA(nullptr, &writable[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    CloseHandle(output);
    if (!started)
        return -1;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD exitCode = DWORD(-1);
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return long(exitCode);
}

TEST(InstalledPanorama, TheHostProgramSeesThePanoramaFunctionThroughTheOutputModule)
{
    const std::string folder = InstalledProgramFolder();
    if (folder.empty() || !TempFolder::Exists(folder + "TlvOutput.md7"))
        GTEST_SKIP() << "the install step has not run in this prefix";
    TempFolder temp;
    const std::string output = temp.File("host.txt");
    ASSERT_EQ(0, RunWithOutput("\"" + folder + "TlHost.exe\" --folder \"" + folder.substr(0, folder.size() - 1) +
                                   "\" --module TlvOutput.md7",
                               output));
    EXPECT_NE(std::string::npos,
              TempFolder::Read(output).find("announced 0x2012 \"Panorama\" by module type 80"))
        << TempFolder::Read(output);
}

} // namespace
