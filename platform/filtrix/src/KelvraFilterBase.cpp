#include "filtrix/KelvraFilterBase.h"

#include "kelvra/KelvraManager.h"
#include "kelvra/KelvraProcess.h"

#include <algorithm>
#include <new>

namespace {

const KelvraTag kBaseTag = KelvraFourCC('F', 'B', 'a', 's');
const long kDefaultTileSize = 64;

IKelvraError* NotReady()
{
    return KELVRA_ERROR(nullptr, kBaseTag, kKelvraNotReady);
}

IKelvraError* Missing()
{
    return KELVRA_ERROR(nullptr, kBaseTag, kKelvraMissingObject);
}

IKelvraDataSource* FirstOf(IKelvraDataSource* const* sources, long count)
{
    return sources && count > 0 ? sources[0] : nullptr;
}

} // namespace

CKelvraFilterBase::CKelvraFilterBase(IKelvraManager* manager, long cacheMode)
    : m_manager(manager), m_wholeImage(cacheMode == 0), m_cacheUsage(m_wholeImage ? 2 : 1)
{
}

CKelvraFilterBase::~CKelvraFilterBase()
{
    KelvraWatchFilterGone(this);
    for (void* run : m_runs)
        delete static_cast<CKelvraProcessRun*>(run);
}

// Geometry: that of the first source while passing through, else the
// filter's own answer for its sources.

IKelvraError* CKelvraFilterBase::GetWidth(long* width)
{
    long height = 0;
    if (PassesThrough())
        return GetSource(0) ? GetSource(0)->GetWidth(width) : NotReady();
    return GetFilteredSize(m_sources.data(), GetSourceCount(), width, &height);
}

IKelvraError* CKelvraFilterBase::GetHeight(long* height)
{
    long width = 0;
    if (PassesThrough())
        return GetSource(0) ? GetSource(0)->GetHeight(height) : NotReady();
    return GetFilteredSize(m_sources.data(), GetSourceCount(), &width, height);
}

IKelvraError* CKelvraFilterBase::GetColorSpace(KelvraPixelFormat* format)
{
    if (PassesThrough())
        return GetSource(0) ? GetSource(0)->GetColorSpace(format) : NotReady();
    return GetFilteredColorSpace(m_sources.data(), GetSourceCount(), format);
}

IKelvraError* CKelvraFilterBase::GetResolution(double* dpi)
{
    if (PassesThrough())
        return GetSource(0) ? GetSource(0)->GetResolution(dpi) : NotReady();
    return GetFilteredResolution(m_sources.data(), GetSourceCount(), dpi);
}

IKelvraError* CKelvraFilterBase::GetFlip(bool* flip)
{
    double rotation = 0;
    if (PassesThrough())
        return GetSource(0) ? GetSource(0)->GetFlip(flip) : NotReady();
    return GetFilteredTransform(m_sources.data(), GetSourceCount(), flip, &rotation);
}

IKelvraError* CKelvraFilterBase::GetRotation(double* degrees)
{
    bool flip = false;
    if (PassesThrough())
        return GetSource(0) ? GetSource(0)->GetRotation(degrees) : NotReady();
    return GetFilteredTransform(m_sources.data(), GetSourceCount(), &flip, degrees);
}

IKelvraError* CKelvraFilterBase::GetTileSize(long* size)
{
    if (!size)
        return Missing();
    if (GetSource(0))
        return GetSource(0)->GetTileSize(size);
    *size = m_manager ? m_manager->GetTileSize() : kDefaultTileSize;
    return nullptr;
}

IKelvraError* CKelvraFilterBase::GetPalette(KelvraPalette* palette)
{
    if (PassesThrough())
        return GetSource(0) ? GetSource(0)->GetPalette(palette) : NotReady();
    return GetFilteredPalette(m_sources.data(), GetSourceCount(), palette);
}

// Tiles.

IKelvraError* CKelvraFilterBase::TileExists(long column, long row, bool* exists)
{
    if (!exists)
        return Missing();
    if (PassesThrough())
        return GetSource(0) ? GetSource(0)->TileExists(column, row, exists) : NotReady();
    *exists = !m_stale && m_cache.Contains(column, row);
    return nullptr;
}

IKelvraError* CKelvraFilterBase::LockTile(long column, long row, const void** data, KelvraRect* rect,
                                          long* rowBytes)
{
    if (PassesThrough()) {
        IKelvraDataSource* source = GetSource(0);
        if (!source)
            return NotReady();
        if (IKelvraError* error = source->LockTile(column, row, data, rect, rowBytes))
            return KELVRA_WRAP(nullptr, GetFilterTag(), error);
        std::lock_guard<CKelvraLock> guard(m_forwardLock);
        m_forwarded.emplace(KelvraTileId(column, row), source);
        return nullptr;
    }
    if (IKelvraError* error = CheckCache())
        return error;
    return LockAndGenerate(column, row, data, rect, rowBytes);
}

IKelvraError* CKelvraFilterBase::UnlockTile(long column, long row)
{
    IKelvraDataSource* forwardedTo = nullptr;
    {
        std::lock_guard<CKelvraLock> guard(m_forwardLock);
        auto it = m_forwarded.find(KelvraTileId(column, row));
        if (it != m_forwarded.end()) {
            forwardedTo = it->second;
            m_forwarded.erase(it);
        }
    }
    if (forwardedTo)
        return forwardedTo->UnlockTile(column, row);
    return m_cache.Unlock(column, row) ? nullptr : KELVRA_ERROR(nullptr, kBaseTag, kKelvraBadArgument);
}

IKelvraError* CKelvraFilterBase::OutputLayout(KelvraTileLayout* layout)
{
    IKelvraError* error = GetFilteredSize(m_sources.data(), GetSourceCount(), &layout->width, &layout->height);
    if (!error)
        error = GetFilteredColorSpace(m_sources.data(), GetSourceCount(), &layout->format);
    if (!error)
        error = GetTileSize(&layout->tileSize);
    return error;
}

long CKelvraFilterBase::CapacityFor(long usage, const KelvraTileLayout& layout) const
{
    const long smallCache = 2 * layout.Columns() + 4; // two rows: neighbourhood filters pull row by row
    if (usage >= 2)
        return CKelvraTileCache::kUnlimited;
    if (usage <= 0 || !m_manager)
        return smallCache;
    const std::size_t tileBytes = std::size_t(layout.TileRowBytes()) * std::size_t(layout.tileSize);
    const std::size_t share = m_manager->GetMemoryBudget() / 8; // one filter may take an eighth of the budget
    const long budgetTiles = tileBytes ? long(std::min<std::size_t>(share / tileBytes, 1L << 20)) : smallCache;
    return std::max(smallCache, budgetTiles);
}

IKelvraError* CKelvraFilterBase::LockAndGenerate(long column, long row, const void** data, KelvraRect* rect,
                                                 long* rowBytes)
{
    KelvraTileLayout layout;
    if (IKelvraError* error = OutputLayout(&layout))
        return KELVRA_WRAP(nullptr, GetFilterTag(), error);
    m_cache.SetCapacity(CapacityFor(m_cacheUsage, layout));
    auto generate = [this](IKelvraTile* tile) { return GenerateTile(tile, nullptr, 0); };
    return m_cache.Lock(layout, column, row, generate, data, rect, rowBytes, GetFilterTag());
}

IKelvraError* CKelvraFilterBase::CheckCache()
{
    // Cleared before the drop, so that a change made meanwhile marks it again.
    if (m_stale.exchange(false))
        m_cache.Invalidate(nullptr);
    return nullptr;
}

IKelvraError* CKelvraFilterBase::InvalidateCache(const KelvraRect* rect)
{
    m_cache.Invalidate(rect);
    return nullptr;
}

IKelvraError* CKelvraFilterBase::GenerateTile(IKelvraTile* tile, IKelvraDataSource* const* sources, long count)
{
    if (!sources || count <= 0)
        return DoGenerateTile(tile, nullptr);
    CKelvraProcessInfo info;
    try {
        info.sources.assign(sources, sources + count);
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, GetFilterTag(), kKelvraOutOfMemory);
    }
    return DoGenerateTile(tile, &info);
}

// Switching.

IKelvraError* CKelvraFilterBase::Enable(bool enabled, bool notify)
{
    if (enabled == m_enabled)
        return nullptr;
    m_enabled = enabled;
    m_stale = true;
    if (!notify || !GetSource(0))
        return nullptr;
    long width = 0, height = 0;
    IKelvraError* error = GetSize(&width, &height);
    if (error)
        return KELVRA_WRAP(nullptr, GetFilterTag(), error);
    KelvraRect all(0, 0, width, height);
    error = KelvraSendDataNotification(this, kKelvraNotifyData, &all);
    return error ? KELVRA_WRAP(nullptr, GetFilterTag(), error) : nullptr;
}

bool CKelvraFilterBase::IsEnabled() const
{
    return m_enabled;
}

bool CKelvraFilterBase::PassesThrough() const
{
    return !m_enabled || m_bypass;
}

bool CKelvraFilterBase::WantsWholeInput() const
{
    return m_wholeImage;
}

IKelvraManager* CKelvraFilterBase::GetManager() const
{
    return m_manager;
}

long CKelvraFilterBase::GetFilterID() const
{
    return long(GetFilterTag());
}

bool CKelvraFilterBase::WillNotify(bool notify) const
{
    return notify && m_enabled && GetSource(0);
}

IKelvraError* CKelvraFilterBase::SendChange(long code, void* data)
{
    IKelvraError* error = KelvraSendDataNotification(this, code, data);
    return error ? KELVRA_WRAP(nullptr, GetFilterTag(), error) : nullptr;
}

IKelvraError* CKelvraFilterBase::NotifyChanged(bool notify)
{
    if (!WillNotify(notify))
        return nullptr;
    long width = 0, height = 0;
    if (IKelvraError* error = GetFilteredSize(m_sources.data(), GetSourceCount(), &width, &height))
        return KELVRA_WRAP(nullptr, GetFilterTag(), error);
    KelvraRect all(0, 0, width, height);
    return SendChange(kKelvraNotifyData, &all);
}

IKelvraError* CKelvraFilterBase::NotifyChanged(bool notify, const KelvraRect& changed)
{
    if (!WillNotify(notify))
        return nullptr;
    KelvraRect sent = changed; // destinations may adjust what they receive
    return SendChange(kKelvraNotifyData, &sent);
}

IKelvraError* CKelvraFilterBase::NotifyResolutionChanged(bool notify, double oldDpi, double newDpi)
{
    if (!WillNotify(notify))
        return nullptr;
    KelvraResolutionChange change{oldDpi, newDpi};
    return SendChange(kKelvraNotifyResolution, &change);
}

// Mapping: the identity unless a filter moves pixels.

IKelvraError* CKelvraFilterBase::FilterPoint(double* x, double* y)
{
    return x && y ? nullptr : Missing();
}
IKelvraError* CKelvraFilterBase::FilterPoint(long* x, long* y)
{
    return x && y ? nullptr : Missing();
}
IKelvraError* CKelvraFilterBase::FilterRect(KelvraDblRect* rect)
{
    return rect ? nullptr : Missing();
}
IKelvraError* CKelvraFilterBase::FilterRect(KelvraRect* rect)
{
    return rect ? nullptr : Missing();
}
IKelvraError* CKelvraFilterBase::DefilterPoint(double* x, double* y)
{
    return x && y ? nullptr : Missing();
}
IKelvraError* CKelvraFilterBase::DefilterPoint(long* x, long* y)
{
    return x && y ? nullptr : Missing();
}
IKelvraError* CKelvraFilterBase::DefilterRect(KelvraDblRect* rect)
{
    return rect ? nullptr : Missing();
}
IKelvraError* CKelvraFilterBase::DefilterRect(KelvraRect* rect)
{
    return rect ? nullptr : Missing();
}

// What the filter makes of its sources: by default their geometry.

IKelvraError* CKelvraFilterBase::GetFilteredSize(IKelvraDataSource* const* sources, long count, long* width,
                                                 long* height)
{
    IKelvraDataSource* first = FirstOf(sources, count);
    return first ? first->GetSize(width, height) : NotReady();
}

IKelvraError* CKelvraFilterBase::GetFilteredColorSpace(IKelvraDataSource* const* sources, long count,
                                                       KelvraPixelFormat* format)
{
    IKelvraDataSource* first = FirstOf(sources, count);
    return first ? first->GetColorSpace(format) : NotReady();
}

IKelvraError* CKelvraFilterBase::GetFilteredResolution(IKelvraDataSource* const* sources, long count, double* dpi)
{
    IKelvraDataSource* first = FirstOf(sources, count);
    return first ? first->GetResolution(dpi) : NotReady();
}

IKelvraError* CKelvraFilterBase::GetFilteredTransform(IKelvraDataSource* const* sources, long count, bool* flip,
                                                      double* rotation)
{
    IKelvraDataSource* first = FirstOf(sources, count);
    if (!first)
        return NotReady();
    IKelvraError* error = first->GetFlip(flip);
    return error ? error : first->GetRotation(rotation);
}

IKelvraError* CKelvraFilterBase::GetFilteredPalette(IKelvraDataSource* const* sources, long count,
                                                    KelvraPalette* palette)
{
    IKelvraDataSource* first = FirstOf(sources, count);
    return first ? first->GetPalette(palette) : NotReady();
}

// Notices from the sources: drop what they cover, then pass them on.

IKelvraError* CKelvraFilterBase::KelvraNotify(IKelvraDataSource* source, long code, void* data)
{
    switch (code) {
    case kKelvraNotifyData:
        return FilterData(source, static_cast<KelvraRect*>(data));
    case kKelvraNotifySize:
        return FilterSize(source, static_cast<KelvraSizeChange*>(data));
    case kKelvraNotifyColorSpace:
        return FilterColorSpace(source, static_cast<KelvraColorSpaceChange*>(data));
    case kKelvraNotifyResolution:
        return FilterResolution(source, static_cast<KelvraResolutionChange*>(data));
    case kKelvraNotifyTransform:
        return FilterTransform(source, static_cast<KelvraTransformChange*>(data));
    case kKelvraNotifyPalette:
        return FilterPalette(source, static_cast<KelvraPalette*>(data));
    case kKelvraNotifyDestroyed:
        return FilterDestroy(source);
    case kKelvraNotifyUpdateAll:
        return FilterUpdateAll(source);
    default:
        return FilterUser(source, code, data);
    }
}

IKelvraError* CKelvraFilterBase::Forward(IKelvraDataSource* sender, long code, void* data)
{
    IKelvraError* error = KelvraForwardDataNotification(this, sender, code, data);
    return error ? KELVRA_WRAP(nullptr, GetFilterTag(), error) : nullptr;
}

IKelvraError* CKelvraFilterBase::DropAllAndForward(IKelvraDataSource* sender, long code, void* data)
{
    InvalidateCache(nullptr);
    return Forward(sender, code, data);
}

IKelvraError* CKelvraFilterBase::FilterUser(IKelvraDataSource* source, long code, void* data)
{
    return Forward(source, code, data);
}

IKelvraError* CKelvraFilterBase::FilterData(IKelvraDataSource* source, KelvraRect* rect)
{
    if (!rect) // a change without a place: treat it as a change everywhere
        return FilterUpdateAll(source);
    KelvraRect changed = *rect;
    if (!PassesThrough()) {
        if (IKelvraError* error = FilterRect(&changed))
            return KELVRA_WRAP(nullptr, GetFilterTag(), error);
        InvalidateCache(&changed);
    }
    return Forward(source, kKelvraNotifyData, &changed);
}

IKelvraError* CKelvraFilterBase::FilterSize(IKelvraDataSource* source, KelvraSizeChange* change)
{
    return DropAllAndForward(source, kKelvraNotifySize, change);
}

IKelvraError* CKelvraFilterBase::FilterColorSpace(IKelvraDataSource* source, KelvraColorSpaceChange* change)
{
    return DropAllAndForward(source, kKelvraNotifyColorSpace, change);
}

IKelvraError* CKelvraFilterBase::FilterResolution(IKelvraDataSource* source, KelvraResolutionChange* change)
{
    return DropAllAndForward(source, kKelvraNotifyResolution, change);
}

IKelvraError* CKelvraFilterBase::FilterTransform(IKelvraDataSource* source, KelvraTransformChange* change)
{
    return DropAllAndForward(source, kKelvraNotifyTransform, change);
}

IKelvraError* CKelvraFilterBase::FilterPalette(IKelvraDataSource* source, KelvraPalette* palette)
{
    return DropAllAndForward(source, kKelvraNotifyPalette, palette);
}

IKelvraError* CKelvraFilterBase::FilterDestroy(IKelvraDataSource*)
{
    InvalidateCache(nullptr);
    return nullptr;
}

IKelvraError* CKelvraFilterBase::FilterUpdateAll(IKelvraDataSource* source)
{
    return DropAllAndForward(source, kKelvraNotifyUpdateAll, nullptr);
}

// Sources.

IKelvraError* CKelvraFilterBase::KelvraAddDataSourceCheck(IKelvraDataSource* source)
{
    return source == static_cast<IKelvraDataSource*>(this) ? KELVRA_ERROR(nullptr, kBaseTag, kKelvraBadArgument)
                                                          : nullptr;
}

void CKelvraFilterBase::KelvraAddedDataSource(IKelvraDataSource* source)
{
    try {
        m_sources.push_back(source);
    } catch (const std::bad_alloc&) {
        // The link stands but the filter cannot use it; it reports "not ready".
    }
    m_stale = true;
}

void CKelvraFilterBase::KelvraRemovedDataSource(IKelvraDataSource* source)
{
    m_sources.erase(std::remove(m_sources.begin(), m_sources.end(), source), m_sources.end());
    m_stale = true;
    // Locks passed to that source can no longer be given back to it.
    std::lock_guard<CKelvraLock> guard(m_forwardLock);
    for (auto it = m_forwarded.begin(); it != m_forwarded.end();)
        it = it->second == source ? m_forwarded.erase(it) : std::next(it);
}

long CKelvraFilterBase::GetSourceCount() const
{
    return long(m_sources.size());
}

IKelvraDataSource* CKelvraFilterBase::GetSource(long index) const
{
    return index >= 0 && index < GetSourceCount() ? m_sources[std::size_t(index)] : nullptr;
}

const std::vector<IKelvraDataSource*>& CKelvraFilterBase::SourcesFor(const CKelvraProcessInfo* info) const
{
    return info ? info->sources : m_sources;
}

// Cache usage and watchers.

IKelvraError* CKelvraFilterBase::GetCacheUsage(long* usage)
{
    if (!usage)
        return Missing();
    *usage = m_cacheUsage;
    return nullptr;
}

IKelvraError* CKelvraFilterBase::SetCacheUsage(long usage)
{
    if (usage < 0 || usage > 2)
        return KELVRA_ERROR(nullptr, kBaseTag, kKelvraBadArgument);
    m_cacheUsage = usage;
    return nullptr;
}

IKelvraError* CKelvraFilterBase::AddWatcher(CKelvraFilterWatcher* watcher)
{
    return DoAddWatcher(watcher);
}

IKelvraError* CKelvraFilterBase::RemoveWatcher(CKelvraFilterWatcher* watcher)
{
    return DoRemoveWatcher(watcher);
}

IKelvraError* CKelvraFilterBase::DoAddWatcher(CKelvraFilterWatcher* watcher)
{
    if (!watcher)
        return Missing();
    const long code = KelvraWatchLink(this, watcher);
    return code == 0 ? nullptr : KELVRA_ERROR(nullptr, kBaseTag, code);
}

IKelvraError* CKelvraFilterBase::DoRemoveWatcher(CKelvraFilterWatcher* watcher)
{
    if (!watcher)
        return Missing();
    return KelvraWatchUnlink(this, watcher) ? nullptr : KELVRA_ERROR(nullptr, kBaseTag, kKelvraBadArgument);
}

IKelvraError* CKelvraFilterBase::NotifyWatchers(long code, void* data)
{
    std::vector<CKelvraFilterWatcher*> watchers;
    if (!KelvraWatchersOf(this, watchers))
        return KELVRA_ERROR(nullptr, kBaseTag, kKelvraOutOfMemory);
    try {
        for (CKelvraFilterWatcher* watcher : watchers) {
            if (watcher->IsWatching(this)) // an earlier watcher may have removed it
                watcher->OnNotify(this, code, data);
        }
    } catch (const std::bad_alloc&) {
        return KELVRA_ERROR(nullptr, kBaseTag, kKelvraOutOfMemory);
    }
    return nullptr;
}

// Process runs.

IKelvraError* CKelvraFilterBase::AllocateProcessInfo(CKelvraProcessInfo** info)
{
    if (!info)
        return Missing();
    *info = new (std::nothrow) CKelvraProcessInfo;
    return *info ? nullptr : KELVRA_ERROR(nullptr, GetFilterTag(), kKelvraOutOfMemory);
}

IKelvraError* CKelvraFilterBase::BeginProcess(void** handle, IKelvraDataSource* const* sources, long count,
                                              IKelvraImage* destination)
{
    if (!handle || !FirstOf(sources, count))
        return Missing();
    CKelvraProcessRun* run = nullptr;
    if (IKelvraError* error = CKelvraProcessRun::Begin({this}, sources[0], destination, GetFilterTag(), &run))
        return error;
    try {
        m_runs.insert(run);
    } catch (const std::bad_alloc&) {
        delete run;
        return KELVRA_ERROR(nullptr, GetFilterTag(), kKelvraOutOfMemory);
    }
    *handle = run;
    return nullptr;
}

IKelvraError* CKelvraFilterBase::ExecuteProcess(void* handle, long* done, long* total)
{
    if (!m_runs.count(handle))
        return KELVRA_ERROR(nullptr, kBaseTag, kKelvraBadArgument);
    CKelvraProcessRun* run = static_cast<CKelvraProcessRun*>(handle);
    long filled = 0, remaining = 0;
    if (IKelvraError* error = run->Step(&filled, &remaining))
        return error;
    KelvraProgress progress = {GetFilterTag(), std::int32_t(filled), std::int32_t(run->GetRowCount()), 1, 1, {}};
    if (IKelvraError* error = NotifyWatchers(kKelvraWatchProgress, &progress))
        return error;
    if (done)
        *done = filled;
    if (total)
        *total = remaining;
    if (!progress.carryOn)
        return KELVRA_ERROR(nullptr, GetFilterTag(), kKelvraCancelled);
    return nullptr;
}

IKelvraError* CKelvraFilterBase::GetProcessInfo(void* handle, CKelvraProcessInfo** info)
{
    if (!info)
        return Missing();
    if (!m_runs.count(handle))
        return KELVRA_ERROR(nullptr, kBaseTag, kKelvraBadArgument);
    *info = static_cast<CKelvraProcessRun*>(handle)->GetInfo(this);
    return nullptr;
}

IKelvraError* CKelvraFilterBase::EndProcess(void* handle)
{
    if (!m_runs.erase(handle))
        return KELVRA_ERROR(nullptr, kBaseTag, kKelvraBadArgument);
    delete static_cast<CKelvraProcessRun*>(handle);
    return nullptr;
}

IKelvraError* CKelvraFilterBase::Process(IKelvraDataSource* const* sources, long count, IKelvraImage* destination)
{
    void* handle = nullptr;
    if (IKelvraError* error = BeginProcess(&handle, sources, count, destination))
        return error;
    long done = 0, total = 1;
    IKelvraError* error = nullptr;
    while (!error && total != 0)
        error = ExecuteProcess(handle, &done, &total);
    IKelvraError::Release(EndProcess(handle));
    return error;
}
