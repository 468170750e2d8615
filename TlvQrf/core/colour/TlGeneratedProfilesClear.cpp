#include "colour/TlGeneratedProfiles.h"

#include "colour/TlGeneratedProfilesLock.h"
#include "frame/TlProfileFolder.h"

#include <windows.h>

namespace {

// Deletes the files of `folder` that `pattern` matches; those that another
// process holds open stay.
void DeleteMatching(const std::string& folder, const std::string& pattern)
{
    WIN32_FIND_DATAA found;
    HANDLE listing = FindFirstFileA((folder + pattern).c_str(), &found);
    if (listing == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileA((folder + found.cFileName).c_str());
    } while (FindNextFileA(listing, &found));
    FindClose(listing);
}

} // namespace

void DeleteGeneratedProfiles(const char* prefix)
{
    CTlGeneratedProfilesLock lock;
    if (!lock.IsHeld())
        return; // a process stuck writing a profile: a later close clears them
    const std::string folder = GetProfileFolder();
    const std::string start = prefix ? prefix : "";
    DeleteMatching(folder, start + "*.icm");
    // Left by a process that died while writing a profile: no process writes
    // one while this one holds the lock.
    DeleteMatching(folder, start + "~*.tmp");
}
