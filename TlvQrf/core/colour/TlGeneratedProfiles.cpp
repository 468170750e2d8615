#include "colour/TlGeneratedProfiles.h"

#include "colour/TlGeneratedProfileHolds.h"
#include "colour/TlGeneratedProfilesLock.h"
#include "colour/TlWorkingProfiles.h"

#include <windows.h>

#include <cstdio>
#include <memory>
#include <new>

namespace {

constexpr long kAtProfileBuffer = 925;
constexpr long kAtProfileWrite = 945;

IKelvraError* WriteFailure()
{
    return IKelvraError::Add(nullptr, 0, kAtProfileWrite, "Error writing profile.");
}

// The name a profile is written under before it takes its own: other
// processes open profiles only by their own names, so they never see one
// half-written. One per process; the generation lock keeps its threads apart.
std::string TemporaryPath(const std::string& prefix)
{
    char name[32];
    std::snprintf(name, sizeof name, "~%08lX.tmp", static_cast<unsigned long>(GetCurrentProcessId()));
    return GetProfileFolderPath() + prefix + name;
}

// Writes the file whole under `temporary`, then renames it to `path`,
// replacing a file of another size that no process uses.
IKelvraError* WriteWholeFile(const std::string& path, const std::string& temporary, const void* bytes,
                             std::uint32_t size)
{
    HANDLE file =
        CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return WriteFailure();
    DWORD written = 0;
    const bool complete = WriteFile(file, bytes, size, &written, nullptr) && written == size;
    CloseHandle(file);
    if (complete && MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING))
        return nullptr;
    DeleteFileA(temporary.c_str());
    return WriteFailure();
}

IKelvraError* BuildAndWrite(ITlCameraProfileGenerator& generator, const std::string& path,
                            const std::string& temporary)
{
    if (IKelvraError* error = generator.Build())
        return error;
    const std::uint32_t size = generator.GetProfileSize();
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[size ? size : 1]);
    if (!buffer)
        return IKelvraError::Add(nullptr, 0, kAtProfileBuffer, kKelvraCategoryApp, kKelvraOutOfMemory);
    if (IKelvraError* error = generator.Serialise(buffer.get(), size))
        return error;
    return WriteWholeFile(path, temporary, buffer.get(), size);
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
    const std::string prefix = GetGeneratedProfilePrefix();
    const std::string name = ProfileName(*generator, prefix, customCurveNumber, &error);
    if (error) {
        IKelvraError::Release(error);
        return std::string();
    }
    const std::string path = GetProfileFolderPath() + name;
    if (path.size() >= MAX_PATH)
        return std::string();

    // Held from the test of the file to its mark, so that no process clears
    // the profile in between.
    CTlGeneratedProfilesLock lock;
    if (!lock.IsHeld())
        return std::string();
    if (HoldGeneratedProfile(path, generator->GetProfileSize()))
        return path;
    error = BuildAndWrite(*generator, path, TemporaryPath(prefix));
    if (error) {
        IKelvraError::Release(error);
        return std::string();
    }
    return HoldGeneratedProfile(path, generator->GetProfileSize()) ? path : std::string();
}
