#include "settings/geometry/TlGeometryStep.h"

namespace {

// Exact comparison in which a NaN always counts as a change.
bool Differs(double a, double b)
{
    return !(a == b);
}

// Change bits that Assign copies: every change bit but the scale-range one,
// and the pixel-size mode.
constexpr std::uint32_t kAssignedFlags = (kTlGeomAllChanges & ~kTlGeomScaleRange) | kTlGeomPixelSizeMode;

} // namespace

CTlGeometryStep::CTlGeometryStep()
    : CropRect(0, 0, 1, 1),
      LimitRect(0, 0, 1, 1),
      ImageWidth(1),
      ImageHeight(1),
      PrintWidth(CTlMeasure::Length(1)),
      PrintHeight(CTlMeasure::Length(1)),
      Resolution(CTlMeasure::PixelsPerInch(1)),
      MinResolution(CTlMeasure::PixelsPerInch(1)),
      SourceResolution(CTlMeasure::PixelsPerInch(1)),
      PrintResolution(CTlMeasure::PixelsPerInch(1)),
      Scale(1),
      OutputWidth(1),
      OutputHeight(1),
      OutputArea(1),
      AspectRatio(1),
      ChangeFlags(0)
{
}

CTlGeometryStep::~CTlGeometryStep() = default;

void CTlGeometryStep::Assign(const CTlGeometryStep& other)
{
    CropRect = other.CropRect;
    LimitRect = other.LimitRect;
    ImageWidth = other.ImageWidth;
    ImageHeight = other.ImageHeight;
    PrintWidth = other.PrintWidth;
    PrintHeight = other.PrintHeight;
    Resolution = other.Resolution;
    MinResolution = other.MinResolution;
    SourceResolution = other.SourceResolution;
    PrintResolution = other.PrintResolution;
    Scale = other.Scale;
    OutputWidth = other.OutputWidth;
    OutputHeight = other.OutputHeight;
    OutputArea = other.OutputArea;
    AspectRatio = other.AspectRatio;
    ChangeFlags = (ChangeFlags & ~kAssignedFlags) | (other.ChangeFlags & kAssignedFlags);
}

std::uint32_t CTlGeometryStep::GetType() const
{
    return kTlStepTypeNone;
}

double CTlGeometryStep::GetAspectRatio() const
{
    return AspectRatio;
}

void CTlGeometryStep::SetAspectRatio(double ratio)
{
    AspectRatio = ratio;
}

int CTlGeometryStep::SaveReference()
{
    ReferenceRect = CropRect;
    return 0;
}

int CTlGeometryStep::SetPixelSizeMode(bool on)
{
    if (on)
        ChangeFlags |= kTlGeomPixelSizeMode;
    else
        ChangeFlags &= ~kTlGeomPixelSizeMode;
    return 0;
}

double CTlGeometryStep::GetMinScale() const
{
    return 1e-10;
}

double CTlGeometryStep::GetMaxScale() const
{
    return 1e10;
}

void CTlGeometryStep::TakeSnapshot()
{
    m_snapshot.cropRect = CropRect;
    m_snapshot.printWidth = PrintWidth;
    m_snapshot.printHeight = PrintHeight;
    m_snapshot.resolution = Resolution;
    m_snapshot.printResolution = PrintResolution;
    m_snapshot.scale = Scale;
    m_snapshot.minScale = GetMinScale();
    m_snapshot.maxScale = GetMaxScale();
    m_snapshot.outputWidth = OutputWidth;
    m_snapshot.outputHeight = OutputHeight;
    m_snapshot.outputArea = OutputArea;
}

void CTlGeometryStep::RaiseChangeFlags()
{
    const SSnapshot& was = m_snapshot;
    const struct {
        bool changed;
        std::uint32_t flag;
    } watched[] = {
        {Differs(CropRect.left, was.cropRect.left) || Differs(CropRect.top, was.cropRect.top), kTlGeomCropOrigin},
        {Differs(CropRect.Width(), was.cropRect.Width()), kTlGeomCropWidth},
        {Differs(CropRect.Height(), was.cropRect.Height()), kTlGeomCropHeight},
        {Differs(PrintWidth.value, was.printWidth.value), kTlGeomPrintWidth},
        {Differs(PrintHeight.value, was.printHeight.value), kTlGeomPrintHeight},
        {Differs(Resolution.value, was.resolution.value), kTlGeomResolution},
        {Differs(PrintResolution.value, was.printResolution.value), kTlGeomPrintResolution},
        {Differs(Scale, was.scale), kTlGeomScale},
        {Differs(GetMinScale(), was.minScale) || Differs(GetMaxScale(), was.maxScale), kTlGeomScaleRange},
        {Differs(OutputWidth, was.outputWidth), kTlGeomOutputWidth},
        {Differs(OutputHeight, was.outputHeight), kTlGeomOutputHeight},
        {Differs(OutputArea, was.outputArea), kTlGeomOutputArea},
    };
    for (const auto& w : watched) {
        if (w.changed)
            ChangeFlags |= w.flag;
    }
}
