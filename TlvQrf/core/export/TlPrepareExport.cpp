// The export's preparation: the tag copy with the save-time tags and the
// profile the written data is in, the saver and the stream on the target,
// and the saver begun.
#include "export/TlExport.h"
#include "export/TlExportSteps.h"
#include "export/TlReleaseSaveState.h"

#include "colour/TlWorkingProfiles.h"
#include "fullres/TlFullResState.h"
#include "fullres/TlProcessingChain.h"
#include "load/TlFailureChain.h"
#include "load/TlImageSaveHook.h"
#include "load/TlStoredSettings.h"
#include "params/TlOutputProfile.h"
#include "params/TlvParamSet.h"
#include "pellio/Pellio.h"
#include "qrfsave/TlQrfSave.h"
#include "raw/TlEmbeddedProfile.h"
#include "save/TlSaveState.h"
#include "savetags/TlEmbedIccProfile.h"
#include "savetags/TlPrepareSaveTags.h"
#include "savetags/TlSaveTagWrite.h"

#include <windows.h>

#include <string>

namespace {

// Where the error chain says the tags could not be prepared.
constexpr long kAtPrepare = 626;

// The channel layout whose data is in the working space of slot 1.
constexpr std::uint32_t kWorkingSpaceLayout = 2;

// Raw file formats: the settings save prepares their tags and writer.
bool IsRawFormat(std::uint32_t format)
{
    return format == kPellioFormatQrf || format == kPellioFormatQrfDeflate;
}

bool Refused(const CTlvParamSet* params, std::uint32_t format)
{
    if (params == nullptr || params->image == nullptr || params->tags == nullptr)
        return true;
    return params->fixedSize != 0 && format != kTlExportFormatDirect;
}

// The profile the written data is in: the output profile whenever the
// chain ends in it, the working space of slot 1 for layout 2. Empty when
// the data stays in the source's own space.
std::string ProfileOfData(const CTlvParamSet& params, std::uint32_t channelLayout)
{
    if (params.outputProfileFlag != 0 && channelLayout == kWorkingSpaceLayout)
        return GetWorkingProfile(kTlCmykWorkingProfile);
    if (!EndsInOutputProfile(params, false))
        return std::string();
    char path[MAX_PATH] = {};
    if (!GetOutputProfilePath(&params, path))
        return std::string();
    return path;
}

void EmbedProfile(const CTlvParamSet& params, std::uint32_t channelLayout)
{
    STlSaveState& save = SaveState();
    const std::string profile = ProfileOfData(params, channelLayout);
    if (!profile.empty() && EmbedIccProfile(save.tags, profile.c_str()))
        save.profilePath = profile;
}

// Tags of the raw source that an exported picture must not carry: its
// alternative profile, its stored settings and their marker, its dust
// reference.
void RemoveRawTags(IKelvraTagControl& tags)
{
    for (std::uint32_t id : {std::uint32_t(kTlAlternativeProfileTag), std::uint32_t(kTlStoredSettingsTag),
                             std::uint32_t(kTlStoredSettingsMarkerTag), std::uint32_t(kTlDustReferenceTag)})
        IKelvraError::Release(tags.RemoveTag(id));
}

int MakeWriter(const char* targetPath)
{
    STlSaveState& save = SaveState();
    IKelvraError* error = CreateSave(&save.saver);
    if (error == nullptr)
        error = CreateFileStream(&save.stream);
    if (error == nullptr)
        error = save.stream->SetPath(targetPath);
    if (error == nullptr)
        error = save.stream->Open(kKelvraStreamWrite);
    if (error == nullptr)
        return 0;
    KeepImageSaveError(MakeFailure(__LINE__, "the export could not open the file it writes", error));
    return kTlExportNoObject;
}

// A raw file carries the settings, so the settings save makes its tag copy,
// saver and stream in place of the export's own.
int PrepareRawFile(CTlvParamSet& params, const char* targetPath, std::uint32_t formatOption)
{
    STlSaveState& save = SaveState();
    if (save.saver != nullptr)
        save.saver->Release();
    save.saver = nullptr;
    if (save.stream != nullptr)
        save.stream->Release();
    save.stream = nullptr;
    if (save.tags != nullptr)
        save.tags->Destroy();
    save.tags = nullptr;
    save.prepared = false;
    return PrepareQrfWriter(&params, targetPath, formatOption);
}

int BeginSaver(std::uint32_t fileFormat, std::uint32_t formatOption)
{
    STlSaveState& save = SaveState();
    IKelvraError* error = save.saver->Begin(save.stream, save.tags, fileFormat, formatOption);
    if (error != nullptr) {
        KeepImageSaveError(MakeFailure(__LINE__, "the writer refused the output format", error));
        return kTlExportBeginRefused;
    }
    save.formatOption = formatOption;
    save.step = kTlExportDevelop;
    return 0;
}

int Prepare(CTlvParamSet& params, const char* targetPath, std::uint32_t channelLayout, std::uint32_t fileFormat,
            std::uint32_t formatOption)
{
    IKelvraError* errors = nullptr;
    const int tagsResult = PrepareSaveTags(&params, targetPath, &errors);
    if (tagsResult != 0) {
        errors = IKelvraError::Add(errors, 0, kAtPrepare, "Prepare");
        IKelvraError::Release(errors);
        return tagsResult;
    }
    SaveState().prepared = true;
    if (const int made = MakeWriter(targetPath))
        return made;
    EmbedProfile(params, channelLayout);
    RemoveRawTags(*SaveState().tags);
    if (IsRawFormat(fileFormat)) {
        if (const int prepared = PrepareRawFile(params, targetPath, formatOption))
            return prepared;
    }
    return BeginSaver(fileFormat, formatOption);
}

} // namespace

int PrepareExport(CTlvParamSet* params, const char* targetPath, std::uint32_t channelLayout,
                  std::uint32_t fileFormat, std::uint32_t formatOption)
{
    if (Refused(params, fileFormat))
        return kTlExportNoSource;
    // A save prepared by someone else is not ours to release.
    const bool ours = !SaveState().prepared;
    if (ours) {
        ReleaseFullResState();
        SaveState().workSelector = kTlNoWorkImage;
        FullResState().channelLayout = int(channelLayout);
    }
    const int result = Prepare(*params, targetPath, channelLayout, fileFormat, formatOption);
    if (result != 0) {
        if (ours)
            ReleaseSaveState(false);
        if (targetPath != nullptr)
            DeleteFileA(targetPath);
    }
    return result;
}
