// Steps 6 and 7 of the export: the main image's last colour stage, the
// thumbnail and the image list handed to the saver, then the saver's steps.
#include "export/TlExport.h"
#include "export/TlExportSteps.h"
#include "export/TlExportSupport.h"

#include "colour/TlColourEngineManager.h"
#include "colour/TlWorkingProfiles.h"
#include "filtrix/KelvraFilterCML.h"
#include "filtrix/KelvraFilterScale.h"
#include "fullres/TlFullResState.h"
#include "kelvra/KelvraImage.h"
#include "params/TlOutputProfile.h"
#include "params/TlvParamSet.h"
#include "pellio/PellioFormats.h"
#include "save/TlSaveState.h"

#include <windows.h>

#include <new>

namespace {

constexpr long kAtBadColourSpace = 1573;
constexpr long kAtNoEngine = 1597;
constexpr long kAtColourNotMade = 1610;
constexpr long kAtThumbnailNotMade = 1650;
constexpr long kAtWriteAborted = 1799;

constexpr long kThumbnailSide = 160;

} // namespace

int ExportWorkingSlot(KelvraPixelFormat format, std::uint32_t layout)
{
    switch (format) {
    case kKelvraGrey8:
    case kKelvraRGB8:
        return layout == 2 ? int(kTlCmykWorkingProfile) : int(kNoSlot);
    case kKelvraGrey16:
    case kKelvraRGB16:
        if (layout == 0)
            return int(kTlRgbWorkingProfile);
        // 8-bit grey has no working slot of its own: its data stays in the
        // grey profile it was developed into.
        return layout == 2 ? int(kTlCmykWorkingProfile) : int(kNoSlot);
    default:
        return kBadColourSpace;
    }
}

namespace {

// The colour stage into `slot`; the main source becomes the stage when it
// changes anything.
int ConvertToWorkingSpace(STlExportStep& step, IKelvraImage* current, KelvraPixelFormat format, int slot,
                          IKelvraDataSource** main)
{
    STlSaveState& save = SaveState();
    auto* stage = new (std::nothrow) CKelvraFilterCML(ExportManager());
    if (stage == nullptr)
        return EndExportNoMemory(step, kAtColourNotMade);
    save.colourFilter = stage;
    char profile[MAX_PATH] = {};
    GetOutputProfilePath(&step.params, profile);
    if (!RequestEngineToWorkingProfile(save.engines[0], profile, slot))
        return EndExport(step, kTlExportColourFailed, kAtNoEngine, "Missing CMS Engine");
    if (IKelvraError* error = stage->SetCMLEngine(save.engines[0].Get(), false))
        return EndExport(step, kTlExportColourFailed, error);
    if (!IsColourFilterActive(stage))
        return 0;
    const long inputBits = (format & 0x10000000) != 0 ? 16 : 8;
    IKelvraError* error = stage->SetBitsPerComponent(false, inputBits, false);
    if (error == nullptr)
        error = stage->SetBitsPerComponent(true, 8, false);
    if (error != nullptr)
        return EndExport(step, kTlExportColourFailed, error);
    if (IKelvraError* connect = KelvraDataConnect(current, stage))
        return EndExport(step, kTlExportConnectFailed, connect);
    *main = stage;
    return 0;
}

int MakeThumbnail(STlExportStep& step, long fixedWidth, long fixedHeight)
{
    STlSaveState& save = SaveState();
    auto* thumbnail = new (std::nothrow) CKelvraFilterScale(ExportManager(), 2);
    if (thumbnail == nullptr)
        return EndExportNoMemory(step, kAtThumbnailNotMade);
    save.scaleFilter = thumbnail;
    IKelvraError::Release(thumbnail->SetCacheUsage(0));
    long width = 0, height = 0;
    if (IKelvraError* error = save.rendition->GetSize(&width, &height))
        return EndExport(step, kTlExportNoFormat, error);
    IKelvraError* error = step.params.fixedSize != 0 ? thumbnail->SetSize(fixedWidth, fixedHeight, false)
                                                     : SizeRendition(*thumbnail, width, height, kThumbnailSide);
    if (error != nullptr)
        return EndExport(step, kTlExportScaleFailed, error);
    if (IKelvraError* connect = KelvraDataConnect(save.rendition, thumbnail))
        return EndExport(step, kTlExportConnectFailed, connect);
    return 0;
}

} // namespace

int FillExportImageList(const CTlvParamSet& params, int count)
{
    STlSaveState& save = SaveState();
    if (count > kTlSaveImageListSlots - 1)
        count = kTlSaveImageListSlots - 1;
    if (count < 1)
        count = 1;
    save.imageList[0] = {kPellioEntryRendition, 1, save.scaleFilter};
    if (count > 1)
        save.imageList[1] = {kPellioEntryRendition, 1, save.rendition};
    // The third trailing flag byte asks for the attached bitmap instead.
    if (params.options[2] != 0) {
        save.bitmap = {kKelvraSaveBitmapMagic, params.profileBuffer, params.profileBufferSize};
        save.imageList[count] = {kPellioEntryBitmap, 2, &save.bitmap};
    } else {
        IKelvraImage* source = params.secondImage != nullptr ? params.secondImage : params.image;
        save.imageList[count] = {kPellioEntryRawSource, 1, static_cast<IKelvraDataSource*>(source)};
    }
    save.imageCount = count + 1;
    return count;
}

namespace {

int SetupWrite(STlExportStep& step, IKelvraDataSource* main, int count)
{
    STlSaveState& save = SaveState();
    count = FillExportImageList(step.params, count);
    IKelvraError* error = save.saver->SetupWrite(main, save.imageList, count + 1);
    if (error != nullptr && error->HasCode(kPellioListRefused) && count > 1) {
        // The saver takes the thumbnail alone; the source's entry (or the
        // attached bitmap) still ends the list.
        IKelvraError::Release(error);
        save.imageList[count] = KelvraSaveEntry{};
        count = FillExportImageList(step.params, 1);
        error = save.saver->SetupWrite(main, save.imageList, count + 1);
    }
    if (error != nullptr)
        return EndExport(step, kTlExportListRefused, error);
    return GoTo(kTlExportWrite);
}

int WriteSetup(STlExportStep& step, IKelvraImage* current)
{
    STlSaveState& save = SaveState();
    int count = 2;
    long fixedWidth = 0, fixedHeight = 0;
    if (step.params.fixedSize != 0) {
        KelvraSaveInfo info = {};
        info.size = sizeof info;
        IKelvraError* error = save.saver->GetInfo(&info);
        if (error == nullptr)
            error = save.saver->GetOutputSize(&fixedWidth, &fixedHeight);
        if (error != nullptr)
            return EndExport(step, kTlExportNoFixedSize, error);
        count = int(info.imageCount);
    }
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = current->GetColorSpace(&format))
        return EndExport(step, kTlExportNoFormat, error);
    IKelvraDataSource* main = current;
    if (step.params.outputProfileFlag != 0) {
        const int slot = ExportWorkingSlot(format, std::uint32_t(FullResState().channelLayout));
        if (slot == kBadColourSpace)
            return EndExport(step, kTlExportRunFailed, kAtBadColourSpace, "Bad source color space");
        const int converted = slot != kNoSlot ? ConvertToWorkingSpace(step, current, format, slot, &main) : 0;
        if (step.ended)
            return converted;
    }
    const int thumbnail = MakeThumbnail(step, fixedWidth, fixedHeight);
    if (step.ended)
        return thumbnail;
    return SetupWrite(step, main, count);
}

} // namespace

int StepSetupWrite(STlExportStep& step)
{
    return WriteSetup(step, CurrentExportImage(step.params));
}

int StepWrite(STlExportStep& step)
{
    IKelvraSave* saver = SaveState().saver;
    if (!saver->IsFinished()) {
        long done = 0, total = 0;
        saver->GetProgress(&done, &total);
        const int base = ExportProgressBase();
        const bool aborted = total > 0 && ReportExportProgress(base + (100 - base) * done / total);
        if (IKelvraError* error = saver->WriteStep()) {
            const int result = error->HasCode(kKelvraWriteError) ? kTlExportWriteFailed : kTlExportRunFailed;
            return EndExport(step, result, error);
        }
        if (aborted)
            return EndExport(step, kTlExportAborted, kAtWriteAborted, "Aborted");
    }
    if (saver->IsFinished())
        return GoTo(kTlExportEnded);
    return 0;
}
