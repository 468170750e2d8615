#include "filtrix/CropFilter.h"

#include "FiltrixNotices.h"
#include "FiltrixSamples.h"
#include "FiltrixTileRows.h"

#include <cstring>

namespace {

bool IsNoCrop(const KelvraRect& rect)
{
    return rect == KelvraRect();
}

IKelvraError* Missing()
{
    return KELVRA_ERROR(nullptr, CCropFilter::kTag, kKelvraMissingObject);
}

} // namespace

CCropFilter::CCropFilter(IKelvraManager* manager) : CKelvraFilterBase(manager, 1)
{
    m_bypass = true; // no rectangle yet
}

KelvraTag CCropFilter::GetFilterTag() const
{
    return kTag;
}

const char* CCropFilter::GetFilterName() const
{
    return "Crop";
}

KelvraRect CCropFilter::GetCrop() const
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    return m_rect;
}

bool CCropFilter::OutputSize(long* width, long* height)
{
    if (!GetSource(0))
        return false;
    IKelvraError* error = GetSize(width, height);
    IKelvraError::Release(error);
    return error == nullptr;
}

IKelvraError* CCropFilter::SetCrop(const KelvraRect& rect, bool notify)
{
    if (rect.IsEmpty() && !IsNoCrop(rect))
        return KELVRA_ERROR(nullptr, kTag, kKelvraBadArgument);
    KelvraSizeChange change{};
    const bool knewSize = OutputSize(&change.oldWidth, &change.oldHeight);
    {
        std::lock_guard<CKelvraLock> guard(m_lock);
        if (rect == m_rect)
            return nullptr;
        m_rect = rect;
        m_bypass = IsNoCrop(rect);
        m_stale = true;
    }
    const bool sized = knewSize && OutputSize(&change.newWidth, &change.newHeight) &&
                       (change.oldWidth != change.newWidth || change.oldHeight != change.newHeight);
    return Announce(notify, sized, change);
}

IKelvraError* CCropFilter::Announce(bool notify, bool sized, const KelvraSizeChange& change)
{
    return sized ? FiltrixSendSizeChange(*this, notify, change) : NotifyChanged(notify);
}

IKelvraError* CCropFilter::GetFilteredSize(IKelvraDataSource* const* sources, long count, long* width, long* height)
{
    if (!width || !height)
        return Missing();
    const KelvraRect rect = GetCrop();
    if (IsNoCrop(rect))
        return CKelvraFilterBase::GetFilteredSize(sources, count, width, height);
    *width = rect.Width();
    *height = rect.Height();
    return nullptr;
}

void CCropFilter::Offset(long* dx, long* dy) const
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    const bool shifts = !PassesThrough();
    *dx = shifts ? m_rect.left : 0;
    *dy = shifts ? m_rect.top : 0;
}

template <typename T>
IKelvraError* CCropFilter::ShiftPoint(T* x, T* y, long sign) const
{
    if (!x || !y)
        return Missing();
    long dx = 0, dy = 0;
    Offset(&dx, &dy);
    *x += T(sign * dx);
    *y += T(sign * dy);
    return nullptr;
}

template <typename R>
IKelvraError* CCropFilter::ShiftRect(R* rect, long sign) const
{
    if (!rect)
        return Missing();
    IKelvraError* error = ShiftPoint(&rect->left, &rect->top, sign);
    return error ? error : ShiftPoint(&rect->right, &rect->bottom, sign);
}

IKelvraError* CCropFilter::FilterPoint(double* x, double* y)
{
    return ShiftPoint(x, y, -1);
}

IKelvraError* CCropFilter::FilterPoint(long* x, long* y)
{
    return ShiftPoint(x, y, -1);
}

IKelvraError* CCropFilter::FilterRect(KelvraDblRect* rect)
{
    return ShiftRect(rect, -1);
}

IKelvraError* CCropFilter::FilterRect(KelvraRect* rect)
{
    return ShiftRect(rect, -1);
}

IKelvraError* CCropFilter::DefilterPoint(double* x, double* y)
{
    return ShiftPoint(x, y, 1);
}

IKelvraError* CCropFilter::DefilterPoint(long* x, long* y)
{
    return ShiftPoint(x, y, 1);
}

IKelvraError* CCropFilter::DefilterRect(KelvraDblRect* rect)
{
    return ShiftRect(rect, 1);
}

IKelvraError* CCropFilter::DefilterRect(KelvraRect* rect)
{
    return ShiftRect(rect, 1);
}

IKelvraError* CCropFilter::FilterData(IKelvraDataSource* source, KelvraRect* rect)
{
    long width = 0, height = 0;
    if (!rect || PassesThrough() || !OutputSize(&width, &height))
        return CKelvraFilterBase::FilterData(source, rect);
    KelvraRect changed = *rect;
    if (IKelvraError* error = FilterRect(&changed))
        return KELVRA_WRAP(nullptr, kTag, error);
    changed = changed.Intersection(KelvraRect(0, 0, width, height));
    if (changed.IsEmpty())
        return nullptr;
    InvalidateCache(&changed);
    return Forward(source, kKelvraNotifyData, &changed);
}

IKelvraError* CCropFilter::FilterSize(IKelvraDataSource* source, KelvraSizeChange* change)
{
    long width = 0, height = 0;
    if (PassesThrough() || !OutputSize(&width, &height))
        return CKelvraFilterBase::FilterSize(source, change);
    // The output keeps its size; what lies under the rectangle may differ.
    KelvraRect all(0, 0, width, height);
    return DropAllAndForward(source, kKelvraNotifyData, &all);
}

IKelvraError* CCropFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    IKelvraDataSource* source = nullptr;
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = FiltrixFirstSource(kTag, SourcesFor(info), FiltrixIsByteFormat, &source, &format))
        return error;
    const KelvraRect rect = GetCrop();
    const std::size_t pixelBytes = KelvraBitsPerPixel(format) / 8;
    return FiltrixFillTile(kTag, tile, source, format, rect.left, rect.top, [pixelBytes](const FiltrixRowRun& run) {
        std::memcpy(run.target, run.source, std::size_t(run.count) * pixelBytes);
    });
}
