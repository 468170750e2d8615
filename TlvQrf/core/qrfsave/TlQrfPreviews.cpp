// States 2 and 3: whether the settings changed the picture (then the
// previews are rendered anew through the reduced full-resolution chain),
// and the run of that chain.
#include "qrfsave/TlQrfSave.h"
#include "qrfsave/TlQrfSaveRun.h"
#include "qrfsave/TlQrfSettingsRecord.h"
#include "qrfsave/TlQrfSteps.h"

#include "export/TlExportSupport.h"
#include "filters/sigcore/TlSigProcImage.h"
#include "fullres/TlFullResState.h"
#include "fullres/TlProcessingChain.h"
#include "kelvra/KelvraFilterChain.h"
#include "kelvra/KelvraImage.h"
#include "params/TlDevelopParams.h"
#include "params/TlProgressRelay.h"
#include "params/TlvParamSet.h"
#include "pellio/PellioFormats.h"
#include "save/TlSaveState.h"
#include "savetags/TlPrepareSaveTags.h"

namespace {

constexpr long kAtChainError = 2819;
constexpr long kAtPreviewAborted = 2872;
// The framework's code for a development the user stopped.
constexpr long kDevelopCancelled = 2001;
// The preview run ends at this percentage of the save.
constexpr int kPreviewsEnd = 70;

// Brings a signal-processing image up to date from its first source.
int DevelopSigProc(CTlvParamSet& params)
{
    auto* image = dynamic_cast<CSigProcImage*>(params.image);
    if (params.rawFlag == 0 || !params.IsSignalProcessingModel() || image == nullptr)
        return kTlSaveOk;
    if (image->IsSecondSourceSelected()) {
        if (!QrfCheck(image->SelectSource(false, false)))
            return kTlQrfSourceNotSelected;
        SaveState().sourceSwitched = true;
    }
    IKelvraError* error = nullptr;
    {
        const CScopedProgressRelay relay(image);
        UpdateDevelopParams(params, true, false);
        error = image->Update();
    }
    if (error == nullptr)
        return kTlSaveOk;
    const bool cancelled = error->HasCode(kDevelopCancelled);
    QrfCheck(error);
    return cancelled ? kTlQrfAborted : kTlQrfDevelopFailed;
}

// Renditions a raw file should carry: two, or one for sources that are
// neither mosaics nor signal-processing images.
bool HasEnoughPreviews(const CTlvParamSet& params)
{
    std::uint32_t previews = 0;
    for (std::uint32_t i = 0; params.subImages != nullptr && i < params.subImageCount; ++i) {
        if (params.subImages[i].flags == kPellioEntryRendition && params.subImages[i].image != nullptr)
            ++previews;
    }
    return previews >= (QrfWantsScaledPreview(params) ? 2u : 1u);
}

int StartPreviewChain(CTlvParamSet& params)
{
    ReleaseFullResState();
    IKelvraError* failure = nullptr;
    const int built = BuildProcessingChain(QrfManager(params), params, true, 1.0, kTlQrfPreviewSide, &failure);
    if (built != kTlChainComplete) {
        IKelvraError*& error = QrfSaveRun().error;
        error = IKelvraError::AddWorker(IKelvraError::Add(error, 0, kAtChainError, "Filter chain error"), 0,
                                        kAtChainError, failure);
        return built;
    }
    IKelvraError::Release(failure);
    STlFullResState& chain = FullResState();
    if (chain.chain == nullptr || chain.chain->GetFilterCount() == 0 || chain.destination == nullptr) {
        if (chain.destination != nullptr)
            chain.destination->Release();
        chain.destination = nullptr;
        return kTlSaveOk;
    }
    STlQrfSaveRun& run = QrfSaveRun();
    IKelvraDataSource* sources[1] = {params.image};
    if (!QrfCheck(chain.chain->BeginProcess(&run.chainRun, sources, 1, chain.destination)))
        return kTlQrfRunFailed;
    run.developed = chain.destination;
    return kTlSaveOk;
}

} // namespace

int QrfDecideStep(CTlvParamSet& params)
{
    const int developed = DevelopSigProc(params);
    if (developed != kTlSaveOk)
        return developed;
    if (!(StoredSettingsMatch(params) && HasEnoughPreviews(params))) {
        const int started = StartPreviewChain(params);
        if (started != kTlSaveOk)
            return started;
    }
    SaveState().step = kTlQrfStepPreviews;
    return kTlSaveOk;
}

int QrfPreviewStep(CTlvParamSet& /*params*/)
{
    STlQrfSaveRun& run = QrfSaveRun();
    IKelvraFilterChain* chain = FullResState().chain;
    const int base = ExportProgressBase();
    if (chain != nullptr && run.chainRun != nullptr) {
        long done = 0;
        long total = 0;
        if (!QrfCheck(chain->ExecuteProcess(run.chainRun, &done, &total)))
            return kTlQrfRunFailed;
        if (total != 0) {
            if (ReportExportProgress(base + done * (kPreviewsEnd - base) / total))
                return QrfAborted(kAtPreviewAborted);
            return kTlSaveOk;
        }
        void* handle = run.chainRun;
        run.chainRun = nullptr;
        if (!QrfCheck(chain->EndProcess(handle)))
            return kTlQrfRunFailed;
    }
    // The rendered image stays until the save ends; the chain goes.
    ReleaseFullResChain();
    SetExportProgressBase(base + (7000 - 70 * base) / 100);
    SaveState().step = kTlQrfStepWrite;
    return kTlSaveOk;
}
