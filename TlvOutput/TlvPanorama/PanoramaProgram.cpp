#include "PanoramaProgram.h"

#include "PanoramaStrings.h"

#include "afxwin.h"
#include "registry/TlRegistryAccess.h"
#include "runbase/TlvResultCodes.h"

#include <vector>

namespace {

// The program named by the registry: empty with 0x1008 when the key or the
// value is missing, 0x1101 when the value is there but no readable text.
unsigned long ReadProgramName(std::string& program)
{
    program.clear();
    CTlRegKey key;
    const std::string path = AfxLoadString(IDS_PANORAMA_KEY);
    const std::string name = AfxLoadString(IDS_PANORAMA_VALUE);
    DWORD size = 0;
    if (!TlOpenRegistryKey(HKEY_LOCAL_MACHINE, path.c_str(), TlKeyAccess::Read, key.Receive()) ||
        RegQueryValueExA(key.Get(), name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return TLV_ERR_FAILED;
    // Read whole, bounded by what is stored: a text without its terminator
    // is terminated here, a value of another type is no program name.
    TlRegistryValue value;
    if (!TlReadRegistryValue(key.Get(), name.c_str(), value) || !TlIsTextValue(value))
        return TLV_ERR_NOT_FOUND;
    program = TlTextOf(value);
    return TLV_OK;
}

} // namespace

unsigned long LaunchPanoramaProgram(const std::string& commandLine)
{
    std::string program;
    const unsigned long read = ReadProgramName(program);
    if (TlvFailed(read))
        return read;
    STARTUPINFOA startup;
    GetStartupInfoA(&startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOW;
    std::vector<char> writable(commandLine.begin(), commandLine.end());
    writable.push_back('\0');
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program.c_str(), writable.data(), nullptr, nullptr, FALSE, NORMAL_PRIORITY_CLASS, nullptr,
                        nullptr, &startup, &process))
        return TLV_ERR_FAILED;
    // Not waited for: the handles go at once.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return TLV_OK_HANDLED;
}
