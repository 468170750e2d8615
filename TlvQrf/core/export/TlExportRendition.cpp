// Steps 4 and 5 of the export: the 640-pixel rendition of the developed
// image, or in direct-image mode the image rendered into the request's
// destination.
#include "export/TlExport.h"
#include "export/TlExportSteps.h"
#include "export/TlExportSupport.h"
#include "export/TlReleaseSaveState.h"

#include "filters/runner/TlFilterProcess.h"
#include "filtrix/KelvraFilterColorSpace.h"
#include "filtrix/KelvraFilterScale.h"
#include "fullres/TlFullResState.h"
#include "kelvra/KelvraFilterChain.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"
#include "params/TlvParamSet.h"
#include "save/TlSaveState.h"

#include <memory>
#include <new>

namespace {

constexpr long kAtScaleNotMade = 1372;
constexpr long kAtColourSpaceNotMade = 1439;
constexpr long kAtRenditionAborted = 1476;

constexpr long kRenditionSide = 640;

// The destination must be an image the developed pixels can be copied into.
int RenderDirect(STlExportStep& step, IKelvraImage* current)
{
    IKelvraImage* destination = SaveState().directDestination;
    if (destination == nullptr)
        return EndExport(step, kTlExportRunFailed);
    CFilterProcess process(nullptr);
    IKelvraError* error = process.Run(current, destination);
    process.Clear();
    if (error != nullptr)
        return EndExport(step, kTlExportRunFailed, error);
    return GoTo(kTlExportEnded);
}

// A filter kept with the chain's stages; the chain-only release frees it.
template <typename Filter, typename... Args>
Filter* MakeStage(Args... args)
{
    std::unique_ptr<Filter> filter(new (std::nothrow) Filter(ExportManager(), args...));
    Filter* made = filter.get();
    if (made != nullptr)
        FullResState().filters.push_back(std::move(filter));
    return made;
}

int MakeChainAndRendition(STlExportStep& step)
{
    IKelvraError* error = ExportManager()->CreateFilterChain(&FullResState().chain);
    if (error == nullptr)
        error = ExportManager()->CreateImage(&SaveState().rendition);
    if (error != nullptr || FullResState().chain == nullptr || SaveState().rendition == nullptr)
        return EndExport(step, kTlExportNoObject, error);
    return 0;
}

int AppendScale(STlExportStep& step, IKelvraImage* current, long fixedWidth, long fixedHeight)
{
    CKelvraFilterScale* scale = MakeStage<CKelvraFilterScale>(2L);
    if (scale == nullptr)
        return EndExportNoMemory(step, kAtScaleNotMade);
    IKelvraError::Release(scale->SetCacheUsage(0));
    if (IKelvraError* error = FullResState().chain->InsertFilter(scale, -1))
        return EndExport(step, kTlExportScaleFailed, error);
    long width = 0, height = 0;
    if (IKelvraError* error = current->GetSize(&width, &height))
        return EndExport(step, kTlExportNoFormat, error);
    IKelvraError* error = step.params.fixedSize != 0 ? scale->SetSize(fixedWidth, fixedHeight, false)
                                                     : SizeRendition(*scale, width, height, kRenditionSide);
    if (error != nullptr)
        return EndExport(step, kTlExportScaleFailed, error);
    return 0;
}

// A rendition of 16-bit colour is made in 8 bits.
int AppendColourSpace(STlExportStep& step, KelvraPixelFormat format)
{
    if (format != kKelvraRGB16)
        return 0;
    CKelvraFilterColorSpace* space = MakeStage<CKelvraFilterColorSpace>();
    if (space == nullptr)
        return EndExportNoMemory(step, kAtColourSpaceNotMade);
    IKelvraError* error = space->SetOutputColorSpace(0, 1, false);
    if (error == nullptr)
        error = FullResState().chain->InsertFilter(space, -1);
    if (error != nullptr)
        return EndExport(step, kTlExportColourFailed, error);
    return 0;
}

int BeginRendition(STlExportStep& step, IKelvraImage* current)
{
    long fixedWidth = 0, fixedHeight = 0;
    if (step.params.fixedSize != 0) {
        if (IKelvraError* error = SaveState().saver->GetOutputSize(&fixedWidth, &fixedHeight))
            return EndExport(step, kTlExportNoFixedSize, error);
    }
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = current->GetColorSpace(&format))
        return EndExport(step, kTlExportNoFormat, error);
    int result = MakeChainAndRendition(step);
    if (!step.ended)
        result = AppendScale(step, current, fixedWidth, fixedHeight);
    if (!step.ended)
        result = AppendColourSpace(step, format);
    if (step.ended)
        return result;
    IKelvraDataSource* source = current;
    STlSaveState& save = SaveState();
    if (IKelvraError* error = FullResState().chain->BeginProcess(&save.runHandle, &source, 1, save.rendition))
        return EndExport(step, kTlExportRunFailed, error);
    return GoTo(kTlExportRunRendition);
}

void EndRenditionRun()
{
    STlSaveState& save = SaveState();
    IKelvraError::Release(FullResState().chain->EndProcess(save.runHandle));
    save.runHandle = nullptr;
}

} // namespace

int StepBeginRendition(STlExportStep& step)
{
    IKelvraImage* current = CurrentExportImage(step.params);
    if (step.directImage)
        return RenderDirect(step, current);
    return BeginRendition(step, current);
}

int StepRunRendition(STlExportStep& step)
{
    long done = 0, total = 0;
    if (IKelvraError* error = FullResState().chain->ExecuteProcess(SaveState().runHandle, &done, &total)) {
        EndRenditionRun();
        return EndExport(step, kTlExportRunFailed, error);
    }
    const int base = ExportProgressBase();
    if (total != 0 && ReportExportProgress(base + (100 - base) * done * 50 / total / 100)) {
        EndRenditionRun();
        return EndExport(step, kTlExportAborted, kAtRenditionAborted, "Aborted");
    }
    if (total != 0)
        return 0;
    EndRenditionRun();
    ReleaseSaveState(true);
    SetExportProgressBase(base + (100 - base) / 2);
    return GoTo(kTlExportSetupWrite);
}
