#include "TlRawSettings.h"

#include <windows.h>

namespace {

bool ReadValue(const char* name, DWORD* value)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kTlRawSettingsKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    DWORD type = 0;
    DWORD size = sizeof *value;
    const LONG read = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS && type == REG_DWORD && size == sizeof *value;
}

void WriteValue(const char* name, int value)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, kTlRawSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    const DWORD stored = value == 1 ? 1 : 0;
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored), sizeof stored);
    RegCloseKey(key);
}

} // namespace

bool TlRawReadNoticeWanted()
{
    DWORD value = 1;
    return !ReadValue("IsMessageBoxAppear", &value) || value != 0;
}

bool TlRawReadSixMegapixels()
{
    DWORD value = 0;
    return ReadValue("IsKX7B6MSetting", &value) && value == 1;
}

void TlRawWriteNoticeWanted(int value)
{
    WriteValue("IsMessageBoxAppear", value);
}

void TlRawWriteSixMegapixels(int value)
{
    WriteValue("IsKX7B6MSetting", value);
}
