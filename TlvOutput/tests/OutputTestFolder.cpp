#include "OutputTestFolder.h"

#include "support/RegistryValues.h"

#include <windows.h>

#include <algorithm>

namespace {

const char kLogVariable[] = "TL_FAKE_LOG";

std::string CurrentFolder()
{
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    return folder;
}

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string program(path);
    return program.substr(0, program.find_last_of('\\') + 1);
}

} // namespace

OutputTestFolder::OutputTestFolder()
    : m_previousFolder(CurrentFolder()),
      m_services(m_common.MakeFolder("Talvo\\Services")),
      m_ready(!m_services.empty() && m_sandbox.PointAt(m_common.Path()))
{
    ClearFakeEvents();
}

OutputTestFolder::~OutputTestFolder()
{
    SetCurrentDirectoryA(m_previousFolder.c_str());
}

bool OutputTestFolder::AddPlugin(const std::string& name) const
{
    return CopyFileA((ProgramFolder() + name + ".tv7").c_str(), (m_services + name + ".tv7").c_str(), FALSE) != 0;
}

bool OutputTestFolder::RemoveCommonFilesValue()
{
    return DeleteValue(HKEY_LOCAL_MACHINE, kWindowsCurrentVersionKey, "CommonFilesDir");
}

std::vector<std::string> OutputTestFolder::Listed() const
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((m_services + "*.tv7").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return names;
    do
        names.push_back(found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

bool OutputTestFolder::IsLoaded(const std::string& fileName) const
{
    return GetModuleHandleA((m_services + fileName).c_str()) != nullptr;
}

std::vector<std::string> FakeEvents()
{
    char log[8192] = {};
    const DWORD length = GetEnvironmentVariableA(kLogVariable, log, sizeof log);
    std::vector<std::string> events;
    std::string text(log, length < sizeof log ? length : 0);
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(';', start)) != std::string::npos; start = end + 1)
        events.push_back(text.substr(start, end - start));
    return events;
}

bool HasFakeEvent(const std::string& event)
{
    const std::vector<std::string> events = FakeEvents();
    return std::find(events.begin(), events.end(), event) != events.end();
}

void ClearFakeEvents()
{
    SetEnvironmentVariableA(kLogVariable, nullptr);
}
