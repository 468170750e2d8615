// States 0 and 1: a raw mosaic is demosaiced into a new image that stands in
// as the source while the save renders its previews; the raw image stays
// the one that is written.
#include "qrfsave/TlQrfSave.h"
#include "qrfsave/TlQrfSaveRun.h"
#include "qrfsave/TlQrfSteps.h"

#include "export/TlExportSupport.h"
#include "filters/debayer/TlDeBayerFilterBase.h"
#include "frame/TlSaveProgress.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"
#include "params/TlDeBayerSetup.h"
#include "params/TlvParamSet.h"
#include "raw/TlRawFormat.h"
#include "save/TlSaveState.h"
#include "savetags/TlPrepareSaveTags.h"

namespace {

// Where the error chain says the De-Bayer run was stopped.
constexpr long kAtDeBayerAborted = 2419;
// The De-Bayer run's share of the save, in percent.
constexpr long kDeBayerShare = 30;

// Starts the De-Bayer run into a new image that becomes the source.
int StartDemosaic(CTlvParamSet& params)
{
    STlQrfSaveRun& run = QrfSaveRun();
    IKelvraManager* manager = QrfManager(params);
    IKelvraImage* made = nullptr;
    if (manager == nullptr || !QrfCheck(manager->CreateImage(&made)) || made == nullptr)
        return kTlSaveNoObject;
    if (!MakeDeBayer(manager, params, true, run.deBayer) || !run.deBayer) {
        made->Release();
        return kTlSaveNoObject;
    }
    run.demosaiced = made;
    run.rawSource = params.image;
    run.rawSecond = params.secondImage;
    params.secondImage = params.image;
    params.image = made;
    IKelvraDataSource* sources[1] = {run.rawSource};
    if (!QrfCheck(run.deBayer->BeginProcess(&run.deBayerRun, sources, 1, made)))
        return kTlQrfRunFailed;
    return kTlSaveOk;
}

} // namespace

int QrfDemosaicStep(CTlvParamSet& params)
{
    KelvraPixelFormat format = 0;
    if (!QrfCheck(params.image->GetColorSpace(&format)))
        return kTlQrfNoSourceSize;
    if (format == kTlRawMosaic && params.secondImage == nullptr) {
        const int code = StartDemosaic(params);
        if (code != kTlSaveOk)
            return code;
    }
    if (ITlSaveProgressSink* sink = GetSaveProgressState().sink)
        sink->Reset(100, 4);
    SaveState().step = kTlQrfStepDeBayer;
    return kTlSaveOk;
}

int QrfDeBayerStep(CTlvParamSet& /*params*/)
{
    STlQrfSaveRun& run = QrfSaveRun();
    if (run.deBayer && run.deBayerRun != nullptr) {
        long done = 0;
        long total = 0;
        if (!QrfCheck(run.deBayer->ExecuteProcess(run.deBayerRun, &done, &total)))
            return kTlQrfRunFailed;
        if (total != 0) {
            if (ReportExportProgress(done * kDeBayerShare / total + ExportProgressBase()))
                return QrfAborted(kAtDeBayerAborted);
            return kTlSaveOk;
        }
        void* handle = run.deBayerRun;
        run.deBayerRun = nullptr;
        if (!QrfCheck(run.deBayer->EndProcess(handle)))
            return kTlQrfRunFailed;
    }
    run.deBayer.reset();
    SetExportProgressBase(kDeBayerShare);
    SaveState().step = kTlQrfStepDecide;
    return kTlSaveOk;
}
