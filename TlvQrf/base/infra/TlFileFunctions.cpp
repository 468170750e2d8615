#include "infra/TlFileFunctions.h"

#include "infra/TlString.h"

#include <windows.h>

bool RemoveFile(const char* path)
{
    return path && DeleteFileA(path) != FALSE;
}

bool CopyFileTo(const char* source, const char* destination, bool failIfExists)
{
    return source && destination && CopyFileA(source, destination, failIfExists ? TRUE : FALSE) != FALSE;
}

bool MakeTempFileName(CTlString& name)
{
    char folder[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length >= MAX_PATH)
        return false;
    char path[MAX_PATH];
    if (GetTempFileNameA(folder, "Tln", 0, path) == 0)
        return false;
    if (name.Assign(path))
        return true;
    DeleteFileA(path); // the system made the file; leave nothing behind
    return false;
}
