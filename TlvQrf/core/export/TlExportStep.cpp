// One step of the export, chosen by the step state, and the finish that
// every ending goes through.
#include "export/TlExport.h"
#include "export/TlExportSteps.h"
#include "export/TlReleaseSaveState.h"

#include "filters/sigcore/TlSigProcImage.h"
#include "load/TlFailureChain.h"
#include "load/TlImageSaveHook.h"
#include "params/TlvParamSet.h"
#include "save/TlSaveState.h"

#include <windows.h>

#include <string>

namespace {

int RunStep(STlExportStep& step, int state)
{
    switch (state) {
    case kTlExportDevelop: return StepDevelop(step);
    case kTlExportRunChain: return StepRunChain(step);
    case kTlExportNextPlugin: return StepNextPlugin(step);
    case kTlExportRunPlugin: return StepRunPlugin(step);
    case kTlExportBeginRendition: return StepBeginRendition(step);
    case kTlExportRunRendition: return StepRunRendition(step);
    case kTlExportSetupWrite: return StepSetupWrite(step);
    case kTlExportWrite: return StepWrite(step);
    default: return EndExport(step, 0);
    }
}

// The written file is complete only once its stream closed and kept it.
// A failure's chain goes to `errors`.
int CloseOutput(IKelvraError*& errors)
{
    IKelvraFileStream* stream = SaveState().stream;
    if (stream == nullptr || stream->GetMode() == 0)
        return 0;
    IKelvraError* error = stream->Close();
    if (error == nullptr)
        return 0;
    const int result = error->HasCode(kKelvraWriteError) ? kTlExportWriteFailed : kTlExportRunFailed;
    errors = error;
    return result;
}

// What the export was doing in each step, for the chain a failure leaves.
const char* StepText(int state)
{
    switch (state) {
    case kTlExportDevelop: return "the export failed while developing the raw image";
    case kTlExportRunChain: return "the export failed while running the development chain";
    case kTlExportNextPlugin:
    case kTlExportRunPlugin: return "the export failed while running a plug-in filter";
    case kTlExportBeginRendition:
    case kTlExportRunRendition: return "the export failed while making the renditions";
    case kTlExportSetupWrite: return "the export failed while setting up the writer";
    case kTlExportWrite: return "the export failed while writing the file";
    default: return "the export failed";
    }
}

// A failed export leaves its chain for the job that ran the save.
void HandOnErrors(int result, IKelvraError* errors)
{
    if (result == 0)
        IKelvraError::Release(errors);
    else
        KeepImageSaveError(MakeFailure(__LINE__, StepText(SaveState().step), errors));
}

void RestoreSecondSource(const CTlvParamSet& params)
{
    STlSaveState& save = SaveState();
    if (!save.sourceSwitched)
        return;
    save.sourceSwitched = false;
    if (auto* image = dynamic_cast<CSigProcImage*>(params.image))
        IKelvraError::Release(image->SelectSource(true, false));
}

int Finish(STlExportStep& step, int result)
{
    if (step.errors != nullptr && result == 0)
        result = kTlExportError;
    IKelvraError* errors = step.errors;
    step.errors = nullptr;
    RestoreSecondSource(step.params);
    if (result == 0 && !step.directImage)
        result = CloseOutput(errors);
    HandOnErrors(result, errors);
    SaveState().step = kTlExportEnded;
    const std::string tempPath = SaveState().tempPath;
    ReleaseSaveState(false);
    if (result != 0 && !tempPath.empty())
        DeleteFileA(tempPath.c_str());
    return result;
}

} // namespace

int ExportStep(CTlvParamSet& params, int* done, bool directImage)
{
    STlExportStep step{params, directImage};
    const int result = RunStep(step, SaveState().step);
    *done = step.ended ? 1 : 0;
    if (!step.ended)
        return result;
    return Finish(step, result);
}

int EndExport(STlExportStep& step, int result)
{
    step.ended = true;
    return result;
}

int EndExport(STlExportStep& step, int result, long line, const char* text)
{
    step.errors = IKelvraError::Add(step.errors, 0, line, text);
    return EndExport(step, result);
}

int EndExport(STlExportStep& step, int result, IKelvraError* error)
{
    if (step.errors == nullptr)
        step.errors = error;
    else
        IKelvraError::Release(error);
    return EndExport(step, result);
}

int EndExportNoMemory(STlExportStep& step, long line)
{
    // Category 2: the framework's own errors.
    step.errors = IKelvraError::Add(step.errors, 0, line, 2, kKelvraOutOfMemory);
    return EndExport(step, kTlExportNoObject);
}

int GoTo(TlExportStepState next)
{
    SaveState().step = next;
    return 0;
}
