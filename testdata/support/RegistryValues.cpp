#include "support/RegistryValues.h"

const char* const kWindowsCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";

bool KeyExists(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

bool StoreValue(HKEY root, const std::string& path, const char* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    const LONG status = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

bool StoreText(HKEY root, const std::string& path, const char* name, const std::string& text, DWORD type)
{
    return StoreValue(root, path, name, type, text.c_str(), static_cast<DWORD>(text.size() + 1));
}

bool StoreDword(HKEY root, const std::string& path, const char* name, DWORD value)
{
    return StoreValue(root, path, name, REG_DWORD, &value, sizeof value);
}

bool LoadValue(HKEY root, const std::string& path, const char* name, StoredValue& value)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    value.data.assign(65536, 0);
    DWORD size = static_cast<DWORD>(value.data.size());
    const LONG status = RegQueryValueExA(key, name, nullptr, &value.type, value.data.data(), &size);
    RegCloseKey(key);
    value.data.resize(status == ERROR_SUCCESS ? size : 0);
    return status == ERROR_SUCCESS;
}

bool DeleteValue(HKEY root, const std::string& path, const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_SET_VALUE, &key) != ERROR_SUCCESS)
        return false;
    const LONG status = RegDeleteValueA(key, name);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}
