#include "control/TlControlRecords.h"

#include <windows.h>

#include <cstring>
#include <string>

namespace {

struct SOrientationCode {
    std::uint32_t code;
    int angle;
    bool mirror;
};

constexpr SOrientationCode kOrientations[] = {
    {1, 0, false}, {2, 0, true}, {3, 180, false}, {4, 180, true},
    {5, 270, true}, {6, 270, false}, {7, 90, true}, {8, 90, false},
};

std::string CanonicalPath(const char* path)
{
    std::string text(path);
    for (char& c : text) {
        if (c == '/')
            c = '\\';
    }
    char full[MAX_PATH] = {};
    const DWORD length = GetFullPathNameA(text.c_str(), MAX_PATH, full, nullptr);
    if (length > 0 && length < MAX_PATH)
        text = full;
    if (!text.empty())
        CharUpperBuffA(&text[0], static_cast<DWORD>(text.size()));
    return text;
}

} // namespace

STlOrientation OrientationOfCode(std::uint32_t code)
{
    for (const SOrientationCode& entry : kOrientations) {
        if (entry.code == code)
            return {entry.angle, entry.mirror};
    }
    return {};
}

std::uint32_t CodeOfOrientation(int angle, bool mirror)
{
    for (const SOrientationCode& entry : kOrientations) {
        if (entry.angle == angle && entry.mirror == mirror)
            return entry.code;
    }
    return 1;
}

bool IsQuarterTurn(int angle)
{
    return angle == 90 || angle == 270;
}

std::int32_t FilterWhiteBalancePreset(std::int32_t preset)
{
    switch (preset) {
    case 256:
    case 512:
    case 513:
    case 514:
    case 768:
    case 1024:
    case 1280: return preset;
    default: return 0;
    }
}

std::uint32_t ChainModeOf(std::uint32_t previewMode)
{
    return previewMode == 1 ? 4 : previewMode == 3 ? 3 : 2;
}

std::uint32_t ScaleMethodOf(std::uint32_t interpolation)
{
    return interpolation == 2 ? 1 : interpolation == 3 ? 2 : 0;
}

std::uint32_t CachePolicyOf(std::uint32_t cacheChoice)
{
    return cacheChoice == 0 ? 2 : 0;
}

std::int32_t StoredColourSpaceOf(std::uint32_t recordCode)
{
    return recordCode >= 2 && recordCode <= 4 ? static_cast<std::int32_t>(recordCode) - 1 : 0;
}

std::uint32_t RecordColourSpaceOf(std::int32_t stored)
{
    return stored >= 1 && stored <= 3 ? static_cast<std::uint32_t>(stored) + 1 : 1;
}

bool SameProfilePath(const char* a, const char* b)
{
    if (a == nullptr || b == nullptr || a[0] == '\0' || b[0] == '\0')
        return false;
    return CanonicalPath(a) == CanonicalPath(b);
}

void CopyPath(char* target, const char* source)
{
    const std::size_t length = strnlen(source, MAX_PATH - 1);
    std::memcpy(target, source, length);
    target[length] = '\0';
}
