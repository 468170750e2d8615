#include "TlProfileBuild.h"

#include <windows.h>

#include <new>
#include <string>

namespace {

struct ProfileEntry {
    TlProfileSpec spec;
    IKelvraError* (*build)(const TlProfileSpec& spec, TlBytes* bytes);
};

// Descriptions end in a version, which the library's description reader
// drops for our profiles ("Talvo sRGB 1.0" shows as "Talvo sRGB").
const ProfileEntry kProfiles[] = {
    {{"TLsRGB.icm", "Talvo sRGB 1.0", &kTlSrgbSpace}, TlBuildRgbProfile},
    {{"TLAdobe.icm", "Talvo Adobe RGB (1998) 1.0", &kTlAdobeRgbSpace}, TlBuildRgbProfile},
    {{"TLNTSC.icm", "Talvo NTSC (1953) 1.0", &kTlNtscSpace}, TlBuildRgbProfile},
    {{"TLMonitor_Win.icm", "Talvo Monitor (sRGB) 1.0", &kTlSrgbSpace}, TlBuildRgbProfile},
    {{"TLGrayG22.icm", "Talvo Gray (Gamma 2.2) 1.0", nullptr}, TlBuildGreyProfile},
    {{"TLLab.icm", "Talvo Lab 1.0", nullptr}, TlBuildLabProfile},
    {{"TLLch2.icm", "Talvo LCh 1.0", nullptr}, TlBuildLChProfile},
    {{"TlCMYK.icm", "Talvo CMYK (simple) 1.0", nullptr}, TlBuildCmykProfile},
    // The generator's own description of its fixed profile; with the notice
    // it fills the 128 bytes that make the file 221848 bytes long.
    {{"TLKX7_QRF.icm", "Talvo KX7 for Qrf v1.0.0.3000", nullptr}, TlBuildCameraBaseProfile},
    {{"TLDBase_QRF.icm", "Talvo camera base 1.0", nullptr}, TlBuildCameraBaseProfile},
};

const ProfileEntry* FindProfile(const char* fileName)
{
    for (const ProfileEntry& entry : kProfiles) {
        if (fileName && lstrcmpiA(entry.spec.fileName, fileName) == 0)
            return &entry;
    }
    return nullptr;
}

IKelvraError* PathFailure(long line, const char* what, const std::string& path)
{
    try {
        return TlProfileFailure(line, (what + (": " + path)).c_str());
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kTlProfileMakerTag, kKelvraOutOfMemory);
    }
}

// Creates `folder` and every missing parent.
IKelvraError* MakeFolders(const std::string& folder)
{
    for (std::size_t at = folder.find_first_of("\\/", 1); at != std::string::npos;
         at = folder.find_first_of("\\/", at + 1)) {
        if (at > 0 && folder[at - 1] != ':')
            CreateDirectoryA(folder.substr(0, at).c_str(), nullptr); // existing parents are fine
    }
    if (!CreateDirectoryA(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return PathFailure(__LINE__, "folder not created", folder);
    return nullptr;
}

IKelvraError* WriteProfileFile(const std::string& path, const TlBytes& bytes)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return PathFailure(__LINE__, "file not created", path);
    DWORD written = 0;
    const BOOL ok = ::WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size()) {
        DeleteFileA(path.c_str());
        return PathFailure(__LINE__, "file not written", path);
    }
    return nullptr;
}

} // namespace

const std::vector<const char*>& TlProfileFileNames()
{
    static const std::vector<const char*> names = [] {
        std::vector<const char*> list;
        for (const ProfileEntry& entry : kProfiles)
            list.push_back(entry.spec.fileName);
        return list;
    }();
    return names;
}

IKelvraError* TlBuildProfile(const char* fileName, std::vector<std::uint8_t>* bytes)
{
    const ProfileEntry* entry = FindProfile(fileName);
    if (!entry || !bytes)
        return KELVRA_ERROR(nullptr, kTlProfileMakerTag, kKelvraMissingObject);
    IKelvraError* error = entry->build(entry->spec, bytes);
    return error ? KELVRA_WRAP(nullptr, kTlProfileMakerTag, error) : nullptr;
}

IKelvraError* TlWriteProfiles(const char* folder)
{
    if (!folder || !folder[0])
        return KELVRA_ERROR(nullptr, kTlProfileMakerTag, kKelvraMissingObject);
    try {
        std::string base = folder;
        if (base.back() == '\\' || base.back() == '/')
            base.pop_back();
        if (IKelvraError* error = MakeFolders(base))
            return error;
        for (const ProfileEntry& entry : kProfiles) {
            TlBytes bytes;
            IKelvraError* error = TlBuildProfile(entry.spec.fileName, &bytes);
            if (!error)
                error = WriteProfileFile(base + "\\" + entry.spec.fileName, bytes);
            if (error)
                return KELVRA_WRAP(nullptr, kTlProfileMakerTag, error);
        }
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kTlProfileMakerTag, kKelvraOutOfMemory);
    }
    return nullptr;
}
