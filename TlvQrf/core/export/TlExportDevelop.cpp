// Steps 0 and 1 of the export: develop a raw-processing source, build the
// full-resolution chain and run it into its destination image.
#include "export/TlExport.h"
#include "export/TlExportSteps.h"
#include "export/TlExportSupport.h"
#include "export/TlReleaseSaveState.h"

#include "filters/resolution/TlResolutionFilter.h"
#include "filters/sigcore/TlSigProcImage.h"
#include "frame/TlSaveProgress.h"
#include "fullres/TlFullResState.h"
#include "fullres/TlProcessingChain.h"
#include "kelvra/KelvraFilterChain.h"
#include "kelvra/KelvraImage.h"
#include "params/TlDevelopParams.h"
#include "params/TlProgressRelay.h"
#include "params/TlvParamSet.h"
#include "save/TlSaveState.h"

namespace {

// Where the error chain says what ended the export.
constexpr long kAtChainError = 969;
constexpr long kAtChainAborted = 1076;

// The signal-processing library's code for a development the user cancelled.
constexpr long kDevelopCancelled = 2001;

// The chain's run and the analysis stages share this much of the whole.
constexpr int kChainPercent = 60;
constexpr int kAnalysisPercent = 42;

CSigProcImage* RawProcessingSource(const CTlvParamSet& params)
{
    if (params.rawFlag == 0 || !params.IsSignalProcessingModel())
        return nullptr;
    return dynamic_cast<CSigProcImage*>(params.image);
}

// The raw-processing source develops from its first source for a save; the
// finish switches it back.
int DevelopSource(STlExportStep& step, CSigProcImage& image)
{
    if (image.IsSecondSourceSelected()) {
        if (IKelvraError* error = image.SelectSource(false, false))
            return EndExport(step, kTlExportSourceSwitch, error);
        SaveState().sourceSwitched = true;
    }
    IKelvraError* error = nullptr;
    {
        const CScopedProgressRelay relay(&image);
        UpdateDevelopParams(step.params, true, false);
        error = image.Update();
    }
    if (error == nullptr)
        return 0;
    const int result = error->HasCode(kDevelopCancelled) ? kTlExportAborted : kTlExportDevelopFailed;
    return EndExport(step, result, error);
}

// The analysis stages present share 42 points of the progress.
void ShareAnalysisProgress()
{
    STlFullResState& state = FullResState();
    int* shares[3] = {&state.redEyeShare, &state.dustShare, &state.revelationShare};
    int present = 0;
    for (int* share : shares)
        present += *share != 0 ? 1 : 0;
    if (present == 0)
        return;
    for (int* share : shares)
        if (*share != 0)
            *share = kAnalysisPercent / present;
    TlSaveProgressState progress = GetSaveProgressState();
    progress.weights[0] = state.redEyeShare;
    progress.weights[1] = state.dustShare;
    progress.weights[2] = state.revelationShare;
    ExchangeSaveProgressState(progress);
}

int BeginChain(STlExportStep& step)
{
    STlFullResState& state = FullResState();
    if (state.chain->GetFilterCount() == 0) {
        if (state.destination != nullptr)
            state.destination->Release();
        state.destination = nullptr;
        return GoTo(kTlExportRunChain);
    }
    if (auto* resolution = dynamic_cast<CResolutionFilter*>(state.chain->GetFilter(0)))
        IKelvraError::Release(resolution->SetResolution(GeometryResolution(step.params), false));
    IKelvraDataSource* source = step.params.image;
    if (IKelvraError* error = state.chain->BeginProcess(&SaveState().runHandle, &source, 1, state.destination))
        return EndExport(step, kTlExportRunFailed, error);
    return GoTo(kTlExportRunChain);
}

// The analysis stages' shares not yet done: a finished stage has moved its
// weight into the progress base already.
int PendingAnalysisShares()
{
    const STlFullResState& state = FullResState();
    const TlSaveProgressState progress = GetSaveProgressState();
    return (state.redEyeShare != 0 ? progress.weights[0] : 0) + (state.dustShare != 0 ? progress.weights[1] : 0) +
           (state.revelationShare != 0 ? progress.weights[2] : 0);
}

} // namespace

int StepDevelop(STlExportStep& step)
{
    if (CSigProcImage* image = RawProcessingSource(step.params)) {
        const int developed = DevelopSource(step, *image);
        if (step.ended)
            return developed;
    }
    BeginExportProgress();
    IKelvraError* failure = nullptr;
    const int built = BuildProcessingChain(ExportManager(), step.params, false, 1.0, 0, &failure);
    if (built != 0) {
        // The host learns which stage failed and why, under the export's own
        // error.
        step.errors = IKelvraError::AddWorker(IKelvraError::Add(step.errors, 0, kAtChainError, "Filter chain error"),
                                              0, kAtChainError, failure);
        return EndExport(step, built);
    }
    IKelvraError::Release(failure);
    ShareAnalysisProgress();
    return BeginChain(step);
}

int StepRunChain(STlExportStep& step)
{
    STlFullResState& state = FullResState();
    STlSaveState& save = SaveState();
    if (state.destination != nullptr) {
        long done = 0, total = 0;
        if (IKelvraError* error = state.chain->ExecuteProcess(save.runHandle, &done, &total)) {
            IKelvraError::Release(state.chain->EndProcess(save.runHandle));
            return EndExport(step, kTlExportRunFailed, error);
        }
        const int base = ExportProgressBase();
        const bool aborted =
            total >= 1 && ReportExportProgress(base + (kChainPercent - base - PendingAnalysisShares()) * done / total);
        if (aborted) {
            IKelvraError::Release(state.chain->EndProcess(save.runHandle));
            return EndExport(step, kTlExportAborted, kAtChainAborted, "Aborted");
        }
        if (total != 0)
            return 0;
        IKelvraError::Release(state.chain->EndProcess(save.runHandle));
    }
    save.runHandle = nullptr;
    SetExportProgressBase(kChainPercent);
    ReleaseSaveState(true);
    save.pluginIndex = 0;
    save.workSelector = kTlNoWorkImage;
    return GoTo(kTlExportNextPlugin);
}
