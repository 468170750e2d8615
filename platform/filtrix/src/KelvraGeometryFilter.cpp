#include "filtrix/KelvraGeometryFilter.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

// Mapped coordinates carry rounding noise; a pixel edge this close to a
// whole number counts as on it.
const double kEdgeTolerance = 1e-9;

long FloorEdge(double value)
{
    return long(std::floor(value + kEdgeTolerance));
}

long CeilEdge(double value)
{
    return long(std::ceil(value - kEdgeTolerance));
}

void MapArea(const CKelvraGeometryFilter::CMapping& mapping, KelvraDblRect* rect)
{
    double xs[4] = {rect->left, rect->right, rect->left, rect->right};
    double ys[4] = {rect->top, rect->top, rect->bottom, rect->bottom};
    for (int i = 0; i < 4; ++i)
        mapping.Apply(&xs[i], &ys[i]);
    *rect = KelvraDblRect(*std::min_element(xs, xs + 4), *std::min_element(ys, ys + 4),
                          *std::max_element(xs, xs + 4), *std::max_element(ys, ys + 4));
}

void MapPixel(const CKelvraGeometryFilter::CMapping& mapping, long* x, long* y)
{
    double cx = double(*x) + 0.5, cy = double(*y) + 0.5;
    mapping.Apply(&cx, &cy);
    *x = long(std::floor(cx));
    *y = long(std::floor(cy));
}

void MapPixels(const CKelvraGeometryFilter::CMapping& mapping, KelvraRect* rect)
{
    KelvraDblRect area(*rect);
    MapArea(mapping, &area);
    *rect = KelvraRect(FloorEdge(area.left), FloorEdge(area.top), CeilEdge(area.right), CeilEdge(area.bottom));
}

} // namespace

void CKelvraGeometryFilter::CMapping::Apply(double* x, double* y) const
{
    const double sx = *x, sy = *y;
    *x = xx * sx + xy * sy + x0;
    *y = yx * sx + yy * sy + y0;
}

CKelvraGeometryFilter::CMapping CKelvraGeometryFilter::CMapping::Inverse() const
{
    const double det = xx * yy - xy * yx;
    CMapping inverse;
    inverse.xx = yy / det;
    inverse.xy = -xy / det;
    inverse.yx = -yx / det;
    inverse.yy = xx / det;
    inverse.x0 = -(inverse.xx * x0 + inverse.xy * y0);
    inverse.y0 = -(inverse.yx * x0 + inverse.yy * y0);
    return inverse;
}

CKelvraGeometryFilter::CKelvraGeometryFilter(IKelvraManager* manager, long cacheMode)
    : CKelvraFilterBase(manager, cacheMode)
{
}

IKelvraError* CKelvraGeometryFilter::Enable(bool enabled, bool notify)
{
    if (enabled == IsEnabled())
        return nullptr;
    const CSizeProbe before = ProbeOutputSize();
    if (IKelvraError* error = CKelvraFilterBase::Enable(enabled, false))
        return error;
    return AnnounceOutput(before, notify);
}

// Mapping.

IKelvraError* CKelvraGeometryFilter::CurrentMapping(bool toOutput, CMapping* mapping)
{
    *mapping = CMapping();
    if (PassesThrough())
        return nullptr;
    IKelvraDataSource* source = GetSource(0);
    if (!source)
        return KELVRA_ERROR(nullptr, GetFilterTag(), kKelvraNotReady);
    long sourceWidth = 0, sourceHeight = 0, width = 0, height = 0;
    if (IKelvraError* error = source->GetSize(&sourceWidth, &sourceHeight))
        return KELVRA_WRAP(nullptr, GetFilterTag(), error);
    DescribeOutput(sourceWidth, sourceHeight, &width, &height, mapping);
    if (!toOutput)
        *mapping = mapping->Inverse();
    return nullptr;
}

template <typename Apply>
IKelvraError* CKelvraGeometryFilter::WithMapping(bool present, bool toOutput, Apply apply)
{
    if (!present)
        return KELVRA_ERROR(nullptr, GetFilterTag(), kKelvraMissingObject);
    CMapping mapping;
    if (IKelvraError* error = CurrentMapping(toOutput, &mapping))
        return error;
    apply(mapping);
    return nullptr;
}

IKelvraError* CKelvraGeometryFilter::FilterPoint(double* x, double* y)
{
    return WithMapping(x && y, true, [&](const CMapping& mapping) { mapping.Apply(x, y); });
}

IKelvraError* CKelvraGeometryFilter::FilterPoint(long* x, long* y)
{
    return WithMapping(x && y, true, [&](const CMapping& mapping) { MapPixel(mapping, x, y); });
}

IKelvraError* CKelvraGeometryFilter::FilterRect(KelvraDblRect* rect)
{
    return WithMapping(rect != nullptr, true, [&](const CMapping& mapping) { MapArea(mapping, rect); });
}

IKelvraError* CKelvraGeometryFilter::FilterRect(KelvraRect* rect)
{
    return WithMapping(rect != nullptr, true, [&](const CMapping& mapping) { MapPixels(mapping, rect); });
}

IKelvraError* CKelvraGeometryFilter::DefilterPoint(double* x, double* y)
{
    return WithMapping(x && y, false, [&](const CMapping& mapping) { mapping.Apply(x, y); });
}

IKelvraError* CKelvraGeometryFilter::DefilterPoint(long* x, long* y)
{
    return WithMapping(x && y, false, [&](const CMapping& mapping) { MapPixel(mapping, x, y); });
}

IKelvraError* CKelvraGeometryFilter::DefilterRect(KelvraDblRect* rect)
{
    return WithMapping(rect != nullptr, false, [&](const CMapping& mapping) { MapArea(mapping, rect); });
}

IKelvraError* CKelvraGeometryFilter::DefilterRect(KelvraRect* rect)
{
    return WithMapping(rect != nullptr, false, [&](const CMapping& mapping) { MapPixels(mapping, rect); });
}

// Output size and notices.

IKelvraError* CKelvraGeometryFilter::GetFilteredSize(IKelvraDataSource* const* sources, long count, long* width,
                                                     long* height)
{
    if (!width || !height)
        return KELVRA_ERROR(nullptr, GetFilterTag(), kKelvraMissingObject);
    IKelvraDataSource* source = sources && count > 0 ? sources[0] : nullptr;
    if (!source)
        return KELVRA_ERROR(nullptr, GetFilterTag(), kKelvraNotReady);
    long sourceWidth = 0, sourceHeight = 0;
    if (IKelvraError* error = source->GetSize(&sourceWidth, &sourceHeight))
        return KELVRA_WRAP(nullptr, GetFilterTag(), error);
    GetOutputSize(sourceWidth, sourceHeight, width, height);
    return nullptr;
}

void CKelvraGeometryFilter::GetOutputSize(long sourceWidth, long sourceHeight, long* width, long* height) const
{
    CMapping unused;
    DescribeOutput(sourceWidth, sourceHeight, width, height, &unused);
}

IKelvraError* CKelvraGeometryFilter::FilterData(IKelvraDataSource* source, KelvraRect* rect)
{
    if (!rect || PassesThrough())
        return CKelvraFilterBase::FilterData(source, rect);
    KelvraRect changed = *rect;
    if (IKelvraError* error = FilterRect(&changed))
        return KELVRA_WRAP(nullptr, GetFilterTag(), error);
    changed = KelvraRect(changed.left - 1, changed.top - 1, changed.right + 1, changed.bottom + 1);
    const CSizeProbe output = ProbeOutputSize();
    if (output.known)
        changed = changed.Intersection(KelvraRect(0, 0, output.width, output.height));
    InvalidateCache(&changed);
    return Forward(source, kKelvraNotifyData, &changed);
}

CKelvraGeometryFilter::CSizeProbe CKelvraGeometryFilter::ProbeOutputSize()
{
    CSizeProbe probe;
    if (!GetSource(0))
        return probe;
    IKelvraError* error = GetSize(&probe.width, &probe.height);
    probe.known = error == nullptr;
    IKelvraError::Release(error);
    return probe;
}

IKelvraError* CKelvraGeometryFilter::SettingChanged(const CSizeProbe& before, bool notify)
{
    m_stale = true;
    return AnnounceOutput(before, notify && IsEnabled());
}

IKelvraError* CKelvraGeometryFilter::AnnounceOutput(const CSizeProbe& before, bool notify)
{
    if (!notify || !GetSource(0))
        return nullptr;
    const CSizeProbe after = ProbeOutputSize();
    if (!after.known)
        return nullptr;
    IKelvraError* error = nullptr;
    if (before.known && (before.width != after.width || before.height != after.height)) {
        KelvraSizeChange change = {before.width, before.height, after.width, after.height};
        error = KelvraSendDataNotification(this, kKelvraNotifySize, &change);
    } else {
        KelvraRect all(0, 0, after.width, after.height);
        error = KelvraSendDataNotification(this, kKelvraNotifyData, &all);
    }
    return error ? KELVRA_WRAP(nullptr, GetFilterTag(), error) : nullptr;
}

// Tiles.

IKelvraError* CKelvraGeometryFilter::FillTile(IKelvraTile* tile, const KelvraRect& fill, long pixelBytes,
                                              const CTileWork& work)
{
    KelvraRect full;
    tile->GetRect(&full);
    void* buffer = nullptr;
    if (IKelvraError* error = tile->Lock(&buffer))
        return KELVRA_WRAP(nullptr, GetFilterTag(), error);
    const long rowBytes = tile->GetRowBytes();
    std::uint8_t* target = static_cast<std::uint8_t*>(buffer) + (fill.top - full.top) * rowBytes +
                           (fill.left - full.left) * pixelBytes;
    IKelvraError* error = nullptr;
    try {
        error = work(target, rowBytes);
    } catch (const std::bad_alloc&) {
        error = KELVRA_ERROR(nullptr, GetFilterTag(), kKelvraOutOfMemory);
    }
    tile->Unlock();
    if (error)
        return error;
    tile->SetComplete();
    return nullptr;
}
