#include "PlayerHost.h"

#include <windows.h>

#include <cstdlib>
#include <mutex>
#include <set>

namespace {

constexpr int kNameAttempts = 16;

// Names made and not yet deleted by their item, for the clean-up at the show's end.
std::mutex g_namesLock;
std::set<std::string> g_names;

} // namespace

bool SlideshowPlayerHost::TempName(const char* extension, std::string& name)
{
    char folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    if (length == 0 || length > MAX_PATH)
        return false;
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        char* unique = _tempnam(folder, "tlss");
        if (unique == nullptr)
            return false;
        std::string candidate = std::string(unique) + (extension ? extension : "");
        std::free(unique);
        HANDLE file = CreateFileA(candidate.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                  nullptr);
        if (file == INVALID_HANDLE_VALUE)
            continue;
        CloseHandle(file);
        std::lock_guard<std::mutex> guard(g_namesLock);
        g_names.insert(candidate);
        name = candidate;
        return true;
    }
    return false;
}

void DeleteTempMovie(const std::string& name)
{
    if (name.empty())
        return;
    DeleteFileA(name.c_str());
    std::lock_guard<std::mutex> guard(g_namesLock);
    g_names.erase(name);
}

void DeleteLeftTempMovies()
{
    std::set<std::string> left;
    {
        std::lock_guard<std::mutex> guard(g_namesLock);
        left.swap(g_names);
    }
    for (const std::string& name : left)
        DeleteFileA(name.c_str());
}
