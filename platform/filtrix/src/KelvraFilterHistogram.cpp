#include "filtrix/KelvraFilterHistogram.h"

#include "FiltrixNotices.h"
#include "HistogramCounts.h"

#include <cstring>
#include <new>

namespace {

const KelvraTag kTag = CKelvraFilterHistogram::kTag;

} // namespace

CKelvraFilterHistogram::CKelvraFilterHistogram(IKelvraManager* manager)
    : CKelvraFilterBase(manager, 1), m_counts(std::make_unique<CHistogramCounts>())
{
}

CKelvraFilterHistogram::~CKelvraFilterHistogram() = default;

KelvraTag CKelvraFilterHistogram::GetFilterTag() const
{
    return kTag;
}

const char* CKelvraFilterHistogram::GetFilterName() const
{
    return "Histogram";
}

// Settings.

IKelvraError* CKelvraFilterHistogram::SetCrop(const KelvraRect& rect)
{
    if (rect.IsEmpty() && rect != KelvraRect())
        return KELVRA_ERROR(nullptr, kTag, kKelvraBadArgument);
    bool lost = false;
    {
        std::lock_guard<CKelvraLock> guard(m_lock);
        if (rect == m_crop)
            return nullptr;
        m_crop = rect;
        lost = m_counts->IsComplete();
        m_counts->Clear();
        m_stale = true; // the tiles must flow again to be counted
    }
    return lost ? Send(kKelvraNotifyHistogramReset) : nullptr;
}

KelvraRect CKelvraFilterHistogram::GetCrop() const
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    return m_crop;
}

IKelvraError* CKelvraFilterHistogram::SetCounting(bool counting, bool notify)
{
    bool lost = false;
    {
        std::lock_guard<CKelvraLock> guard(m_lock);
        if (counting == m_counting)
            return nullptr;
        m_counting = counting;
        if (counting) {
            lost = m_counts->IsComplete();
            m_counts->Clear();
        } else {
            m_counts->ReleaseShares(); // the totals are all a fixed result needs
        }
        m_bypass = !counting;
        m_stale = true;
    }
    IKelvraError* error = lost ? Send(kKelvraNotifyHistogramReset) : nullptr;
    // Stopping leaves every tile made downstream as it was; starting again
    // must let the tiles flow through the count once more.
    return FiltrixJoin(kTag, error, counting ? NotifyChanged(notify) : nullptr);
}

bool CKelvraFilterHistogram::IsCounting() const
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    return m_counting;
}

// Reading the counts.

bool CKelvraFilterHistogram::IsComplete() const
{
    std::lock_guard<CKelvraLock> guard(m_lock);
    return m_counts->IsComplete();
}

IKelvraError* CKelvraFilterHistogram::KnownLayout()
{
    {
        std::lock_guard<CKelvraLock> guard(m_lock);
        if (m_counts->HasLayout())
            return nullptr;
    }
    return Prepare(GetSource(0), nullptr, false);
}

long CKelvraFilterHistogram::GetNativeBits()
{
    if (IKelvraError* error = KnownLayout()) {
        IKelvraError::Release(error);
        return 0;
    }
    std::lock_guard<CKelvraLock> guard(m_lock);
    return m_counts->HasLayout() ? m_counts->Layout().Bits() : 0;
}

IKelvraError* CKelvraFilterHistogram::GetSize(long* width, long* height)
{
    if (!width || !height)
        return KELVRA_ERROR(nullptr, kTag, kKelvraMissingObject);
    if (IKelvraError* error = KnownLayout())
        return error;
    std::lock_guard<CKelvraLock> guard(m_lock);
    *width = m_counts->Layout().area.Width();
    *height = m_counts->Layout().area.Height();
    return nullptr;
}

std::shared_ptr<const std::vector<std::uint32_t>> CKelvraFilterHistogram::ReadHistogram(long channel)
{
    if (IKelvraError* error = KnownLayout()) {
        IKelvraError::Release(error);
        return nullptr;
    }
    try {
        std::lock_guard<CKelvraLock> guard(m_lock);
        std::vector<std::uint32_t> counts = m_counts->Channel(channel);
        return counts.empty() ? nullptr : std::make_shared<const std::vector<std::uint32_t>>(std::move(counts));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

IKelvraError* CKelvraFilterHistogram::GetHistogram(long channel, std::uint32_t* counts, long bits)
{
    if (!counts)
        return KELVRA_ERROR(nullptr, kTag, kKelvraMissingObject);
    if (IKelvraError* error = KnownLayout())
        return error;
    try {
        std::lock_guard<CKelvraLock> guard(m_lock);
        const long native = m_counts->Layout().Bits();
        const std::vector<std::uint32_t> bins = m_counts->Channel(channel);
        if (bins.empty() || bits < 1 || bits > native)
            return KELVRA_ERROR(nullptr, kTag, kKelvraBadArgument);
        std::memset(counts, 0, sizeof(std::uint32_t) << bits);
        for (std::size_t bin = 0; bin < bins.size(); ++bin)
            counts[bin >> (native - bits)] += bins[bin];
        return nullptr;
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kTag, kKelvraOutOfMemory);
    }
}

IKelvraError* CKelvraFilterHistogram::Send(long code)
{
    IKelvraError* error = KelvraSendDataNotification(this, code, nullptr);
    return error ? KELVRA_WRAP(nullptr, kTag, error) : nullptr;
}

// Changes of the source.

IKelvraError* CKelvraFilterHistogram::Forget(const KelvraRect* rect)
{
    bool lost = false;
    {
        std::lock_guard<CKelvraLock> guard(m_lock);
        if (!m_counting)
            return nullptr; // a fixed result stays
        const bool wasComplete = m_counts->IsComplete();
        if (rect)
            m_counts->Remove(*rect);
        else
            m_counts->Clear();
        lost = wasComplete && !m_counts->IsComplete();
    }
    return lost ? Send(kKelvraNotifyHistogramReset) : nullptr;
}

IKelvraError* CKelvraFilterHistogram::FilterData(IKelvraDataSource* source, KelvraRect* rect)
{
    IKelvraError* forgotten = Forget(rect);
    return FiltrixJoin(kTag, forgotten, CKelvraFilterBase::FilterData(source, rect));
}

IKelvraError* CKelvraFilterHistogram::FilterSize(IKelvraDataSource* source, KelvraSizeChange* change)
{
    IKelvraError* forgotten = Forget(nullptr);
    return FiltrixJoin(kTag, forgotten, CKelvraFilterBase::FilterSize(source, change));
}

IKelvraError* CKelvraFilterHistogram::FilterColorSpace(IKelvraDataSource* source, KelvraColorSpaceChange* change)
{
    IKelvraError* forgotten = Forget(nullptr);
    return FiltrixJoin(kTag, forgotten, CKelvraFilterBase::FilterColorSpace(source, change));
}

IKelvraError* CKelvraFilterHistogram::FilterUpdateAll(IKelvraDataSource* source)
{
    IKelvraError* forgotten = Forget(nullptr);
    return FiltrixJoin(kTag, forgotten, CKelvraFilterBase::FilterUpdateAll(source));
}

void CKelvraFilterHistogram::KelvraAddedDataSource(IKelvraDataSource* source)
{
    CKelvraFilterBase::KelvraAddedDataSource(source);
    std::lock_guard<CKelvraLock> guard(m_lock);
    m_counts->Clear();
}

void CKelvraFilterHistogram::KelvraRemovedDataSource(IKelvraDataSource* source)
{
    CKelvraFilterBase::KelvraRemovedDataSource(source);
    std::lock_guard<CKelvraLock> guard(m_lock);
    m_counts->Clear();
}
