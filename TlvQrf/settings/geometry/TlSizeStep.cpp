#include "settings/geometry/TlSizeStep.h"

#include "settings/geometry/TlGeometryClamp.h"

#include <algorithm>
#include <cmath>

namespace {

enum : int {
    kLeadMask = 3,
    kWidthLeads = 1,
    kHeightLeads = 2,
    kKeepRight = 0x4,
    kKeepBottom = 0x8,
};

// The print size of one axis is given: that axis's output follows at the
// requested resolution within its limit and the other axis keeps its print
// size, its output held within its own limit. Returns the print resolution.
double FitOutputs(double given, double otherPrint, double& output, double& otherOutput, double limit,
                  double otherLimit, double requested)
{
    output = std::min(given * requested, limit);
    double p = output / given;
    otherOutput = p * otherPrint;
    if (otherOutput > otherLimit) {
        otherOutput = otherLimit;
        p = otherLimit / otherPrint;
        output = given * p;
    }
    return p;
}

} // namespace

std::uint32_t CTlSizeStep::GetType() const
{
    return kTlStepTypeSize;
}

bool CTlSizeStep::ClampCropSize(double& width, double& height, int flags)
{
    const double a = AspectRatio;
    const double c = SourceResolution.value / MinResolution.value;
    const double lw = LimitRect.Width();
    const double lh = LimitRect.Height();
    int lead = flags & kLeadMask;
    if (lead != kWidthLeads && lead != kHeightLeads)
        lead = a * height > width ? kWidthLeads : kHeightLeads;
    if (lead == kWidthLeads) {
        const double bound = std::min({c * OutputWidth, lw, a * std::min(c * OutputHeight, lh)});
        const bool clamped = TlClampInto(width, OutputWidth, bound);
        height = width / a;
        return clamped;
    }
    const double bound = std::min({c * OutputHeight, lh, std::min(c * OutputWidth, lw) / a});
    const bool clamped = TlClampInto(height, OutputHeight, bound);
    width = a * height;
    return clamped;
}

int CTlSizeStep::PlaceCropRect(const CTlDblRect& rect, int flags)
{
    return ChangingClamped([&] {
        double w = rect.Width();
        double h = rect.Height();
        bool clamped = false;
        if (w != ReferenceRect.Width() || h != ReferenceRect.Height())
            clamped = ClampCropSize(w, h, flags);
        double left = (flags & kKeepRight) ? rect.right - w : rect.left;
        double top = (flags & kKeepBottom) ? rect.bottom - h : rect.top;
        if ((flags & kLeadMask) == kWidthLeads)
            top = (ReferenceRect.top + ReferenceRect.bottom) / 2 - h / 2;
        else if ((flags & kLeadMask) == kHeightLeads)
            left = (ReferenceRect.left + ReferenceRect.right) / 2 - w / 2;
        TlClampInto(top, LimitRect.top, LimitRect.bottom - h);
        TlClampInto(left, LimitRect.left, LimitRect.right - w);
        CropRect = CTlDblRect(top, left, top + h, left + w);
        SetResolutionValue(OutputWidth * SourceResolution.value / w);
        ScaleFromResolution();
        return clamped;
    });
}

int CTlSizeStep::SetCropSize(double width, double height, int flags)
{
    return ChangingClamped([&] {
        const bool clamped = ClampCropSize(width, height, flags);
        SetCropWidthInside(width);
        SetCropHeightInside(height);
        SetResolutionValue(OutputWidth * SourceResolution.value / CropRect.Width());
        ScaleFromResolution();
        return clamped;
    });
}

void CTlSizeStep::CropFromOutput()
{
    const double perResolution = SourceResolution.value / Resolution.value;
    SetCropWidthInside(OutputWidth * perResolution);
    SetCropHeightInside(perResolution * OutputHeight);
}

void CTlSizeStep::FollowPrintSize()
{
    const double s = SourceResolution.value;
    double r = PrintResolution.value * Scale;
    r = std::max(r, std::max(s * OutputWidth / LimitRect.Width(), s * OutputHeight / LimitRect.Height()));
    r = std::min(std::max(r, MinResolution.value), s);
    SetResolutionValue(r);
    CropFromOutput();
    Scale = r / PrintResolution.value;
    UpdateOutputArea();
    AspectRatio = PrintWidth.value / PrintHeight.value;
    ChangeFlags &= ~kTlGeomPixelSizeMode;
}

int CTlSizeStep::SetPrintWidth(const CTlMeasure& width)
{
    return ChangingClamped([&] {
        CTlMeasure m = width;
        const bool clamped = ClampLength(m);
        PrintWidth = CTlMeasure::Length(m.value);
        const double p = FitOutputs(m.value, PrintHeight.value, OutputWidth, OutputHeight, LimitRect.Width(),
                                    LimitRect.Height(), RequestedResolution.value);
        SetPrintResolutionValue(p);
        FollowPrintSize();
        return clamped;
    });
}

int CTlSizeStep::SetPrintHeight(const CTlMeasure& height)
{
    return ChangingClamped([&] {
        CTlMeasure m = height;
        const bool clamped = ClampLength(m);
        PrintHeight = CTlMeasure::Length(m.value);
        const double p = FitOutputs(m.value, PrintWidth.value, OutputHeight, OutputWidth, LimitRect.Height(),
                                    LimitRect.Width(), RequestedResolution.value);
        SetPrintResolutionValue(p);
        FollowPrintSize();
        return clamped;
    });
}

int CTlSizeStep::SetResolution(const CTlMeasure& resolution)
{
    return ChangingClamped([&] {
        CTlMeasure m = resolution;
        const bool clamped = ClampResolution(m);
        const double r = m.value;
        const double s = SourceResolution.value;
        SetResolutionValue(r);
        SetPrintResolutionValue(std::min({r * LimitRect.Width() / PrintWidth.value / s,
                                          r * LimitRect.Height() / PrintHeight.value / s, RequestedResolution.value}));
        OutputFromPrint();
        ScaleFromResolution();
        CropFromOutput();
        return clamped;
    });
}

int CTlSizeStep::SetPrintResolution(const CTlMeasure& resolution)
{
    return ChangingClamped([&] {
        CTlMeasure m = resolution;
        bool clamped = ClampResolutionValue(m);
        if (!IsPixelSizeMode()) {
            const double most = std::min(LimitRect.Width() / PrintWidth.value, LimitRect.Height() / PrintHeight.value);
            if (m.value > most) {
                m.value = most;
                clamped = true;
            }
        }
        SetPrintResolutionValue(m.value);
        RequestedResolution = PrintResolution;
        if (IsPixelSizeMode()) {
            PrintFromOutput();
            return clamped;
        }
        OutputFromPrint();
        double r = PrintResolution.value * Scale;
        TlClampInto(r, MinResolution.value, SourceResolution.value);
        SetResolutionValue(r);
        ScaleFromResolution();
        CropFromOutput();
        return clamped;
    });
}

int CTlSizeStep::SetScale(double scale)
{
    return ChangingClamped([&] {
        const bool clamped = ClampScale(scale);
        Scale = scale;
        SetResolutionValue(scale * RequestedResolution.value);
        CropFromOutput();
        return clamped;
    });
}

int CTlSizeStep::SetOutputWidth(double width)
{
    return ChangingClamped([&] {
        const bool clamped = ClampOutputWidth(width);
        const double s = SourceResolution.value;
        OutputWidth = width;
        PrintWidth = CTlMeasure::Length(width / RequestedResolution.value);
        SetCropWidthInside(std::min(width * s / Resolution.value, LimitRect.Width()));
        SetResolutionValue(s * width / CropRect.Width());
        CropRect.SetHeight(s / Resolution.value * OutputHeight);
        EndPixelSizeChange();
        AspectRatio = PrintWidth.value / PrintHeight.value;
        return clamped;
    });
}

int CTlSizeStep::SetOutputHeight(double height)
{
    return ChangingClamped([&] {
        const bool clamped = ClampOutputHeight(height);
        const double s = SourceResolution.value;
        OutputHeight = height;
        PrintHeight = CTlMeasure::Length(height / RequestedResolution.value);
        SetCropHeightInside(std::min(height * s / Resolution.value, LimitRect.Height()));
        SetResolutionValue(s * height / CropRect.Height());
        CropRect.SetWidth(s / Resolution.value * OutputWidth);
        EndPixelSizeChange();
        AspectRatio = PrintWidth.value / PrintHeight.value;
        return clamped;
    });
}

int CTlSizeStep::SetOutputArea(double area)
{
    return ChangingClamped([&] {
        const bool clamped = ClampOutputArea(area);
        OutputArea = area;
        OutputWidth = std::sqrt(area * AspectRatio);
        OutputHeight = std::sqrt(area / AspectRatio);
        SetPrintResolutionValue(OutputWidth / PrintWidth.value);
        SetResolutionValue(Scale * PrintResolution.value);
        return clamped;
    });
}

double CTlSizeStep::GetMinScale() const
{
    const double s = SourceResolution.value;
    return std::max({s * PrintWidth.value / LimitRect.Width(), s * PrintHeight.value / LimitRect.Height(),
                     MinResolution.value / PrintResolution.value});
}

int CTlSizeStep::Rescale(double width, double height, const CTlMeasure& minResolution,
                         const CTlMeasure& sourceResolution)
{
    Changing([&] {
        // The output shrinks to the new image, keeping the print size.
        if (width < OutputWidth) {
            OutputWidth = width;
            SetPrintResolutionValue(width / PrintWidth.value);
            OutputHeight = PrintHeight.value * PrintResolution.value;
        }
        if (OutputHeight > height) {
            OutputHeight = height;
            SetPrintResolutionValue(height / PrintHeight.value);
            OutputWidth = PrintWidth.value * PrintResolution.value;
        }
        UpdateOutputArea();
        const double s = sourceResolution.value;
        if (Resolution.value < minResolution.value)
            Resolution = minResolution;
        else if (Resolution.value > s)
            Resolution = sourceResolution;
        const double least = std::max(OutputWidth / width * s, s * OutputHeight / height);
        if (Resolution.value < least)
            SetResolutionValue(least);
        Scale = Resolution.value / PrintResolution.value;
        const double cw = s / Resolution.value * OutputWidth;
        const double ch = s / Resolution.value * OutputHeight;
        const double left = CropRect.left + cw > width ? width - cw : CropRect.left;
        const double top = CropRect.top + ch > height ? height - ch : CropRect.top;
        CropRect = CTlDblRect(top, left, top + ch, left + cw);
        ReferenceRect = CropRect;
        LimitRect = CTlDblRect(0, 0, height, width);
        ImageWidth = width;
        ImageHeight = height;
        MinResolution = minResolution;
        SourceResolution = sourceResolution;
    });
    return 1;
}
