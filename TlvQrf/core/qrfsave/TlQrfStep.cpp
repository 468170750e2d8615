// The settings save's state machine: dispatch, the end of every step, the
// finish and what the states share.
#include "qrfsave/TlQrfSave.h"
#include "qrfsave/TlQrfSaveRun.h"
#include "qrfsave/TlQrfSteps.h"

#include "filters/sigcore/TlSigProcImage.h"
#include "kelvra/KelvraImage.h"
#include "lib/TlLibraryState.h"
#include "params/TlvParamSet.h"
#include "save/TlSaveState.h"
#include "savetags/TlPrepareSaveTags.h"

#include <windows.h>

#include <string>

namespace {

// Bits 8 to 16 of the pixel format of raw mosaic data.
constexpr KelvraPixelFormat kMosaicLayoutBits = 0x1FF00;
constexpr KelvraPixelFormat kMosaicLayout = 0x400;

int RunState(CTlvParamSet& params, int step)
{
    switch (step) {
    case kTlQrfStepDemosaic:
        return QrfDemosaicStep(params);
    case kTlQrfStepDeBayer:
        return QrfDeBayerStep(params);
    case kTlQrfStepDecide:
        return QrfDecideStep(params);
    case kTlQrfStepPreviews:
        return QrfPreviewStep(params);
    case kTlQrfStepWrite:
        return QrfWriteStep(params);
    case kTlQrfStepFlush:
        return QrfFlushStep(params);
    default:
        return kTlSaveFailed;
    }
}

int Finish(CTlvParamSet* params, int code, bool* done)
{
    const std::string tempPath = SaveState().tempPath;
    ReleaseQrfSave(params);
    if (code != kTlSaveOk && !tempPath.empty())
        DeleteFileA(tempPath.c_str());
    *done = true;
    return code;
}

} // namespace

int QrfSaveStep(CTlvParamSet* params, bool* done)
{
    bool ignored = false;
    if (done == nullptr)
        done = &ignored;
    STlSaveState& save = SaveState();
    if (params == nullptr)
        return Finish(params, kTlSaveNoSource, done);
    int code = kTlSaveOk;
    if (save.step != kTlSaveStepFinished)
        code = RunState(*params, save.step);
    STlQrfSaveRun& run = QrfSaveRun();
    if (run.error != nullptr) {
        IKelvraError::Release(run.error);
        run.error = nullptr;
        if (code == kTlSaveOk)
            code = kTlSaveFailed;
    }
    if (code != kTlSaveOk || save.step == kTlSaveStepFinished)
        return Finish(params, code, done);
    *done = false;
    return kTlSaveOk;
}

IKelvraManager* QrfManager(const CTlvParamSet& params)
{
    IKelvraManager* manager = TlvQrfLib::GetGlobalManager();
    if (manager == nullptr && params.image != nullptr)
        manager = params.image->GetManager();
    return manager;
}

int QrfAborted(long line)
{
    STlQrfSaveRun& run = QrfSaveRun();
    run.error = IKelvraError::Add(run.error, 0, line, "Aborted");
    return kTlQrfAborted;
}

bool QrfCheck(IKelvraError* error)
{
    if (error == nullptr)
        return true;
    // The step needs to know only that it failed: the first error is kept.
    STlQrfSaveRun& run = QrfSaveRun();
    if (run.error == nullptr)
        run.error = error;
    else
        IKelvraError::Release(error);
    return false;
}

IKelvraImage* QrfRawImage(const CTlvParamSet& params)
{
    const STlQrfSaveRun& run = QrfSaveRun();
    if (run.demosaiced != nullptr)
        return run.rawSource;
    if (auto* image = dynamic_cast<CSigProcImage*>(params.image))
        return image->GetPrimarySource() != nullptr ? image->GetPrimarySource() : params.image;
    return params.image;
}

KelvraPixelFormat QrfRawFormat(const CTlvParamSet& params)
{
    KelvraPixelFormat format = 0;
    IKelvraImage* raw = QrfRawImage(params);
    if (raw == nullptr)
        return 0;
    if (IKelvraError* error = raw->GetColorSpace(&format)) {
        IKelvraError::Release(error);
        return 0;
    }
    return format;
}

bool QrfWantsScaledPreview(const CTlvParamSet& params)
{
    return (QrfRawFormat(params) & kMosaicLayoutBits) == kMosaicLayout || params.IsSignalProcessingModel();
}
