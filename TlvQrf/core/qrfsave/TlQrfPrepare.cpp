// Preparing a settings save: the tag copy with the settings record, the
// output profile, the marker and the dust map, then the writer on the
// temporary file.
#include "qrfsave/TlQrfSave.h"
#include "qrfsave/TlQrfSaveRun.h"
#include "qrfsave/TlQrfSettingsRecord.h"

#include "kelvra/KelvraTagControl.h"
#include "load/TlStoredSettings.h"
#include "params/TlOutputProfile.h"
#include "params/TlvParamSet.h"
#include "pellio/Pellio.h"
#include "save/TlSaveState.h"
#include "save/TlSaveWriters.h"
#include "savetags/TlEmbedIccProfile.h"
#include "savetags/TlPrepareSaveTags.h"
#include "savetags/TlSaveTagWrite.h"

#include <windows.h>

#include <vector>

namespace {

// Where the error chain says the tag preparation failed.
constexpr long kAtPrepare = 2184;
constexpr std::uint32_t kStoredSettingsMarker = 2;

// The tags besides the settings record; their failures are dropped.
void WriteSideTags(const CTlvParamSet& params, IKelvraTagControl& tags)
{
    char profile[kTlvPathSize] = {};
    if (GetOutputProfilePath(&params, profile) && EmbedIccProfile(&tags, profile))
        SaveState().profilePath = profile;
    IKelvraError::Release(
        WriteSaveTag(tags, kTlStoredSettingsMarkerTag, kKelvraTagTypeLong, sizeof kStoredSettingsMarker,
                     &kStoredSettingsMarker));
    const std::vector<unsigned char> dust =
        params.dust != nullptr ? StoredDustMap(*params.dust) : std::vector<unsigned char>();
    if (dust.empty())
        IKelvraError::Release(tags.RemoveTag(kTlDustReferenceTag));
    else
        IKelvraError::Release(WriteSaveTag(tags, kTlDustReferenceTag, kKelvraTagTypeBytes,
                                           static_cast<std::uint32_t>(dust.size()), dust.data()));
}

// The tag copy the writer gets; 0 or the failure's code.
int PrepareTags(CTlvParamSet& params, const char* tempPath)
{
    std::vector<unsigned char> record;
    if (!SerialiseSettings(params, record))
        return kTlSaveNoObject;
    IKelvraError* errors = nullptr;
    int code = PrepareSaveTags(&params, tempPath, &errors);
    if (code != kTlSaveOk) {
        errors = IKelvraError::Add(errors, 0, kAtPrepare, "Prepare");
    } else if (IKelvraError* error = WriteSaveTag(*SaveState().tags, kTlStoredSettingsTag, kKelvraTagTypeBytes,
                                                  static_cast<std::uint32_t>(record.size()), record.data())) {
        IKelvraError::Release(errors);
        errors = error;
    } else {
        WriteSideTags(params, *SaveState().tags);
    }
    if (errors != nullptr && code == kTlSaveOk)
        code = kTlSaveFailed;
    IKelvraError::Release(errors);
    return code;
}

// The raw writer's option goes along only with an attached block to carry.
std::uint32_t KeptOption(const CTlvParamSet& params, std::uint32_t option)
{
    return option != 0 && params.profileBuffer != nullptr && params.profileBufferSize > 0 ? option : 0;
}

int MakeWriter(const char* tempPath)
{
    STlSaveState& save = SaveState();
    if (IKelvraError* error = CreateSave(&save.saver)) {
        IKelvraError::Release(error);
        return kTlSaveNoObject;
    }
    if (IKelvraError* error = CreateFileStream(&save.stream)) {
        IKelvraError::Release(error);
        return kTlSaveNoObject;
    }
    IKelvraError* error = save.stream->SetPath(tempPath);
    if (error == nullptr)
        error = save.stream->Open(kKelvraStreamWrite);
    if (error != nullptr) {
        IKelvraError::Release(error);
        return kTlSaveNoObject;
    }
    return kTlSaveOk;
}

int BeginWriter()
{
    STlSaveState& save = SaveState();
    if (IKelvraError* error = save.saver->Begin(save.stream, save.tags, kPellioFormatQrfSettings, save.rawSaveOption)) {
        IKelvraError::Release(error);
        return kTlQrfWriterRefused;
    }
    return kTlSaveOk;
}

void Abandon(CTlvParamSet* params, const char* tempPath)
{
    ReleaseQrfSave(params);
    if (tempPath != nullptr && *tempPath != '\0')
        DeleteFileA(tempPath);
}

} // namespace

int PrepareQrfWriter(CTlvParamSet* params, const char* tempPath, std::uint32_t option)
{
    if (params == nullptr || params->image == nullptr || params->tags == nullptr)
        return kTlSaveNoSource;
    int code = PrepareTags(*params, tempPath);
    // A save that another save had prepared is not this one to end.
    if (code == kTlSaveAlreadyPrepared)
        return code;
    if (code == kTlSaveOk) {
        SaveState().rawSaveOption = KeptOption(*params, option);
        code = MakeWriter(tempPath);
    }
    if (code != kTlSaveOk) {
        Abandon(params, tempPath);
        return code;
    }
    SaveState().prepared = true;
    return kTlSaveOk;
}

int PrepareQrfSave(CTlvParamSet* params, const char* tempPath, std::uint32_t option)
{
    int code = PrepareQrfWriter(params, tempPath, option);
    if (code != kTlSaveOk)
        return code;
    code = BeginWriter();
    if (code != kTlSaveOk) {
        Abandon(params, tempPath);
        return code;
    }
    SaveState().step = kTlQrfStepDemosaic;
    return kTlSaveOk;
}

int SaveQrfSettings(CTlvParamSet* params, const char* tempPath, std::uint32_t option)
{
    if (params != nullptr)
        params->options[2] = 0;
    int code = PrepareQrfSave(params, tempPath, option);
    if (code != kTlSaveOk)
        return code;
    bool done = false;
    while (!done)
        code = QrfSaveStep(params, &done);
    return code;
}

void InstallQrfSettingsSave()
{
    SetSaveSettingsHook(&SaveQrfSettings);
}
