#include "export/TlExportSupport.h"

#include "filtrix/KelvraFilterScale.h"
#include "frame/TlSaveProgress.h"
#include "fullres/TlFullResState.h"
#include "lib/TlLibraryState.h"
#include "params/TlvParamSet.h"
#include "save/TlSaveState.h"
#include "settings/geometry/TlGeometryState.h"

namespace {

constexpr long kPercent = 100;

// A very thin image keeps one pixel of its shorter side.
long Proportional(long other, long side, long longer)
{
    const long value = long(double(other) * side / longer);
    return value > 0 ? value : 1;
}

} // namespace

int ExportProgressBase()
{
    return GetSaveProgressState().base;
}

void SetExportProgressBase(int base)
{
    SetSaveProgressBase(base);
}

bool ReportExportProgress(long percent)
{
    ITlSaveProgressSink* sink = GetSaveProgressState().sink;
    return sink != nullptr && sink->Progress(percent, kPercent);
}

void BeginExportProgress()
{
    if (ITlSaveProgressSink* sink = GetSaveProgressState().sink)
        sink->Reset(0, kPercent);
}

void HintFilterPhase(bool ended)
{
    if (ITlSaveProgressSink* sink = GetSaveProgressState().sink)
        sink->SetEnabled(ended);
}

IKelvraManager* ExportManager()
{
    return TlvQrfLib::GetGlobalManager();
}

double GeometryResolution(const CTlvParamSet& params)
{
    const CTlMeasure* resolution = params.geometry != nullptr ? params.geometry->GetResolution() : nullptr;
    return resolution != nullptr ? resolution->value : 0.0;
}

IKelvraImage* CurrentExportImage(const CTlvParamSet& params)
{
    const STlSaveState& save = SaveState();
    if (save.workSelector == kTlFirstWorkImage)
        return save.workImages[0];
    if (save.workSelector == kTlSecondWorkImage)
        return save.workImages[1];
    IKelvraImage* developed = FullResState().destination;
    return developed != nullptr ? developed : params.image;
}

IKelvraError* SizeRendition(CKelvraFilterScale& scale, long width, long height, long side)
{
    const long longer = width > height ? width : height;
    if (longer <= side)
        return scale.SetScale(1.0, 1.0, false);
    if (width > height)
        return scale.SetSize(side, Proportional(height, side, width), false);
    return scale.SetSize(Proportional(width, side, height), side, false);
}
