#include "settings/geometry/TlAdjustingStep.h"

#include "settings/geometry/TlGeometryClamp.h"

CTlAdjustingStep::CTlAdjustingStep() : RequestedResolution(CTlMeasure::PixelsPerInch(1)) {}

CTlAdjustingStep::CTlAdjustingStep(const CTlGeometryStep& step)
{
    Assign(step);
    RequestedResolution = PrintResolution;
}

int CTlAdjustingStep::SetCropRect(const CTlDblRect& rect, int flags)
{
    TakeSnapshot();
    CTlDblRect kept = rect;
    const int k = KeepCropInsideLimit(kept, flags);
    CropRect.MoveTo(kept.left, kept.top);
    RaiseChangeFlags();
    const int s = SetCropSize(kept.Width(), kept.Height(), flags);
    return k != 0 ? k : s;
}

int CTlAdjustingStep::MoveCropTo(double x, double y)
{
    return ChangingClamped([&] {
        const bool clamped = ClampCropOrigin(x, y);
        CropRect.MoveTo(x, y);
        return clamped;
    });
}

double CTlAdjustingStep::GetMaxScale() const
{
    return SourceResolution.value / PrintResolution.value;
}

void CTlAdjustingStep::SetPrintSize(double width, double height)
{
    PrintWidth = CTlMeasure::Length(width);
    PrintHeight = CTlMeasure::Length(height);
}

void CTlAdjustingStep::SetCropWidthInside(double width)
{
    CropRect.SetWidth(width);
    if (CropRect.left > LimitRect.right - width)
        CropRect.MoveTo(LimitRect.right - width, CropRect.top);
}

void CTlAdjustingStep::SetCropHeightInside(double height)
{
    CropRect.SetHeight(height);
    if (CropRect.top > LimitRect.bottom - height)
        CropRect.MoveTo(CropRect.left, LimitRect.bottom - height);
}

bool CTlAdjustingStep::ClampOutputArea(double& area) const
{
    const double full = CropRect.Width() * CropRect.Height();
    const double least = MinResolution.value / SourceResolution.value;
    return TlClampInto(area, full * least * least, full);
}

void CTlAdjustingStep::OutputFromPrint()
{
    OutputWidth = PrintResolution.value * PrintWidth.value;
    OutputHeight = PrintResolution.value * PrintHeight.value;
    UpdateOutputArea();
}

void CTlAdjustingStep::PrintFromOutput()
{
    SetPrintSize(OutputWidth / PrintResolution.value, OutputHeight / PrintResolution.value);
    ScaleFromResolution();
}

void CTlAdjustingStep::EndPixelSizeChange()
{
    ScaleFromResolution();
    UpdateOutputArea();
    ChangeFlags |= kTlGeomPixelSizeMode;
}
