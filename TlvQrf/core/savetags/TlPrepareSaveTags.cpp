#include "savetags/TlPrepareSaveTags.h"

#include "savetags/TlSaveTimeTags.h"

#include "frame/TlSaveProgress.h"
#include "lib/TlLibraryState.h"
#include "load/TlStoredSettings.h"
#include "params/TlvParamSet.h"
#include "pellio/Pellio.h"

#include <cstring>

namespace {

// Where the error chain says a locked target was found.
constexpr long kAtFileLocked = 1936;

bool IsReadOnly(const char* path)
{
    const DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

void ResetProgressBase()
{
    TlSaveProgressState progress = GetSaveProgressState();
    progress.base = 0;
    ExchangeSaveProgressState(progress);
}

int CopyTags(const CTlvParamSet& params, TlSaveTagsState& save)
{
    IKelvraTagControl* copy = nullptr;
    if (IKelvraError* error = CreateTagControl(&copy)) {
        IKelvraError::Release(error);
        return kTlSaveNoObject;
    }
    save.tags.reset(copy);
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

int PrepareTarget(const CTlvParamSet& params, const char* path, TlSaveTagsState& save)
{
    std::strcpy(save.tempPath, path);
    if (IsReadOnly(path)) {
        save.error = IKelvraError::Add(save.error, 0, kAtFileLocked, "File Locked");
        return kTlSaveFileLocked;
    }
    return CopyTags(params, save);
}

} // namespace

int PrepareSaveTags(const CTlvParamSet* params, const char* path, TlSaveTagsState& save)
{
    if (params == nullptr || params->image == nullptr || params->tags == nullptr)
        return kTlSaveNoSource;
    if (save.prepared)
        return kTlSaveAlreadyPrepared;
    if (path == nullptr || std::strlen(path) >= MAX_PATH)
        return kTlSaveFailed;
    const int code = PrepareTarget(*params, path, save);
    ResetProgressBase();
    return code;
}
