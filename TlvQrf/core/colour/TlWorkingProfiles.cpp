#include "colour/TlWorkingProfiles.h"

#include "colour/TlGeneratedProfileHolds.h"
#include "infra/TlSync.h"

#include <windows.h>

#include <cstring>

namespace {

constexpr std::size_t kPrefixLength = 4;

struct WorkingProfiles {
    char folder[MAX_PATH] = {};
    char table[kTlWorkingProfileSlots][MAX_PATH] = {};
    bool tableSet = false;
    char prefix[kPrefixLength + 1] = "Tlx_"; // until start-up
};

Tl::CSyncCritical& Lock()
{
    static Tl::CSyncCritical lock;
    return lock;
}

WorkingProfiles& State()
{
    static WorkingProfiles state;
    return state;
}

void CopyCut(char* destination, std::size_t capacity, const char* text)
{
    const std::size_t length = text ? strnlen(text, capacity - 1) : 0;
    if (length)
        std::memcpy(destination, text, length);
    destination[length] = '\0';
}

bool FileExists(const char* path)
{
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

} // namespace

void SetProfileFolder(const char* folder)
{
    Tl::CSyncLock guard(Lock());
    char* buffer = State().folder;
    CopyCut(buffer, MAX_PATH - 1, folder); // room left for the backslash
    const std::size_t length = std::strlen(buffer);
    if (length == 0 || buffer[length - 1] != '\\') {
        buffer[length] = '\\';
        buffer[length + 1] = '\0';
    }
}

std::string GetProfileFolderPath()
{
    Tl::CSyncLock guard(Lock());
    return State().folder;
}

char* MakeProfilePath(char* result, const char* name)
{
    const std::string path = GetProfileFolderPath() + (name ? name : "");
    CopyCut(result, MAX_PATH, path.c_str());
    return result;
}

int SetWorkingProfiles(const char* rgb, const char* cmyk, const char* /*ignoredLch*/, const char* monitor,
                       const char* /*ignoredSrgb*/)
{
    char lch[MAX_PATH];
    char srgb[MAX_PATH];
    MakeProfilePath(lch, "TLLch2.icm");
    MakeProfilePath(srgb, "TLsRGB.icm");

    bool allExist = true;
    {
        Tl::CSyncLock guard(Lock());
        WorkingProfiles& state = State();
        CopyCut(state.table[kTlRgbWorkingProfile], MAX_PATH, rgb);
        CopyCut(state.table[kTlCmykWorkingProfile], MAX_PATH, cmyk);
        CopyCut(state.table[kTlLchWorkingProfile], MAX_PATH, lch);
        CopyCut(state.table[kTlMonitorWorkingProfile], MAX_PATH, monitor);
        CopyCut(state.table[kTlSrgbWorkingProfile], MAX_PATH, srgb);
        state.tableSet = true;
        for (const char* path : state.table)
            allExist = FileExists(path) && allExist;
    }
    return allExist ? 1 : 0;
}

std::string GetWorkingProfile(int slot)
{
    if (slot < 0 || slot >= kTlWorkingProfileSlots)
        return std::string();
    Tl::CSyncLock guard(Lock());
    return State().table[slot];
}

bool AreWorkingProfilesSet()
{
    Tl::CSyncLock guard(Lock());
    return State().tableSet;
}

void SetGeneratedProfilePrefix(const char* prefix)
{
    if (!prefix || std::strlen(prefix) < kPrefixLength)
        return; // the prefix keeps its length
    Tl::CSyncLock guard(Lock());
    std::memcpy(State().prefix, prefix, kPrefixLength);
}

std::string GetGeneratedProfilePrefix()
{
    Tl::CSyncLock guard(Lock());
    return State().prefix;
}

void ResetWorkingProfiles()
{
    ReleaseGeneratedProfileHolds();
    Tl::CSyncLock guard(Lock());
    State() = WorkingProfiles();
}
