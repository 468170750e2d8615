#include "qrfsave/TlQrfSaveRun.h"

#include "filters/debayer/TlDeBayerFilterBase.h"
#include "filters/sigcore/TlSigProcImage.h"
#include "filtrix/KelvraFilterScale.h"
#include "fullres/TlFullResState.h"
#include "kelvra/KelvraFilterChain.h"
#include "kelvra/KelvraImage.h"
#include "params/TlvParamSet.h"
#include "save/TlSaveState.h"

namespace {

void EndDeBayer(STlQrfSaveRun& run)
{
    if (run.deBayer && run.deBayerRun != nullptr)
        IKelvraError::Release(run.deBayer->EndProcess(run.deBayerRun));
    run.deBayerRun = nullptr;
    run.deBayer.reset();
}

void EndChain(STlQrfSaveRun& run)
{
    IKelvraFilterChain* chain = FullResState().chain;
    if (chain != nullptr && run.chainRun != nullptr)
        IKelvraError::Release(chain->EndProcess(run.chainRun));
    run.chainRun = nullptr;
}

// The raw image is the source again; the demosaiced one goes.
void PutRawBack(STlQrfSaveRun& run, CTlvParamSet* params)
{
    if (run.demosaiced == nullptr)
        return;
    if (params != nullptr) {
        params->image = run.rawSource;
        params->secondImage = run.rawSecond;
    }
    run.demosaiced->Release();
    run.demosaiced = nullptr;
    run.rawSource = nullptr;
    run.rawSecond = nullptr;
}

void UndoSourceSwitch(STlQrfSaveRun& run, CTlvParamSet* params)
{
    if (!run.sourceSwitched)
        return;
    run.sourceSwitched = false;
    if (auto* image = params != nullptr ? dynamic_cast<CSigProcImage*>(params->image) : nullptr)
        IKelvraError::Release(image->SelectSource(true, false));
}

void ReleaseWriter(STlSaveState& save)
{
    // The writer goes before the stream it writes to; a stream released
    // without Close keeps nothing.
    if (save.saver != nullptr)
        save.saver->Release();
    save.saver = nullptr;
    if (save.stream != nullptr)
        save.stream->Release();
    save.stream = nullptr;
    if (save.tags != nullptr)
        save.tags->Destroy();
    save.tags = nullptr;
}

} // namespace

STlQrfSaveRun& QrfSaveRun()
{
    static STlQrfSaveRun run;
    return run;
}

void ReleaseQrfSaveRun(CTlvParamSet* params)
{
    STlQrfSaveRun& run = QrfSaveRun();
    EndDeBayer(run);
    EndChain(run);
    run.table.clear();
    run.scale.reset();
    if (run.converted != nullptr)
        run.converted->Release();
    run.converted = nullptr;
    run.developed = nullptr;
    run.previewsRendered = false;
    UndoSourceSwitch(run, params);
    PutRawBack(run, params);
    IKelvraError::Release(run.error);
    run.error = nullptr;
}

void ReleaseQrfSave(CTlvParamSet* params)
{
    // The writer may still pull from the renditions: it goes first.
    STlSaveState& save = SaveState();
    ReleaseWriter(save);
    ReleaseQrfSaveRun(params);
    ReleaseFullResState();
    save.rawSaveOption = 0;
    save.step = kTlSaveStepFinished;
    save.prepared = false;
}
