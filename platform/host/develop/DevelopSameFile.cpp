#include "DevelopSameFile.h"

#include <windows.h>

namespace {

// Opened for no access and shared with everyone, so a file in use can
// still be looked at; a folder opens too (backup semantics).
bool ReadIdentity(const char* path, BY_HANDLE_FILE_INFORMATION& identity)
{
    const HANDLE file = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool read = GetFileInformationByHandle(file, &identity) != FALSE;
    CloseHandle(file);
    return read;
}

} // namespace

bool NamesTheSameFile(const char* path, const char* otherPath)
{
    BY_HANDLE_FILE_INFORMATION identity{};
    BY_HANDLE_FILE_INFORMATION otherIdentity{};
    if (!ReadIdentity(path, identity) || !ReadIdentity(otherPath, otherIdentity))
        return false;
    return identity.dwVolumeSerialNumber == otherIdentity.dwVolumeSerialNumber &&
           identity.nFileIndexHigh == otherIdentity.nFileIndexHigh &&
           identity.nFileIndexLow == otherIdentity.nFileIndexLow;
}
