#include "filters/fisheye/TlFisheyeFilter.h"

#include "filters/fisheye/TlFisheyeGeometry.h"
#include "settings/lens/TlLensInformation.h"

namespace {

// A lens object that only the lens model cache still refers to is released.
constexpr int kCacheOnlyCount = 1;

} // namespace

CFisheyeFilter::CFisheyeFilter(IKelvraManager* manager) : CTlFilter(manager)
{
    CTlLensInformation::SetKeepCount(kCacheOnlyCount);
}

CFisheyeFilter::~CFisheyeFilter()
{
    DropLens();
}

KelvraTag CFisheyeFilter::GetFilterTag() const
{
    return TlFilterId("FEye");
}

const char* CFisheyeFilter::GetFilterName() const
{
    return "Fisheye Test Filter";
}

bool CFisheyeFilter::HasLensModel() const
{
    return m_inverseCurve1 != nullptr && m_inverseCurve2 != nullptr;
}

void CFisheyeFilter::DropLens()
{
    // The curves live in the lens object, which may go with the reference.
    m_inverseCurve1 = m_inverseCurve2 = m_forwardCurve1 = m_forwardCurve2 = nullptr;
    m_lensInformation.Reset();
}

void CFisheyeFilter::TakeCurves()
{
    const CTlLensInformation* lens = m_lensInformation.Get();
    if (lens)
        lens->GetLensData(&m_inverseCurve1, &m_inverseCurve2, &m_forwardCurve1, &m_forwardCurve2);
}

IKelvraError* CFisheyeFilter::SetFillMode(std::uint8_t fillMode, bool notify)
{
    if (fillMode == m_fillMode)
        return nullptr;
    m_fillMode = fillMode;
    m_stale = true;
    return AnnounceWholeOutput(notify);
}

IKelvraError* CFisheyeFilter::SetFillColor(int index, bool notify)
{
    if (index == m_fillColorIndex)
        return nullptr;
    if (index < 0 || index >= kFillColorCount)
        return TL_FILTER_ERROR(kKelvraMissingObject);
    m_fillColorIndex = index;
    m_stale = true;
    return AnnounceWholeOutput(notify);
}

IKelvraError* CFisheyeFilter::AnnounceWholeOutput(bool notify)
{
    if (!WillNotify(notify))
        return nullptr;
    long width = 0, height = 0;
    if (IKelvraError* error = GetSize(&width, &height))
        return TL_FILTER_WRAP(error);
    return NotifyChanged(notify, KelvraRect(0, 0, width, height));
}

const double* CFisheyeFilter::CurveFor(Direction direction) const
{
    if (direction == Direction::Inverse)
        return m_fillMode == 0 ? m_inverseCurve2 : m_inverseCurve1;
    return m_fillMode == 0 ? m_forwardCurve2 : m_forwardCurve1;
}

bool CFisheyeFilter::Maps() const
{
    return m_enabled && !m_bypass;
}

IKelvraError* CFisheyeFilter::FirstSourceSize(long* width, long* height) const
{
    IKelvraDataSource* source = GetSource(0);
    if (source == nullptr)
        return TL_FILTER_ERROR(kKelvraMissingObject);
    if (IKelvraError* error = source->GetSize(width, height))
        return TL_FILTER_WRAP(error);
    return nullptr;
}

IKelvraError* CFisheyeFilter::MapPointThrough(Direction direction, double* x, double* y) const
{
    const double* curve = CurveFor(direction);
    if (!Maps() || curve == nullptr)
        return nullptr;
    long width = 0, height = 0;
    if (IKelvraError* error = FirstSourceSize(&width, &height))
        return error;
    const CTlFisheyeGeometry geometry(width, height, curve);
    geometry.MapPoint(x, y);
    geometry.ClampPoint(x, y);
    return nullptr;
}

IKelvraError* CFisheyeFilter::MapRectThrough(Direction direction, KelvraDblRect* rect) const
{
    const double* curve = CurveFor(direction);
    if (!Maps() || curve == nullptr)
        return nullptr;
    long width = 0, height = 0;
    if (IKelvraError* error = FirstSourceSize(&width, &height))
        return error;
    *rect = CTlFisheyeGeometry(width, height, curve).MapRect(*rect);
    return nullptr;
}

IKelvraError* CFisheyeFilter::MapLongPoint(Direction direction, long* x, long* y) const
{
    if (!Maps())
        return nullptr;
    double dx = double(*x), dy = double(*y);
    IKelvraError* error = MapPointThrough(direction, &dx, &dy);
    if (error == nullptr) {
        *x = long(dx);
        *y = long(dy);
    }
    return error;
}

IKelvraError* CFisheyeFilter::MapLongRect(Direction direction, KelvraRect* rect) const
{
    if (!Maps())
        return nullptr;
    KelvraDblRect mapped(*rect);
    IKelvraError* error = MapRectThrough(direction, &mapped);
    if (error == nullptr)
        *rect = KelvraRect(mapped);
    return error;
}

IKelvraError* CFisheyeFilter::FilterPoint(double* x, double* y)
{
    return MapPointThrough(Direction::Forward, x, y);
}

IKelvraError* CFisheyeFilter::DefilterPoint(double* x, double* y)
{
    return MapPointThrough(Direction::Inverse, x, y);
}

IKelvraError* CFisheyeFilter::FilterRect(KelvraDblRect* rect)
{
    return MapRectThrough(Direction::Forward, rect);
}

IKelvraError* CFisheyeFilter::DefilterRect(KelvraDblRect* rect)
{
    return MapRectThrough(Direction::Inverse, rect);
}

IKelvraError* CFisheyeFilter::FilterPoint(long* x, long* y)
{
    return MapLongPoint(Direction::Forward, x, y);
}

IKelvraError* CFisheyeFilter::DefilterPoint(long* x, long* y)
{
    return MapLongPoint(Direction::Inverse, x, y);
}

IKelvraError* CFisheyeFilter::FilterRect(KelvraRect* rect)
{
    return MapLongRect(Direction::Forward, rect);
}

IKelvraError* CFisheyeFilter::DefilterRect(KelvraRect* rect)
{
    return MapLongRect(Direction::Inverse, rect);
}
