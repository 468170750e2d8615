#include "filtrix/KelvraFilterHistogram.h"

#include "FiltrixNotices.h"
#include "FiltrixSamples.h"
#include "FiltrixTileRows.h"
#include "HistogramCounts.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

const KelvraTag kTag = CKelvraFilterHistogram::kTag;

// A process run's record: the run's input is counted at its first tile.
struct HistogramRun : CKelvraProcessInfo {
    bool counted = false;
};

// The source's geometry, with the area still to be cut by the crop.
IKelvraError* ReadGeometry(IKelvraDataSource* source, HistogramLayout* layout)
{
    if (!source)
        return KELVRA_ERROR(nullptr, kTag, kKelvraNotReady);
    IKelvraError* error = source->GetColorSpace(&layout->format);
    if (!error)
        error = source->GetSize(&layout->width, &layout->height);
    if (!error)
        error = source->GetTileSize(&layout->tileSize);
    if (error)
        return KELVRA_WRAP(nullptr, kTag, error);
    return CHistogramCounts::CanCount(*layout) ? nullptr : KELVRA_ERROR(nullptr, kTag, kKelvraUnsupportedFormat);
}

KelvraRect AreaFor(const KelvraRect& crop, long width, long height)
{
    const KelvraRect image(0, 0, width, height);
    return crop == KelvraRect() ? image : crop.Intersection(image);
}

} // namespace

// Counting.

IKelvraError* CKelvraFilterHistogram::Prepare(IKelvraDataSource* source, const void* owner, bool restart)
{
    HistogramLayout layout;
    if (IKelvraError* error = ReadGeometry(source, &layout))
        return error;
    bool lost = false;
    try {
        std::lock_guard<CKelvraLock> guard(m_lock);
        layout.area = AreaFor(m_crop, layout.width, layout.height);
        if (!restart && m_counts->HasLayout() && m_counts->Layout() == layout && m_owner == owner)
            return nullptr;
        lost = m_counts->IsComplete();
        m_counts->Reset(layout);
        m_owner = owner;
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kTag, kKelvraOutOfMemory);
    }
    // What listeners answer to the reset notice does not stop the counting.
    if (lost)
        IKelvraError::Release(Send(kKelvraNotifyHistogramReset));
    return nullptr;
}

IKelvraError* CKelvraFilterHistogram::Commit(const HistogramLayout& layout, long column, long row,
                                             std::vector<std::uint16_t>&& share)
{
    bool completed = false;
    try {
        std::lock_guard<CKelvraLock> guard(m_lock);
        // A change may have laid the counts out anew meanwhile: then this tile is outdated.
        if (!m_counting || !m_counts->HasLayout() || m_counts->Layout() != layout || m_counts->IsComplete())
            return nullptr;
        completed = m_counts->Add(column, row, std::move(share)) && m_counts->IsComplete();
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kTag, kKelvraOutOfMemory);
    }
    return completed ? Announce() : nullptr;
}

IKelvraError* CKelvraFilterHistogram::Announce()
{
    IKelvraError* error = Send(kKelvraNotifyHistogramDone);
    return FiltrixJoin(kTag, error, NotifyWatchers(kWatchComplete, nullptr));
}

IKelvraError* CKelvraFilterHistogram::CountTile(IKelvraDataSource* source, long column, long row)
{
    HistogramLayout layout;
    KelvraRect area;
    {
        std::lock_guard<CKelvraLock> guard(m_lock);
        layout = m_counts->Layout();
        area = m_counts->AreaOf(column, row);
    }
    try {
        std::vector<std::uint16_t> share(std::size_t(layout.Planes() * layout.Bins()));
        IKelvraError* error = FiltrixReadRuns(kTag, source, area, [&](const FiltrixSourceRun& run) {
            CountHistogramRun(layout, run.pixels, run.count, &share);
        });
        return error ? error : Commit(layout, column, row, std::move(share));
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kTag, kKelvraOutOfMemory);
    }
}

IKelvraError* CKelvraFilterHistogram::CountMissing(IKelvraDataSource* source)
{
    std::vector<long> missing;
    try {
        std::lock_guard<CKelvraLock> guard(m_lock);
        missing = m_counts->Missing();
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kTag, kKelvraOutOfMemory);
    }
    for (long id : missing) {
        if (IKelvraError* error = CountTile(source, KelvraTileColumn(id), KelvraTileRow(id)))
            return error;
    }
    return nullptr;
}

IKelvraError* CKelvraFilterHistogram::ForceCompletion()
{
    IKelvraDataSource* source = GetSource(0);
    if (!source)
        return KELVRA_ERROR(nullptr, kTag, kKelvraNotReady);
    {
        std::lock_guard<CKelvraLock> guard(m_lock);
        if (!m_counting)
            return m_counts->IsComplete() ? nullptr : KELVRA_ERROR(nullptr, kTag, kKelvraNotReady);
    }
    if (IKelvraError* error = Prepare(source, nullptr, false))
        return error;
    return CountMissing(source);
}

// Tiles.

bool CKelvraFilterHistogram::IsDue(IKelvraDataSource* source, const KelvraRect& tileRect, HistogramLayout* layout,
                                   KelvraRect* area)
{
    if (IKelvraError* error = Prepare(source, nullptr, false)) {
        IKelvraError::Release(error); // a tile that cannot be counted still passes
        return false;
    }
    std::lock_guard<CKelvraLock> guard(m_lock);
    *layout = m_counts->Layout();
    const long column = tileRect.left / layout->tileSize, row = tileRect.top / layout->tileSize;
    *area = m_counts->AreaOf(column, row);
    return m_counting && !area->IsEmpty() && !m_counts->IsCounted(column, row);
}

IKelvraError* CKelvraFilterHistogram::PassTile(IKelvraTile* tile, IKelvraDataSource* source, bool count)
{
    KelvraPixelFormat format = 0;
    if (IKelvraError* error = FiltrixSourceFormat(kTag, source, FiltrixIsByteFormat, &format))
        return error;
    KelvraRect rect;
    tile->GetRect(&rect);
    HistogramLayout layout;
    KelvraRect area;
    const bool due = count && FiltrixIsSampleFormat(format) && IsDue(source, rect, &layout, &area);
    const std::size_t pixelBytes = KelvraBitsPerPixel(format) / 8;
    std::vector<std::uint16_t> share;
    try {
        share.resize(due ? std::size_t(layout.Planes() * layout.Bins()) : 0);
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kTag, kKelvraOutOfMemory);
    }
    IKelvraError* error = FiltrixFillTile(kTag, tile, source, format, 0, 0, [&](const FiltrixRowRun& run) {
        std::memcpy(run.target, run.source, std::size_t(run.count) * pixelBytes);
        const long from = std::max(run.x, area.left), to = std::min(run.x + run.count, area.right);
        if (due && run.y >= area.top && run.y < area.bottom && from < to)
            CountHistogramRun(layout, run.source + std::size_t(from - run.x) * pixelBytes, to - from, &share);
    });
    if (error || !due)
        return error;
    // The tile itself is fine whatever the listeners to a completion answer.
    IKelvraError::Release(Commit(layout, rect.left / layout.tileSize, rect.top / layout.tileSize, std::move(share)));
    return nullptr;
}

IKelvraError* CKelvraFilterHistogram::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    const std::vector<IKelvraDataSource*>& sources = SourcesFor(info);
    IKelvraDataSource* source = sources.empty() ? nullptr : sources[0];
    if (!info)
        return PassTile(tile, source, true);
    auto* run = dynamic_cast<HistogramRun*>(info);
    if (run && !run->counted && IsCounting()) {
        run->counted = true;
        IKelvraError* error = Prepare(source, run, true);
        if (!error)
            error = CountMissing(source);
        if (error)
            return error;
    }
    return PassTile(tile, source, false);
}

IKelvraError* CKelvraFilterHistogram::AllocateProcessInfo(CKelvraProcessInfo** info)
{
    if (!info)
        return KELVRA_ERROR(nullptr, kTag, kKelvraMissingObject);
    *info = new (std::nothrow) HistogramRun;
    return *info ? nullptr : KELVRA_ERROR(nullptr, kTag, kKelvraOutOfMemory);
}

bool CKelvraFilterHistogram::WantsWholeInput() const
{
    return true;
}
