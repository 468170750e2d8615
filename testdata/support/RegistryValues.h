// Direct registry access for tests: sets up and checks values without
// going through the code under test.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct StoredValue {
    DWORD type = REG_NONE;
    std::vector<unsigned char> data;
};

bool KeyExists(HKEY root, const std::string& path);
// Creates the key when needed.
bool StoreValue(HKEY root, const std::string& path, const char* name, DWORD type, const void* data, DWORD size);
bool StoreText(HKEY root, const std::string& path, const char* name, const std::string& text, DWORD type = REG_SZ);
bool StoreDword(HKEY root, const std::string& path, const char* name, DWORD value);
// False when the key or value is missing.
bool LoadValue(HKEY root, const std::string& path, const char* name, StoredValue& value);
bool DeleteValue(HKEY root, const std::string& path, const char* name);

// The key that holds "CommonFilesDir".
extern const char* const kWindowsCurrentVersionKey;
