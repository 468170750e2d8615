#include "save/TlSaveImage.h"

#include "kelvra/KelvraError.h"
#include "load/TlFailureChain.h"
#include "load/TlImageSaveHook.h"
#include "save/TlSaveState.h"
#include "save/TlSaveWriters.h"

#include <windows.h>

#include <string>

namespace {

// A settings save passes this option on as the raw writer's own value.
constexpr std::uint32_t kSettingsOptionAsked = 4096;
constexpr std::uint32_t kSettingsOptionPassed = 32;

// The target's folder: up to, not including, its last separator. A bare
// file name is in the current folder, which the temporary name must say;
// a drive's root keeps its separator ("C:" alone is the drive's current
// folder).
std::string FolderOf(const char* path)
{
    const std::string text(path);
    const std::size_t last = text.find_last_of("\\/");
    if (last == std::string::npos)
        return ".";
    if (last > 0 && text[last - 1] == ':')
        return text.substr(0, last + 1);
    return text.substr(0, last);
}

bool MakeTemporaryFile(const char* targetPath, std::string& tempPath)
{
    char name[MAX_PATH + 1] = {};
    if (GetTempFileNameA(FolderOf(targetPath).c_str(), "Tln", 0, name) == 0)
        return false;
    // The system may answer with a name it could not create, as for a folder
    // that takes no new file; the reason is then its last error.
    const DWORD reason = GetLastError();
    if (GetFileAttributesA(name) == INVALID_FILE_ATTRIBUTES) {
        SetLastError(reason);
        return false;
    }
    tempPath = name;
    return true;
}

int WriteTemporaryFile(CTlvParamSet* params, const char* tempPath, std::uint32_t channelLayout,
                       std::uint32_t fileFormat, std::uint32_t formatOption, bool directImage)
{
    if (fileFormat != kTlSaveSettingsFormat)
        return RunExportImage(params, tempPath, channelLayout, fileFormat, formatOption, directImage);
    const std::uint32_t option = formatOption == kSettingsOptionAsked ? kSettingsOptionPassed : formatOption;
    return RunSaveSettings(params, tempPath, option);
}

// One rename that replaces the target: the old file stays until the new one
// takes its name, and a target that is held open makes it fail.
bool ReplaceTarget(const char* tempPath, const char* targetPath)
{
    return MoveFileExA(tempPath, targetPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

// The system's reason for the failure that just happened, under `text`.
void KeepSystemError(long line, const char* text)
{
    const DWORD code = GetLastError();
    KeepImageSaveError(MakeFailure(line, text, IKelvraError::Add(nullptr, 0, line, kKelvraCategoryOS, long(code))));
}

int RunSave(const STlImageSave& save)
{
    return SaveImageToFile(save.target, save.targetPath, save.channelLayout, save.fileFormat, save.formatOption,
                           save.directImage);
}

} // namespace

int SaveImageToFile(CTlvParamSet* params, const char* targetPath, std::uint32_t channelLayout,
                    std::uint32_t fileFormat, std::uint32_t formatOption, bool directImage)
{
    if (targetPath == nullptr || *targetPath == '\0')
        return kTlSaveNoTarget;
    std::string tempPath;
    if (!MakeTemporaryFile(targetPath, tempPath)) {
        KeepSystemError(__LINE__, "no temporary file can be made in the output folder");
        return kTlSaveNoTemporaryFile;
    }
    SaveState().tempPath = tempPath;

    int result = WriteTemporaryFile(params, tempPath.c_str(), channelLayout, fileFormat, formatOption, directImage);
    // A direct-image save hands its image to the destination: the file its
    // saver began holds no image and never takes the target's place.
    if (result == 0 && !directImage && !ReplaceTarget(tempPath.c_str(), targetPath)) {
        KeepSystemError(__LINE__, "the output file cannot be replaced");
        result = kTlSaveTargetNotReplaced;
    }
    // A failing writer should have removed its file; make sure none is left.
    if (result != 0 || directImage)
        DeleteFileA(tempPath.c_str());
    SaveState().tempPath.clear();
    return result;
}

void InstallImageSave()
{
    SetImageSaveHook(&RunSave);
}
