// What the framework needs of a filter: a data source made from other data
// sources. Filters derive from the standard filter base, which implements
// all of this; the framework's chains and process runs talk to filters only
// through this interface.
#pragma once

#include "kelvra/KelvraData.h"

#include <vector>

class IKelvraImage;
class CKelvraFilterWatcher;

// One process run of a filter: the sources it reads and where it writes.
// A filter may extend it (AllocateProcessInfo) to keep state for the run.
class CKelvraProcessInfo {
public:
    virtual ~CKelvraProcessInfo() = default;

    std::vector<IKelvraDataSource*> sources;
    IKelvraDataSource* const* GetSources() const { return sources.data(); }
    long GetSourceCount() const { return long(sources.size()); }
    IKelvraDataSource* GetSource(long index) const
    {
        return index >= 0 && index < GetSourceCount() ? sources[std::size_t(index)] : nullptr;
    }
};

class IKelvraFilter : public IKelvraDataSource, public IKelvraDataDestination {
public:
    virtual IKelvraError* Enable(bool enabled, bool notify) = 0;
    virtual bool IsEnabled() const = 0;
    virtual IKelvraManager* GetManager() const = 0;
    virtual long GetFilterID() const = 0;
    virtual KelvraTag GetFilterTag() const = 0;
    virtual const char* GetFilterName() const = 0;

    // Point and rectangle mapping from source to output (Filter) and back
    // (Defilter).
    virtual IKelvraError* FilterPoint(double* x, double* y) = 0;
    virtual IKelvraError* FilterPoint(long* x, long* y) = 0;
    virtual IKelvraError* FilterRect(KelvraDblRect* rect) = 0;
    virtual IKelvraError* FilterRect(KelvraRect* rect) = 0;
    virtual IKelvraError* DefilterPoint(double* x, double* y) = 0;
    virtual IKelvraError* DefilterPoint(long* x, long* y) = 0;
    virtual IKelvraError* DefilterRect(KelvraDblRect* rect) = 0;
    virtual IKelvraError* DefilterRect(KelvraRect* rect) = 0;

    // Makes one output tile from `sources` (the filter's own when null).
    virtual IKelvraError* GenerateTile(IKelvraTile* tile, IKelvraDataSource* const* sources, long count) = 0;
    // Runs a whole process run at once.
    virtual IKelvraError* Process(IKelvraDataSource* const* sources, long count, IKelvraImage* destination) = 0;
    // Starts a run that writes this filter's output of `sources` into
    // `destination`, which takes the output's size, format, resolution,
    // transform and palette.
    virtual IKelvraError* BeginProcess(void** handle, IKelvraDataSource* const* sources, long count,
                                       IKelvraImage* destination) = 0;
    // Fills the next row of destination tiles. `total` is the row count while
    // work remains and 0 once the run is complete; `done` the rows filled.
    virtual IKelvraError* ExecuteProcess(void* handle, long* done, long* total) = 0;
    virtual IKelvraError* GetProcessInfo(void* handle, CKelvraProcessInfo** info) = 0;
    // Ends a run, complete or not (this is also how a caller cancels).
    virtual IKelvraError* EndProcess(void* handle) = 0;

    // 0: a small cache of recently used tiles; 1: keep tiles within the
    // manager's budget; 2: keep every tile.
    virtual IKelvraError* GetCacheUsage(long* usage) = 0;
    virtual IKelvraError* SetCacheUsage(long usage) = 0;
    virtual IKelvraError* AddWatcher(CKelvraFilterWatcher* watcher) = 0;
    virtual IKelvraError* RemoveWatcher(CKelvraFilterWatcher* watcher) = 0;
    virtual IKelvraError* DoAddWatcher(CKelvraFilterWatcher* watcher) = 0;
    virtual IKelvraError* DoRemoveWatcher(CKelvraFilterWatcher* watcher) = 0;
    virtual IKelvraError* NotifyWatchers(long code, void* data) = 0;

    virtual IKelvraError* LockAndGenerate(long column, long row, const void** data, KelvraRect* rect,
                                          long* rowBytes) = 0;
    virtual IKelvraError* CheckCache() = 0;
    // Drops the cached tiles that meet `rect` (every tile when null).
    virtual IKelvraError* InvalidateCache(const KelvraRect* rect) = 0;

    // The output a filter makes of `sources`.
    virtual IKelvraError* GetFilteredSize(IKelvraDataSource* const* sources, long count, long* width,
                                          long* height) = 0;
    virtual IKelvraError* GetFilteredColorSpace(IKelvraDataSource* const* sources, long count,
                                                KelvraPixelFormat* format) = 0;
    virtual IKelvraError* GetFilteredResolution(IKelvraDataSource* const* sources, long count, double* dpi) = 0;
    virtual IKelvraError* GetFilteredTransform(IKelvraDataSource* const* sources, long count, bool* flip,
                                               double* rotation) = 0;
    virtual IKelvraError* GetFilteredPalette(IKelvraDataSource* const* sources, long count,
                                             KelvraPalette* palette) = 0;

    // Handlers of the notices the filter's sources send, one per code.
    virtual IKelvraError* FilterUser(IKelvraDataSource* source, long code, void* data) = 0;
    virtual IKelvraError* FilterData(IKelvraDataSource* source, KelvraRect* rect) = 0;
    virtual IKelvraError* FilterSize(IKelvraDataSource* source, KelvraSizeChange* change) = 0;
    virtual IKelvraError* FilterColorSpace(IKelvraDataSource* source, KelvraColorSpaceChange* change) = 0;
    virtual IKelvraError* FilterResolution(IKelvraDataSource* source, KelvraResolutionChange* change) = 0;
    virtual IKelvraError* FilterTransform(IKelvraDataSource* source, KelvraTransformChange* change) = 0;
    virtual IKelvraError* FilterPalette(IKelvraDataSource* source, KelvraPalette* palette) = 0;
    virtual IKelvraError* FilterDestroy(IKelvraDataSource* source) = 0;
    virtual IKelvraError* FilterUpdateAll(IKelvraDataSource* source) = 0;

    // Fills one output tile; the sources are info's when given, else the
    // filter's connected ones.
    virtual IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) = 0;
    virtual IKelvraError* AllocateProcessInfo(CKelvraProcessInfo** info) = 0;

    // Not table slots. True when the filter passes its first source through
    // (disabled or bypassed) instead of making tiles.
    virtual bool PassesThrough() const = 0;
    // True for filters that read their whole input at once: a process run
    // gives them an intermediate image holding the previous stage's output.
    virtual bool WantsWholeInput() const = 0;
};

// Receives the notices a filter sends its watchers (progress, new levels).
// Watchers and filters let go of each other when either is destroyed.
class CKelvraFilterWatcher {
public:
    CKelvraFilterWatcher();
    virtual ~CKelvraFilterWatcher();
    CKelvraFilterWatcher(const CKelvraFilterWatcher&) = delete;
    CKelvraFilterWatcher& operator=(const CKelvraFilterWatcher&) = delete;

    virtual int OnNotify(IKelvraFilter* filter, long code, void* data) = 0;

    // Starts and stops watching `filter`.
    IKelvraError* KelvraFilterStartWatching(IKelvraFilter* filter);
    IKelvraError* KelvraFilterStopWatching(IKelvraFilter* filter);
    bool IsWatching(IKelvraFilter* filter) const;
};

// The watcher registry both sides use; a filter calls these from its own
// AddWatcher, RemoveWatcher, NotifyWatchers and destructor. Filters live in
// other DLLs, so no exception leaves them: KelvraWatchLink answers 0, or
// kKelvraBadArgument when the two are linked already, kKelvraOutOfMemory;
// KelvraWatchersOf answers false (and no watchers) when out of memory.
long KelvraWatchLink(IKelvraFilter* filter, CKelvraFilterWatcher* watcher);
bool KelvraWatchUnlink(IKelvraFilter* filter, CKelvraFilterWatcher* watcher);
bool KelvraWatchersOf(IKelvraFilter* filter, std::vector<CKelvraFilterWatcher*>& watchers);
void KelvraWatchFilterGone(IKelvraFilter* filter);
