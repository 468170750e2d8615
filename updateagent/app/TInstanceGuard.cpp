#include "app/TInstanceGuard.h"

const char kAutoStartKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kAutoStartValue[] = "UpdateAgent";

namespace {
constexpr DWORD kUnregisterWaitMs = 5000;

void ShowGuardUsage()
{
    MessageBoxA(nullptr,
                "UpdateAgent [-r|-u]\nwhere:\n    -r  - register to launch on every system startup\n"
                "    -u  - unload and unregister\n"
                "    - with no arguments, the application will start only if not already running\n",
                nullptr, MB_OK | MB_ICONERROR);
}

// Registry failures stay silent: the agent still runs as asked.
void RegisterAutoStart()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAutoStartKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    char path[MAX_PATH + 1] = {};
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        RegSetValueExA(key, kAutoStartValue, 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(path), length + 1);
    RegCloseKey(key);
}

void UnregisterAutoStart()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAutoStartKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, kAutoStartValue);
    RegCloseKey(key);
}
}

GuardOption ParseGuardOption(const char* commandLine)
{
    if (!commandLine || (commandLine[0] != '-' && commandLine[0] != '/'))
        return GuardOption::Run;
    switch (commandLine[1]) {
    case 'r':
    case 'R':
        return GuardOption::Register;
    case 'u':
    case 'U':
        return GuardOption::Unregister;
    case 'a':
    case 'm':
        return GuardOption::Run;
    default:
        return GuardOption::Usage;
    }
}

bool TInstanceGuard::AcquireSingleInstance(const char* commandLine)
{
    m_stopEvent = CreateEventA(nullptr, TRUE, FALSE, "Global\\CorvaneStopEvent");
    if (!m_stopEvent)
        return false;
    m_mutex = CreateMutexA(nullptr, FALSE, "Global\\CorvaneMutex");
    if (!m_mutex) {
        CloseHandle(m_stopEvent);
        return false;
    }
    const bool anotherRuns = GetLastError() == ERROR_ALREADY_EXISTS;

    switch (ParseGuardOption(commandLine)) {
    case GuardOption::Usage:
        ShowGuardUsage();
        ExitProcess(1);
    case GuardOption::Unregister:
        UnregisterAutoStart();
        if (anotherRuns) {
            SetEvent(m_stopEvent);
            WaitForSingleObject(m_mutex, kUnregisterWaitMs);
        }
        CloseHandle(m_stopEvent);
        return false;
    case GuardOption::Register:
        RegisterAutoStart();
        break;
    case GuardOption::Run:
        break;
    }

    if (anotherRuns) {
        CloseHandle(m_stopEvent);
        return false;
    }
    WaitForSingleObject(m_mutex, INFINITE);
    CloseHandle(m_stopEvent);
    return true;
}
