// The framework's image: a tiled pixel store with its geometry, resolution,
// transform and palette. One lock guards all of it, because shared images
// are read from worker threads; it is never held while the image's
// destinations hear of a change.
#pragma once

#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraLock.h"
#include "kelvra/KelvraTileCache.h"

#include "KelvraTileStore.h"

#include <atomic>
#include <mutex>
#include <shared_mutex>
#include <vector>

constexpr KelvraTag kKelvraImageTag = KelvraFourCC('K', 'I', 'm', 'g');

class CKelvraImage final : public IKelvraImage {
public:
    // Tile ids pack the row in 16 signed bits: no image has more tile rows
    // (or, to keep one limit, columns) than this.
    static constexpr long kMaxTilesPerSide = 0x7FFF;

    CKelvraImage(IKelvraManager* manager, long tileSize, long kind);
    CKelvraImage(const CKelvraImage&) = delete;
    CKelvraImage& operator=(const CKelvraImage&) = delete;

    using IKelvraDataSource::LockTile;
    using IKelvraDataSource::TileExists;
    using IKelvraDataSource::UnlockTile;

    long GetKind() const { return m_kind; }

    IKelvraError* GetWidth(long* width) override;
    IKelvraError* GetHeight(long* height) override;
    IKelvraError* GetColorSpace(KelvraPixelFormat* format) override;
    IKelvraError* GetResolution(double* dpi) override;
    IKelvraError* GetFlip(bool* flip) override;
    IKelvraError* GetRotation(double* degrees) override;
    IKelvraError* GetTileSize(long* size) override;
    IKelvraError* GetPalette(KelvraPalette* palette) override;

    IKelvraError* TileExists(long column, long row, bool* exists) override;
    IKelvraError* LockTile(long column, long row, const void** data, KelvraRect* rect, long* rowBytes) override;
    IKelvraError* UnlockTile(long column, long row) override;

    void Release() override;
    IKelvraManager* GetManager() const override { return m_manager; }

    IKelvraError* SetSize(long width, long height) override;
    IKelvraError* SetColorSpace(KelvraPixelFormat format) override;
    IKelvraError* SetResolution(double dpi) override;
    IKelvraError* SetTransform(bool flip, double rotation, long reserved) override;
    IKelvraError* SetPalette(const KelvraPalette& palette) override;

    IKelvraError* GetStripHeight(long* rows) override;
    IKelvraError* AppendRows(const void* rows, long count, long rowBytes) override;
    long GetRowsWritten() const override;

    IKelvraError* LockTileForWrite(long column, long row, void** data, KelvraRect* rect, long* rowBytes) override;
    IKelvraError* UnlockTileForWrite(long column, long row, bool modified) override;

    IKelvraError* AttachFilter(IKelvraFilter* filter) override;
    IKelvraError* DetachFilter(IKelvraFilter* filter) override;
    IKelvraFilter* FindFilter(KelvraTag id) const override;

private:
    ~CKelvraImage() override = default;

    // Copies one field out under the lock, shared with other readers: the
    // threads of a run ask a source's geometry for every tile.
    template <typename Out, typename Field>
    IKelvraError* Answer(Out* out, const Field& field) const
    {
        if (!out)
            return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraMissingObject);
        std::shared_lock<CKelvraLock> guard(m_lock);
        *out = field;
        return nullptr;
    }

    // The geometry a run asks for every tile, answered without the lock:
    // these copies are written with m_layout, under it.
    template <typename Out, typename Value>
    IKelvraError* AnswerNow(Out* out, Value value) const
    {
        if (!out)
            return KELVRA_ERROR(nullptr, kKelvraImageTag, kKelvraMissingObject);
        *out = Out(value);
        return nullptr;
    }

    // The callers below hold m_lock.
    bool IsReady() const;
    // Not ready (no size or format) or a tile outside the image.
    IKelvraError* CheckTile(long column, long row) const;
    bool Fits(long width, long height, KelvraPixelFormat format) const;
    void DropPixels();

    IKelvraError* LockPixels(long column, long row, CKelvraTileStore::Access access, void** data, KelvraRect* rect,
                             long* rowBytes);
    IKelvraError* UnlockPixels(long column, long row, CKelvraTileStore::Access access, KelvraRect* rect);
    // A read lock under the shared lock; false when the exclusive path must serve it.
    bool LockReadShared(long column, long row, void** data, KelvraRect* rect, long* rowBytes);
    // Tells the image's destinations; called without m_lock.
    IKelvraError* Announce(long code, void* data);

    IKelvraManager* const m_manager;
    const long m_kind;
    mutable CKelvraLock m_lock;
    KelvraTileLayout m_layout; // size, format and tile side (the side never changes)
    std::atomic<long> m_answerWidth{0};
    std::atomic<long> m_answerHeight{0};
    std::atomic<KelvraPixelFormat> m_answerFormat{0};
    double m_resolution = 72.0;
    bool m_flip = false;
    double m_rotation = 0.0;
    KelvraPalette m_palette;
    long m_rowsWritten = 0;
    CKelvraTileStore m_tiles;
    std::vector<IKelvraFilter*> m_filters;
};
