// The consistency check of a step: ranges first, then the relations that
// tie output, print size, scale and crop together.
#include "settings/geometry/TlGeometryStep.h"

#include "settings/geometry/TlApproxEqual.h"

namespace {

constexpr double kEpsilon = 1e-10;

bool Within(double x, double low, double high)
{
    return low - kEpsilon <= x && x <= high + kEpsilon;
}

struct SRule {
    bool holds;
    int code;
};

} // namespace

int CTlGeometryStep::Validate(bool againstLimit) const
{
    const CTlDblRect r = againstLimit ? LimitRect : CTlDblRect(0, 0, ImageHeight, ImageWidth);
    const double cw = CropRect.Width();
    const double ch = CropRect.Height();
    const double res = Resolution.value;
    const double src = SourceResolution.value;
    const double pres = PrintResolution.value;
    const SRule rules[] = {
        {Within(res, MinResolution.value, src), kTlGeomBadResolution},
        {Within(CropRect.left, r.left, r.right - kEpsilon), kTlGeomBadCropLeft},
        {Within(CropRect.right, r.left + kEpsilon, r.right), kTlGeomBadCropRight},
        {Within(CropRect.top, r.top, r.bottom - kEpsilon), kTlGeomBadCropTop},
        {Within(CropRect.bottom, r.top + kEpsilon, r.bottom), kTlGeomBadCropBottom},
        {Within(OutputWidth, kEpsilon, r.Width()), kTlGeomBadOutputWidth},
        {Within(OutputHeight, kEpsilon, r.Height()), kTlGeomBadOutputHeight},
        {TlApproxEqual(OutputWidth, pres * PrintWidth.value), kTlGeomWidthVsPrint},
        {TlApproxEqual(OutputHeight, PrintHeight.value * pres), kTlGeomHeightVsPrint},
        {TlApproxEqual(OutputArea, OutputHeight * OutputWidth), kTlGeomAreaVsSize},
        {TlApproxEqual(AspectRatio, OutputWidth / OutputHeight), kTlGeomAspectVsOutput},
        {TlApproxEqual(AspectRatio, PrintWidth.value / PrintHeight.value), kTlGeomAspectVsPrint},
        {TlApproxEqual(AspectRatio, cw / ch), kTlGeomAspectVsCrop},
        {TlApproxEqual(Scale, res / pres), kTlGeomScaleVsResolution},
        {TlApproxEqual(OutputWidth, res * (cw / src)), kTlGeomWidthVsCrop},
        {TlApproxEqual(OutputHeight, res * (ch / src)), kTlGeomHeightVsCrop},
    };
    for (const SRule& rule : rules) {
        if (!rule.holds)
            return rule.code;
    }
    return kTlGeomValid;
}
