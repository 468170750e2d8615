#include "files/TlRenditionNames.h"

#include "common/TlNoThrow.h"
#include "files/TlPathHelpers.h"

#include <windows.h>

namespace {

constexpr unsigned long kFailed = 0x1008;
const char kFolderName[] = "TalvoServices";
const char kExtension[] = ".jpg";
const char kTemporaryPrefix[] = "Tln";

bool Exists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool FindFreeName(const std::string& folder, const std::string& base, std::string& fileName)
{
    for (unsigned long number = 0;; ++number) {
        std::string candidate = base + (number ? std::to_string(number) : std::string()) + kExtension;
        const std::string path = folder + "\\" + candidate;
        if (path.size() >= MAX_PATH)
            return false;
        if (!Exists(path)) {
            fileName.swap(candidate);
            return true;
        }
    }
}

bool MakeTemporaryFile(const std::string& folder, std::string& fileName)
{
    char path[MAX_PATH];
    // The name has the prefix, up to four hex digits and ".tmp": it must fit beside the folder.
    if (folder.size() + 1 + 3 + 4 + 4 >= MAX_PATH || !GetTempFileNameA(folder.c_str(), kTemporaryPrefix, 0, path))
        return false;
    fileName = GetFileName(path, true);
    return true;
}

} // namespace

std::string GetRenditionFolder() noexcept
{
    char temporary[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, temporary);
    if (length == 0 || length >= MAX_PATH)
        return std::string();
    std::string folder = TlCopyNoThrow(temporary);
    const bool made = TlAnswerNoThrow([&] {
        if (!folder.empty() && folder.back() != '\\')
            folder += '\\';
        folder += kFolderName;
        if (folder.size() >= MAX_PATH)
            return false;
        const DWORD attributes = GetFileAttributesA(folder.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES)
            return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        return CreateDirectoryA(folder.c_str(), nullptr) != FALSE;
    });
    return made ? folder : std::string();
}

unsigned long MakeRenditionName(const char* sourceName, std::string& folder, std::string& fileName) noexcept
{
    if (!sourceName)
        return kFailed;
    const std::string renditionFolder = GetRenditionFolder();
    if (renditionFolder.empty())
        return kFailed;
    const bool named = TlAnswerNoThrow([&] {
        std::string chosen;
        const bool found = *sourceName ? FindFreeName(renditionFolder, GetFileName(sourceName, false), chosen)
                                       : MakeTemporaryFile(renditionFolder, chosen);
        if (!found)
            return false;
        folder = renditionFolder;
        fileName.swap(chosen);
        return true;
    });
    return named ? 0 : kFailed;
}
