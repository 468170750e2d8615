#include "colour/TlGeneratedProfileHolds.h"

#include "infra/TlSync.h"

#include <windows.h>

#include <map>
#include <new>

namespace {

struct Holds {
    Tl::CSyncCritical lock;
    std::map<std::string, HANDLE> files;
};

Holds& TheHolds()
{
    static Holds holds;
    return holds;
}

bool HasSize(HANDLE file, std::uint32_t size)
{
    LARGE_INTEGER length;
    return GetFileSizeEx(file, &length) && length.QuadPart == LONGLONG(size);
}

// Without FILE_SHARE_DELETE no other process can delete the file or rename
// another over it while the handle is open.
HANDLE OpenMark(const std::string& path)
{
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

bool HoldGeneratedProfile(const std::string& path, std::uint32_t size)
{
    Holds& holds = TheHolds();
    Tl::CSyncLock guard(holds.lock);
    const auto held = holds.files.find(path);
    if (held != holds.files.end()) {
        if (HasSize(held->second, size))
            return true;
        CloseHandle(held->second);
        holds.files.erase(held);
    }
    const HANDLE file = OpenMark(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    if (HasSize(file, size)) {
        try {
            holds.files.emplace(path, file);
            return true;
        } catch (const std::bad_alloc&) {
        }
    }
    CloseHandle(file);
    return false;
}

void ReleaseGeneratedProfileHolds()
{
    Holds& holds = TheHolds();
    Tl::CSyncLock guard(holds.lock);
    for (const auto& held : holds.files)
        CloseHandle(held.second);
    holds.files.clear();
}
