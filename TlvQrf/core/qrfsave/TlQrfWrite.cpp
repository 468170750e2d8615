// States 4 and 5: the writer gets the raw mosaic with the image table and
// writes the new file step by step; the stream keeps it only once the last
// step has succeeded.
#include "qrfsave/TlQrfSave.h"
#include "qrfsave/TlQrfSaveRun.h"
#include "qrfsave/TlQrfSteps.h"

#include "export/TlExportSupport.h"
#include "kelvra/KelvraImage.h"
#include "params/TlvParamSet.h"
#include "save/TlSaveState.h"
#include "savetags/TlPrepareSaveTags.h"

namespace {

constexpr long kAtWriteAborted = 3195;
// The framework's code for a failed write.
constexpr long kWriteError = 1006;
constexpr int kAllDone = 100;

// 17, or 18 for a failed write anywhere in the chain, the errors the writer
// wraps included; the error goes with the step.
int WriteFailure(IKelvraError* error)
{
    const int code = error->HasCode(kWriteError) ? kTlQrfWriteFailed1006 : kTlQrfWriteFailed;
    QrfCheck(error);
    return code;
}

IKelvraError* SetUpWriter(const CTlvParamSet& params)
{
    STlSaveState& save = SaveState();
    STlQrfSaveRun& run = QrfSaveRun();
    IKelvraDataSource* raw = QrfRawImage(params);
    const long count = static_cast<long>(run.table.size());
    const KelvraSaveEntry* list = run.table.empty() ? nullptr : run.table.data();
    if (save.rawSaveOption == 0)
        return save.saver->SetupWrite(raw, list, count);
    const KelvraSaveHeader header = {sizeof(KelvraSaveHeader), params.profileBufferSize, save.rawSaveOption,
                                     params.profileBuffer, 0, 0};
    return save.saver->SetupWrite(&header, raw, list, count);
}

} // namespace

int QrfWriteStep(CTlvParamSet& params)
{
    const int built = BuildQrfImageTable(params);
    if (built != kTlSaveOk)
        return built;
    if (SaveState().saver == nullptr)
        return kTlSaveNoObject;
    if (IKelvraError* error = SetUpWriter(params))
        return WriteFailure(error);
    SaveState().step = kTlQrfStepFlush;
    return kTlSaveOk;
}

int QrfFlushStep(CTlvParamSet& /*params*/)
{
    STlSaveState& save = SaveState();
    if (save.saver == nullptr || save.stream == nullptr)
        return kTlSaveNoObject;
    if (!save.saver->IsFinished()) {
        if (IKelvraError* error = save.saver->WriteStep())
            return WriteFailure(error);
        long done = 0;
        long total = 0;
        save.saver->GetProgress(&done, &total);
        const int base = ExportProgressBase();
        const long percent = total > 0 ? base + (kAllDone - base) * done / total : base;
        if (ReportExportProgress(percent))
            return QrfAborted(kAtWriteAborted);
        if (!save.saver->IsFinished())
            return kTlSaveOk;
    }
    // The stream puts the new file in place only when it is closed.
    if (IKelvraError* error = save.stream->Close())
        return WriteFailure(error);
    save.step = kTlSaveStepFinished;
    return kTlSaveOk;
}
