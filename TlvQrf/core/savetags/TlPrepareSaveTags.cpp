#include "savetags/TlPrepareSaveTags.h"

#include "savetags/TlSaveTimeTags.h"

#include "frame/TlSaveProgress.h"
#include "lib/TlLibraryState.h"
#include "load/TlStoredSettings.h"
#include "params/TlvParamSet.h"
#include "pellio/Pellio.h"
#include "save/TlSaveState.h"

#include <windows.h>

namespace {

// Where the error chain says a locked target was found.
constexpr long kAtFileLocked = 1936;

bool IsReadOnly(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

void RecordFileLocked(IKelvraError** errors)
{
    IKelvraError* error = IKelvraError::Add(errors ? *errors : nullptr, 0, kAtFileLocked, "File Locked");
    if (errors)
        *errors = error;
    else
        IKelvraError::Release(error);
}

// The save state owns the copy from here on; a copy an earlier save left
// behind goes first.
void KeepCopy(STlSaveState& save, IKelvraTagControl* copy)
{
    if (save.tags != nullptr && save.tags != copy)
        save.tags->Destroy();
    save.tags = copy;
}

int CopyTags(const CTlvParamSet& params, STlSaveState& save)
{
    IKelvraTagControl* copy = nullptr;
    if (IKelvraError* error = CreateTagControl(&copy)) {
        IKelvraError::Release(error);
        return kTlSaveNoObject;
    }
    KeepCopy(save, copy);
    if (IKelvraError* error = copy->CopyFrom(params.tags)) {
        IKelvraError::Release(error);
        IKelvraError::Release(copy->RemoveTag(kTlDustIdentificationTag));
        return kTlSaveTagCopyFailed;
    }
    SYSTEMTIME now = {};
    GetLocalTime(&now);
    WriteSaveTimeTags(*copy, params, GetSoftwareTag(), now);
    return kTlSaveOk;
}

int PrepareTarget(const CTlvParamSet& params, const char* path, IKelvraError** errors)
{
    STlSaveState& save = SaveState();
    save.tempPath = path;
    // Only a profile this save embeds is named to its host.
    save.profilePath.clear();
    if (IsReadOnly(path)) {
        RecordFileLocked(errors);
        return kTlSaveFileLocked;
    }
    return CopyTags(params, save);
}

} // namespace

int PrepareSaveTags(const CTlvParamSet* params, const char* path, IKelvraError** errors)
{
    if (params == nullptr || params->image == nullptr || params->tags == nullptr)
        return kTlSaveNoSource;
    if (SaveState().prepared)
        return kTlSaveAlreadyPrepared;
    if (path == nullptr || *path == '\0')
        return kTlSaveFailed;
    const int code = PrepareTarget(*params, path, errors);
    SetSaveProgressBase(0);
    return code;
}
