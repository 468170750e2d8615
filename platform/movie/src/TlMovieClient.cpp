#include "../TlMovieClient.h"

const char* const kTlMovieRegistryKey = "Software\\Apple Computer, Inc.\\QuickTime";
const char* const kTlMovieRegistryValue = "InstallDir";
const char* const kTlMovieFileName = "QuickTime.qts";

TlMovieClient::~TlMovieClient()
{
    Unload();
}

std::string TlMovieClient::LibraryPath()
{
    char folder[MAX_PATH] = {};
    DWORD size = sizeof folder - 1;
    DWORD type = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTlMovieRegistryKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::string();
    const LONG read =
        RegQueryValueExA(key, kTlMovieRegistryValue, nullptr, &type, reinterpret_cast<BYTE*>(folder), &size);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::string();
    std::string path(folder, strnlen(folder, sizeof folder));
    if (path.empty())
        return path;
    if (path.back() != '\\')
        path += '\\';
    return path + kTlMovieFileName;
}

bool TlMovieClient::Load()
{
    if (m_entry != nullptr)
        return true;
    const std::string path = LibraryPath();
    if (path.empty())
        return false;
    m_library = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (m_library == nullptr)
        return false;
    auto getEntry = reinterpret_cast<TlMovieGetEntryFn>(
        reinterpret_cast<void*>(GetProcAddress(m_library, "TlMovieGetEntry")));
    const TlMovieEntry* entry = getEntry ? getEntry() : nullptr;
    if (entry == nullptr || entry->size < sizeof(TlMovieEntry)) {
        Unload();
        return false;
    }
    m_entry = entry;
    return true;
}

void TlMovieClient::Unload()
{
    m_entry = nullptr;
    if (m_library != nullptr)
        FreeLibrary(m_library);
    m_library = nullptr;
}
