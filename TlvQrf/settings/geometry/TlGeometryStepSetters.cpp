// The base step's setters: each stores its value under the change protocol;
// keeping the other values consistent is left to the derived steps.
#include "settings/geometry/TlGeometryStep.h"

int CTlGeometryStep::SetCropRect(const CTlDblRect& rect, int)
{
    return Changing([&] {
        CropRect = rect;
        AspectRatio = CropRect.Width() / CropRect.Height();
    });
}

int CTlGeometryStep::SetCropRect(double left, double top, double right, double bottom, int flags)
{
    return SetCropRect(CTlDblRect(top, left, bottom, right), flags);
}

int CTlGeometryStep::SetCropSize(double width, double height, int)
{
    return Changing([&] {
        CropRect.SetWidth(width);
        CropRect.SetHeight(height);
        AspectRatio = CropRect.Width() / CropRect.Height();
    });
}

int CTlGeometryStep::MoveCropTo(double x, double y)
{
    return Changing([&] { CropRect.MoveTo(x, y); });
}

int CTlGeometryStep::SetPrintWidth(const CTlMeasure& width)
{
    return Changing([&] {
        PrintWidth = width;
        ChangeFlags &= ~kTlGeomPixelSizeMode;
    });
}

int CTlGeometryStep::SetPrintHeight(const CTlMeasure& height)
{
    return Changing([&] {
        PrintHeight = height;
        ChangeFlags &= ~kTlGeomPixelSizeMode;
    });
}

int CTlGeometryStep::SetResolution(const CTlMeasure& resolution)
{
    return Changing([&] { Resolution = resolution; });
}

int CTlGeometryStep::SetMinResolution(const CTlMeasure& resolution)
{
    // Flags are raised only by the resolution change this may cause.
    TakeSnapshot();
    MinResolution = resolution;
    if (resolution.value > Resolution.value)
        SetResolution(resolution);
    return 0;
}

int CTlGeometryStep::SetSourceResolution(const CTlMeasure& resolution)
{
    TakeSnapshot();
    SourceResolution = resolution;
    if (resolution.value < Resolution.value)
        SetResolution(resolution);
    return 0;
}

int CTlGeometryStep::SetPrintResolution(const CTlMeasure& resolution)
{
    return Changing([&] { PrintResolution = resolution; });
}

int CTlGeometryStep::SetScale(double scale)
{
    return Changing([&] { Scale = scale; });
}

int CTlGeometryStep::SetOutputWidth(double width)
{
    return Changing([&] {
        OutputWidth = width;
        ChangeFlags |= kTlGeomPixelSizeMode;
    });
}

int CTlGeometryStep::SetOutputHeight(double height)
{
    return Changing([&] {
        OutputHeight = height;
        ChangeFlags |= kTlGeomPixelSizeMode;
    });
}

int CTlGeometryStep::SetOutputArea(double area)
{
    return Changing([&] { OutputArea = area; });
}
