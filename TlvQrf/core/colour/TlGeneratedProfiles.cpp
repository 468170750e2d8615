#include "colour/TlGeneratedProfiles.h"

#include "colour/TlWorkingProfiles.h"
#include "infra/TlSync.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <new>

namespace {

constexpr long kAtProfileBuffer = 925;
constexpr long kAtProfileWrite = 945;

Tl::CSyncCritical& GenerationLock()
{
    static Tl::CSyncCritical lock;
    return lock;
}

bool HasFileOfSize(const std::string& path, std::uint32_t size)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return false;
    return data.nFileSizeHigh == 0 && data.nFileSizeLow == size;
}

IKelvraError* WriteWholeFile(const std::string& path, const void* bytes, std::uint32_t size)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return IKelvraError::Add(nullptr, 0, kAtProfileWrite, "Error writing profile.");
    DWORD written = 0;
    const bool complete = WriteFile(file, bytes, size, &written, nullptr) && written == size;
    CloseHandle(file);
    if (complete)
        return nullptr;
    DeleteFileA(path.c_str());
    return IKelvraError::Add(nullptr, 0, kAtProfileWrite, "Error writing profile.");
}

IKelvraError* BuildAndWrite(ITlCameraProfileGenerator& generator, const std::string& path)
{
    if (IKelvraError* error = generator.Build())
        return error;
    const std::uint32_t size = generator.GetProfileSize();
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[size ? size : 1]);
    if (!buffer)
        return IKelvraError::Add(nullptr, 0, kAtProfileBuffer, kKelvraCategoryApp, kKelvraOutOfMemory);
    if (IKelvraError* error = generator.Serialise(buffer.get(), size))
        return error;
    return WriteWholeFile(path, buffer.get(), size);
}

std::string ProfileName(ITlCameraProfileGenerator& generator, const std::string& prefix, long customCurveNumber,
                        IKelvraError** error)
{
    std::string name;
    *error = generator.GetFileName(prefix.c_str(), &name);
    if (*error || customCurveNumber < 0)
        return name;
    char custom[64];
    std::snprintf(custom, sizeof custom, "%sU%08ld.icm", prefix.c_str(), customCurveNumber);
    return custom;
}

} // namespace

std::string ProvideGeneratedProfile(ITlCameraProfileGenerator* generator, long customCurveNumber)
{
    if (!generator)
        return std::string();
    IKelvraError* error = nullptr;
    const std::string name = ProfileName(*generator, GetGeneratedProfilePrefix(), customCurveNumber, &error);
    if (error) {
        IKelvraError::Release(error);
        return std::string();
    }
    const std::string path = GetProfileFolderPath() + name;
    if (path.size() >= MAX_PATH)
        return std::string();

    Tl::CSyncLock guard(GenerationLock());
    if (HasFileOfSize(path, generator->GetProfileSize()))
        return path;
    error = BuildAndWrite(*generator, path);
    if (error) {
        IKelvraError::Release(error);
        return std::string();
    }
    return path;
}
