#include "settings/geometry/TlCropStep.h"

#include "settings/geometry/TlGeometryClamp.h"

#include <algorithm>
#include <cmath>

std::uint32_t CTlCropStep::GetType() const
{
    return kTlStepTypeCrop;
}

int CTlCropStep::SetCropSize(double width, double height, int flags)
{
    return ChangingClamped([&] {
        const bool clamped = ClampCropSize(width, height, flags);
        SetCropWidthInside(width);
        SetCropHeightInside(height);
        const double perSource = Resolution.value / SourceResolution.value;
        OutputWidth = perSource * CropRect.Width();
        OutputHeight = perSource * CropRect.Height();
        SetPrintSize(OutputWidth / PrintResolution.value, OutputHeight / PrintResolution.value);
        UpdateOutputArea();
        AspectRatio = CropRect.Width() / CropRect.Height();
        return clamped;
    });
}

void CTlCropStep::FollowPrintWidth()
{
    const double s = SourceResolution.value;
    double r = PrintWidth.value * RequestedResolution.value * s / CropRect.Width();
    r = std::max(std::min(r, s), MinResolution.value);
    SetResolutionValue(r);
    OutputWidth = CropRect.Width() * r / s;
    OutputHeight = r * CropRect.Height() / s;
    SetPrintResolutionValue(OutputWidth / PrintWidth.value);
    Scale = r / PrintResolution.value;
    UpdateOutputArea();
    ChangeFlags &= ~kTlGeomPixelSizeMode;
}

int CTlCropStep::SetPrintWidth(const CTlMeasure& width)
{
    return ChangingClamped([&] {
        CTlMeasure m = width;
        const bool clamped = ClampLength(m);
        SetPrintSize(m.value, m.value / AspectRatio);
        FollowPrintWidth();
        return clamped;
    });
}

int CTlCropStep::SetPrintHeight(const CTlMeasure& height)
{
    return ChangingClamped([&] {
        CTlMeasure m = height;
        const bool clamped = ClampLength(m);
        SetPrintSize(m.value * AspectRatio, m.value);
        FollowPrintWidth();
        return clamped;
    });
}

int CTlCropStep::SetResolution(const CTlMeasure& resolution)
{
    return ChangingClamped([&] {
        CTlMeasure m = resolution;
        const bool clamped = ClampResolution(m);
        SetResolutionValue(m.value);
        SetPrintResolutionValue(m.value / Scale);
        OutputFromPrint();
        return clamped;
    });
}

int CTlCropStep::SetPrintResolution(const CTlMeasure& resolution)
{
    return ChangingClamped([&] {
        CTlMeasure m = resolution;
        bool clamped = ClampResolutionValue(m);
        if (!IsPixelSizeMode())
            clamped |= TlClampInto(m.value, MinResolution.value / Scale, SourceResolution.value / Scale);
        SetPrintResolutionValue(m.value);
        RequestedResolution = PrintResolution;
        if (IsPixelSizeMode()) {
            PrintFromOutput();
        } else {
            SetResolutionValue(PrintResolution.value * Scale);
            OutputFromPrint();
        }
        return clamped;
    });
}

int CTlCropStep::SetScale(double scale)
{
    return ChangingClamped([&] {
        const bool clamped = ClampScale(scale);
        Scale = scale;
        const double s = SourceResolution.value;
        SetResolutionValue(scale * PrintResolution.value);
        SetPrintSize(scale * CropRect.Width() / s, scale * CropRect.Height() / s);
        OutputFromPrint();
        return clamped;
    });
}

int CTlCropStep::SetOutputWidth(double width)
{
    return ChangingClamped([&] {
        const bool clamped = ClampOutputWidth(width);
        OutputWidth = width;
        SetResolutionValue(width * SourceResolution.value / CropRect.Width());
        OutputHeight = width / AspectRatio;
        SetPrintSize(width / PrintResolution.value, OutputHeight / PrintResolution.value);
        EndPixelSizeChange();
        return clamped;
    });
}

int CTlCropStep::SetOutputHeight(double height)
{
    return ChangingClamped([&] {
        const bool clamped = ClampOutputHeight(height);
        OutputHeight = height;
        SetResolutionValue(height * SourceResolution.value / CropRect.Height());
        OutputWidth = height * AspectRatio;
        SetPrintSize(OutputWidth / PrintResolution.value, height / PrintResolution.value);
        EndPixelSizeChange();
        return clamped;
    });
}

int CTlCropStep::SetOutputArea(double area)
{
    return ChangingClamped([&] {
        const bool clamped = ClampOutputArea(area);
        AspectRatio = CropRect.Width() / CropRect.Height();
        OutputArea = area;
        OutputWidth = std::sqrt(area * AspectRatio);
        OutputHeight = std::sqrt(area / AspectRatio);
        SetResolutionValue(OutputWidth * SourceResolution.value / CropRect.Width());
        SetPrintResolutionValue(Resolution.value / Scale);
        return clamped;
    });
}

bool CTlCropStep::ClampOutputWidth(double& width)
{
    const double cw = CropRect.Width();
    return TlClampInto(width, cw * MinResolution.value / SourceResolution.value, cw);
}

bool CTlCropStep::ClampOutputHeight(double& height)
{
    const double ch = CropRect.Height();
    return TlClampInto(height, ch * MinResolution.value / SourceResolution.value, ch);
}

double CTlCropStep::GetMinScale() const
{
    return MinResolution.value / PrintResolution.value;
}
