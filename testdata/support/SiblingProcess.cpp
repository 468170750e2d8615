#include "support/SiblingProcess.h"

namespace {

std::string OwnFolder()
{
    char self[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder(self, length < MAX_PATH ? length : 0);
    return folder.substr(0, folder.rfind('\\') + 1);
}

} // namespace

SiblingProcess::SiblingProcess(const std::string& program, const std::string& arguments, HANDLE output)
{
    const std::string path = OwnFolder() + program;
    std::string command = "\"" + path + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output ? output : GetStdHandle(STD_OUTPUT_HANDLE);
    startup.hStdError = output ? output : GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(path.c_str(), &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return;
    CloseHandle(process.hThread);
    m_process = process.hProcess;
}

SiblingProcess::~SiblingProcess()
{
    Wait();
    if (m_process)
        CloseHandle(m_process);
}

long SiblingProcess::Wait()
{
    if (!m_process)
        return -1;
    WaitForSingleObject(m_process, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(m_process, &code);
    return static_cast<long>(code);
}

void EndAsKilled()
{
    TerminateProcess(GetCurrentProcess(), kKilledExitCode);
    ExitProcess(kKilledExitCode); // not reached
}
