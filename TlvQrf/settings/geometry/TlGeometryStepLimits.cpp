// Clamps against the limit rectangle and the resolution range, and the
// operations that move the crop or the limit while keeping one inside the other.
#include "settings/geometry/TlGeometryStep.h"

#include "settings/geometry/TlGeometryClamp.h"

namespace {

constexpr double kLowestValue = 1e-10;
constexpr double kHighestValue = 1e10;

// A measured value held within [1e-10, 1e10]; a clamped value takes `unit`.
bool ClampMeasure(CTlMeasure& m, std::int32_t unit)
{
    if (!TlClampInto(m.value, kLowestValue, kHighestValue))
        return false;
    m.unit = unit;
    return true;
}

// Moves `rect` right/down onto the limit's near edge, else left/up so that
// it ends on the far edge; size kept.
void MoveInside(CTlDblRect& rect, const CTlDblRect& limit)
{
    double x = rect.left;
    double y = rect.top;
    if (x < limit.left)
        x = limit.left;
    else if (rect.right > limit.right)
        x = limit.right - rect.Width();
    if (y < limit.top)
        y = limit.top;
    else if (rect.bottom > limit.bottom)
        y = limit.bottom - rect.Height();
    rect.MoveTo(x, y);
}

// Shrinks `rect` to at most `width` x `height`, keeping its origin.
void ShrinkTo(CTlDblRect& rect, double width, double height)
{
    if (rect.Width() > width)
        rect.SetWidth(width);
    if (rect.Height() > height)
        rect.SetHeight(height);
}

} // namespace

bool CTlGeometryStep::ClampCropSize(double& width, double& height, int)
{
    const bool w = TlClampInto(width, 1, LimitRect.Width());
    const bool h = TlClampInto(height, 1, LimitRect.Height());
    return w || h;
}

bool CTlGeometryStep::ClampOutputWidth(double& width)
{
    return TlClampInto(width, 1, LimitRect.Width());
}

bool CTlGeometryStep::ClampOutputHeight(double& height)
{
    return TlClampInto(height, 1, LimitRect.Height());
}

bool CTlGeometryStep::ClampLength(CTlMeasure& length) const
{
    return ClampMeasure(length, kTlUnitInches);
}

bool CTlGeometryStep::ClampResolutionValue(CTlMeasure& resolution) const
{
    return ClampMeasure(resolution, kTlUnitPixelsPerInch);
}

bool CTlGeometryStep::ClampResolution(CTlMeasure& resolution) const
{
    if (resolution.value < MinResolution.value) {
        resolution = MinResolution;
        return true;
    }
    if (resolution.value > SourceResolution.value) {
        resolution = SourceResolution;
        return true;
    }
    return false;
}

bool CTlGeometryStep::ClampScale(double& scale) const
{
    return TlClampInto(scale, GetMinScale(), GetMaxScale());
}

bool CTlGeometryStep::ClampCropOrigin(double& x, double& y) const
{
    const bool movedX = TlClampInto(x, LimitRect.left, LimitRect.right - CropRect.Width());
    const bool movedY = TlClampInto(y, LimitRect.top, LimitRect.bottom - CropRect.Height());
    return movedX || movedY;
}

int CTlGeometryStep::PlaceCropRect(const CTlDblRect& rect, int flags)
{
    double w = rect.Width();
    double h = rect.Height();
    if (w != ReferenceRect.Width() || h != ReferenceRect.Height())
        ClampCropSize(w, h, flags);
    // The edge that still lies on the reference edge stays put.
    double left = rect.right == ReferenceRect.right ? rect.right - w : rect.left;
    double top = rect.bottom == ReferenceRect.bottom ? rect.bottom - h : rect.top;
    if (top < LimitRect.top)
        top = LimitRect.top;
    else if (top + h > LimitRect.bottom)
        top = LimitRect.bottom - h;
    if (left < LimitRect.left)
        left = LimitRect.left;
    else if (left + w > LimitRect.right)
        left = LimitRect.right - w;
    return SetCropRect(CTlDblRect(top, left, top + h, left + w), flags);
}

int CTlGeometryStep::PlaceCropRect(double left, double top, double right, double bottom, int flags)
{
    return PlaceCropRect(CTlDblRect(top, left, bottom, right), flags);
}

int CTlGeometryStep::KeepCropInsideLimit(CTlDblRect& rect, int flags)
{
    bool clamped = false;
    if (rect.left < LimitRect.left) {
        rect.left = LimitRect.left;
        clamped = true;
    } else if (rect.right > LimitRect.right) {
        rect.right = LimitRect.right;
        clamped = true;
    }
    if (rect.top < LimitRect.top) {
        rect.top = LimitRect.top;
        clamped = true;
    } else if (rect.bottom > LimitRect.bottom) {
        rect.bottom = LimitRect.bottom;
        clamped = true;
    }
    double w = rect.Width();
    double h = rect.Height();
    const int sized = ClampCropSize(w, h, flags) ? 1 : 0;
    rect.SetWidth(w);
    rect.SetHeight(h);

    // A resized rectangle that left the limit is pushed back along the
    // current crop's other coordinate.
    int result = clamped ? 1 : sized;
    if (rect.left < LimitRect.left) {
        rect.MoveTo(LimitRect.left, CropRect.top);
        result = 1;
    } else if (rect.right > LimitRect.right) {
        rect.MoveTo(LimitRect.right - CropRect.Width(), CropRect.top);
        result = 1;
    }
    if (rect.top < LimitRect.top) {
        rect.MoveTo(CropRect.left, LimitRect.top);
        return 1;
    }
    if (rect.bottom > LimitRect.bottom) {
        rect.MoveTo(CropRect.left, LimitRect.bottom - CropRect.Height());
        return 1;
    }
    return result;
}

int CTlGeometryStep::SetLimitRect(const CTlDblRect& rect)
{
    TakeSnapshot();
    LimitRect = rect;
    CTlDblRect crop = CropRect;
    ShrinkTo(crop, LimitRect.Width(), LimitRect.Height());
    MoveInside(crop, LimitRect);
    return SetCropRect(crop, 0);
}

int CTlGeometryStep::SetLimitSize(double width, double height)
{
    TakeSnapshot();
    CTlDblRect limit = LimitRect;
    limit.SetWidth(width);
    limit.SetHeight(height);
    const int result = SetLimitRect(limit);
    // The crop then becomes the whole new limit.
    SetCropRect(limit, 0);
    return result;
}

int CTlGeometryStep::SetImageSize(double width, double height)
{
    TakeSnapshot();
    ImageWidth = width;
    ImageHeight = height;
    CTlDblRect limit = LimitRect;
    ShrinkTo(limit, width, height);
    double x = limit.left;
    double y = limit.top;
    if (limit.right > width)
        x = width - limit.Width();
    if (limit.bottom > height)
        y = height - limit.Height();
    limit.MoveTo(x, y);
    return SetLimitRect(limit);
}
