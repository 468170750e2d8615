#include "qrfsave/TlQrfSaveRun.h"

#include "filters/debayer/TlDeBayerFilterBase.h"
#include "filters/sigcore/TlSigProcImage.h"
#include "export/TlReleaseSaveState.h"
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

void UndoSourceSwitch(CTlvParamSet* params)
{
    STlSaveState& save = SaveState();
    if (!save.sourceSwitched)
        return;
    save.sourceSwitched = false;
    if (auto* image = params != nullptr ? dynamic_cast<CSigProcImage*>(params->image) : nullptr)
        IKelvraError::Release(image->SelectSource(true, false));
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
    run.developed = nullptr;
    UndoSourceSwitch(params);
    PutRawBack(run, params);
    IKelvraError::Release(run.error);
    run.error = nullptr;
}

void ReleaseQrfSave(CTlvParamSet* params)
{
    // The runs end before their chain and filters go; the writer, which may
    // still pull from the renditions, goes before them.
    STlQrfSaveRun& run = QrfSaveRun();
    EndDeBayer(run);
    EndChain(run);
    ReleaseSaveState(false);
    ReleaseQrfSaveRun(params);
    SaveState().rawSaveOption = 0;
}
