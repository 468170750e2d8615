// The standard filter base. A filter derives from it, names itself, and
// fills output tiles in DoGenerateTile; the base does everything else:
// geometry (by default that of the first source), the tile cache, pass-
// through when disabled or bypassed, the handling and forwarding of its
// sources' notices, watchers and process runs.
#pragma once

#include "kelvra/KelvraFilter.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraLock.h"
#include "kelvra/KelvraTileCache.h"

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <vector>

class CKelvraFilterBase : public IKelvraFilter {
public:
    using CProcessInfo = CKelvraProcessInfo;

    // A moving pointer over a tile's pixels.
    class CPixelPtr {
    public:
        CPixelPtr(void* buffer, KelvraPixelFormat format, long rowBytes)
            : m_pointer(static_cast<unsigned char*>(buffer)), m_pixelBytes(long(KelvraBitsPerPixel(format) + 7) / 8),
              m_rowBytes(rowBytes)
        {
        }
        unsigned char* Get() const { return m_pointer; }
        long PixelBytes() const { return m_pixelBytes; }
        long RowBytes() const { return m_rowBytes; }
        // Pointer to pixel (x, y) of the buffer.
        unsigned char* At(long x, long y) const { return m_pointer + y * m_rowBytes + x * m_pixelBytes; }

    private:
        unsigned char* m_pointer;
        long m_pixelBytes;
        long m_rowBytes;
    };

    // `cacheMode` 1: the usual tile cache; 0: the filter keeps its whole
    // output (every tile stays cached until a change).
    CKelvraFilterBase(IKelvraManager* manager, long cacheMode);
    ~CKelvraFilterBase() override;
    CKelvraFilterBase(const CKelvraFilterBase&) = delete;
    CKelvraFilterBase& operator=(const CKelvraFilterBase&) = delete;

    // Data source.
    IKelvraError* GetWidth(long* width) override;
    IKelvraError* GetHeight(long* height) override;
    IKelvraError* GetColorSpace(KelvraPixelFormat* format) override;
    IKelvraError* GetResolution(double* dpi) override;
    IKelvraError* GetFlip(bool* flip) override;
    IKelvraError* GetRotation(double* degrees) override;
    IKelvraError* GetTileSize(long* size) override;
    IKelvraError* GetPalette(KelvraPalette* palette) override;
    using IKelvraDataSource::TileExists;
    IKelvraError* TileExists(long column, long row, bool* exists) override;
    using IKelvraDataSource::LockTile;
    IKelvraError* LockTile(long column, long row, const void** data, KelvraRect* rect, long* rowBytes) override;
    using IKelvraDataSource::UnlockTile;
    IKelvraError* UnlockTile(long column, long row) override;

    // Filter.
    IKelvraError* Enable(bool enabled, bool notify) override;
    bool IsEnabled() const override;
    IKelvraManager* GetManager() const override;
    long GetFilterID() const override;

    IKelvraError* FilterPoint(double* x, double* y) override;
    IKelvraError* FilterPoint(long* x, long* y) override;
    IKelvraError* FilterRect(KelvraDblRect* rect) override;
    IKelvraError* FilterRect(KelvraRect* rect) override;
    IKelvraError* DefilterPoint(double* x, double* y) override;
    IKelvraError* DefilterPoint(long* x, long* y) override;
    IKelvraError* DefilterRect(KelvraDblRect* rect) override;
    IKelvraError* DefilterRect(KelvraRect* rect) override;

    IKelvraError* GenerateTile(IKelvraTile* tile, IKelvraDataSource* const* sources, long count) override;
    IKelvraError* Process(IKelvraDataSource* const* sources, long count, IKelvraImage* destination) override;
    IKelvraError* BeginProcess(void** handle, IKelvraDataSource* const* sources, long count,
                               IKelvraImage* destination) override;
    IKelvraError* ExecuteProcess(void* handle, long* done, long* total) override;
    IKelvraError* GetProcessInfo(void* handle, CKelvraProcessInfo** info) override;
    IKelvraError* EndProcess(void* handle) override;

    IKelvraError* GetCacheUsage(long* usage) override;
    IKelvraError* SetCacheUsage(long usage) override;
    IKelvraError* AddWatcher(CKelvraFilterWatcher* watcher) override;
    IKelvraError* RemoveWatcher(CKelvraFilterWatcher* watcher) override;
    IKelvraError* DoAddWatcher(CKelvraFilterWatcher* watcher) override;
    IKelvraError* DoRemoveWatcher(CKelvraFilterWatcher* watcher) override;
    IKelvraError* NotifyWatchers(long code, void* data) override;

    IKelvraError* LockAndGenerate(long column, long row, const void** data, KelvraRect* rect,
                                  long* rowBytes) override;
    IKelvraError* CheckCache() override;
    IKelvraError* InvalidateCache(const KelvraRect* rect) override;

    IKelvraError* GetFilteredSize(IKelvraDataSource* const* sources, long count, long* width, long* height) override;
    IKelvraError* GetFilteredColorSpace(IKelvraDataSource* const* sources, long count,
                                        KelvraPixelFormat* format) override;
    IKelvraError* GetFilteredResolution(IKelvraDataSource* const* sources, long count, double* dpi) override;
    IKelvraError* GetFilteredTransform(IKelvraDataSource* const* sources, long count, bool* flip,
                                       double* rotation) override;
    IKelvraError* GetFilteredPalette(IKelvraDataSource* const* sources, long count, KelvraPalette* palette) override;

    IKelvraError* FilterUser(IKelvraDataSource* source, long code, void* data) override;
    IKelvraError* FilterData(IKelvraDataSource* source, KelvraRect* rect) override;
    IKelvraError* FilterSize(IKelvraDataSource* source, KelvraSizeChange* change) override;
    IKelvraError* FilterColorSpace(IKelvraDataSource* source, KelvraColorSpaceChange* change) override;
    IKelvraError* FilterResolution(IKelvraDataSource* source, KelvraResolutionChange* change) override;
    IKelvraError* FilterTransform(IKelvraDataSource* source, KelvraTransformChange* change) override;
    IKelvraError* FilterPalette(IKelvraDataSource* source, KelvraPalette* palette) override;
    IKelvraError* FilterDestroy(IKelvraDataSource* source) override;
    IKelvraError* FilterUpdateAll(IKelvraDataSource* source) override;

    IKelvraError* AllocateProcessInfo(CKelvraProcessInfo** info) override;
    bool PassesThrough() const override;
    bool WantsWholeInput() const override;

    // Data destination.
    IKelvraError* KelvraNotify(IKelvraDataSource* source, long code, void* data) override;
    IKelvraError* KelvraAddDataSourceCheck(IKelvraDataSource* source) override;
    void KelvraAddedDataSource(IKelvraDataSource* source) override;
    void KelvraRemovedDataSource(IKelvraDataSource* source) override;

    // The filter's connected sources, first one first.
    long GetSourceCount() const;
    IKelvraDataSource* GetSource(long index) const;

    // The setters' condition for telling anyone of a change: asked to,
    // enabled, and with a first source.
    bool WillNotify(bool notify) const;

protected:
    // The sources a tile or run reads: info's when given, else the filter's.
    // A reference, not a copy: every tile asks, on several threads at once.
    const std::vector<IKelvraDataSource*>& SourcesFor(const CKelvraProcessInfo* info) const;
    // Sends code 0 for the whole output: the end of every parameter setter
    // that changed something (nothing is sent unless `notify`, the filter is
    // enabled and has a source).
    IKelvraError* NotifyChanged(bool notify);
    // The same for a change that touches only `changed` of the output.
    IKelvraError* NotifyChanged(bool notify, const KelvraRect& changed);
    // Sends code 3 with the old and the new output resolution.
    IKelvraError* NotifyResolutionChanged(bool notify, double oldDpi, double newDpi);
    // Passes a notice on to this filter's destinations, keeping its sender.
    IKelvraError* Forward(IKelvraDataSource* sender, long code, void* data);
    // The same after dropping every cached tile.
    IKelvraError* DropAllAndForward(IKelvraDataSource* sender, long code, void* data);

    // Set by setters on the host's thread, read on every lock by whichever
    // thread pulls a tile.
    std::atomic<bool> m_stale{true};
    bool m_bypass = false;
    bool m_enabled = true;

private:
    IKelvraError* SendChange(long code, void* data);
    IKelvraError* OutputLayout(KelvraTileLayout* layout);
    long CapacityFor(long usage, const KelvraTileLayout& layout) const;

    IKelvraManager* m_manager;
    bool m_wholeImage; // the filter keeps its whole output and reads its whole input
    long m_cacheUsage;
    CKelvraTileCache m_cache;
    std::vector<IKelvraDataSource*> m_sources;
    // Tiles handed out from the first source while passing through, so that
    // each unlock goes back where its lock went even if the filter was
    // switched in between.
    CKelvraLock m_forwardLock;
    std::multimap<long, IKelvraDataSource*> m_forwarded;
    std::set<void*> m_runs;
};
