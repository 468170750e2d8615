// Mirrors, quarter turns and rescaling to a new image size. The reference
// rectangle belongs to an interactive change and is not turned.
#include "settings/geometry/TlGeometryStep.h"

#include <utility>

namespace {

// The rectangle scaled by (fx, fy) and fitted into width x height.
void RescaleRect(CTlDblRect& rect, double fx, double fy, double width, double height)
{
    rect.left *= fx;
    rect.right *= fx;
    rect.top *= fy;
    rect.bottom *= fy;
    rect.FitInto(width, height);
}

} // namespace

int CTlGeometryStep::FlipHorizontal()
{
    return Changing([&] {
        CropRect.MirrorX(ImageWidth / 2);
        LimitRect.MirrorX(ImageWidth / 2);
    });
}

int CTlGeometryStep::FlipVertical()
{
    return Changing([&] {
        CropRect.MirrorY(ImageHeight / 2);
        LimitRect.MirrorY(ImageHeight / 2);
    });
}

int CTlGeometryStep::RotateClockwise()
{
    return Changing([&] {
        const double c = ImageHeight / 2;
        CropRect.TurnClockwise(c, c);
        LimitRect.TurnClockwise(c, c);
        SwapAxes();
    });
}

int CTlGeometryStep::RotateCounterClockwise()
{
    return Changing([&] {
        const double c = ImageWidth / 2;
        CropRect.TurnCounterClockwise(c, c);
        LimitRect.TurnCounterClockwise(c, c);
        SwapAxes();
    });
}

void CTlGeometryStep::SwapAxes()
{
    std::swap(ImageWidth, ImageHeight);
    std::swap(PrintWidth, PrintHeight);
    std::swap(OutputWidth, OutputHeight);
    AspectRatio = CropRect.Width() / CropRect.Height();
}

int CTlGeometryStep::Rescale(double width, double height, const CTlMeasure& minResolution,
                             const CTlMeasure& sourceResolution)
{
    return Changing([&] {
        const double fx = width / ImageWidth;
        const double fy = height / ImageHeight;
        RescaleRect(CropRect, fx, fy, width, height);
        RescaleRect(ReferenceRect, fx, fy, width, height);
        RescaleRect(LimitRect, fx, fy, width, height);
        AspectRatio = CropRect.Width() / CropRect.Height();

        if (Resolution.value < minResolution.value)
            Resolution = minResolution;
        else if (Resolution.value > sourceResolution.value)
            Resolution = sourceResolution;

        const double p = PrintResolution.value;
        Scale = Resolution.value / p;
        OutputWidth = Resolution.value * CropRect.Width() / sourceResolution.value;
        OutputHeight = Resolution.value * CropRect.Height() / sourceResolution.value;
        OutputArea = OutputWidth * OutputHeight;
        PrintWidth = CTlMeasure::Length(OutputWidth / p);
        PrintHeight = CTlMeasure::Length(OutputHeight / p);

        ImageWidth = width;
        ImageHeight = height;
        MinResolution = minResolution;
        SourceResolution = sourceResolution;
    });
}
