#include "PlayerHost.h"

#include <windows.h>

#include <atomic>
#include <cstdio>
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
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        // The C library's _tempnam keeps only three letters of the prefix
        // and adds an extension of its own under some run-times: the name
        // is made here, and the file's creation decides whether it is free.
        char unique[32];
        std::snprintf(unique, sizeof unique, "tlss%lx%x", GetCurrentProcessId(), counter++);
        const std::string candidate = std::string(folder) + unique + (extension ? extension : "");
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
