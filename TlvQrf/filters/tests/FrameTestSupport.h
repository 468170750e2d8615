// What the filter-frame tests share: small filters on CTlFilter, a
// tile to fill by hand and a source that records which tiles are locked.
#pragma once

#include "filters/frame/TlFilter.h"
#include "kelvra/KelvraImage.h"

#include <cstdint>
#include <map>
#include <mutex>
#include <tuple>
#include <utility>
#include <vector>

namespace frame_test {

// Two components compared together.
struct Window {
    double centre;
    long width;
    bool operator==(const Window& other) const { return centre == other.centre && width == other.width; }
};

// A filter with one setting of every kind the setter pattern meets. Its
// output is half its source each way, so whole-output notices show whether
// the filter's own size was asked.
class SettingTestFilter : public CTlFilter {
public:
    explicit SettingTestFilter(IKelvraManager* manager) : CTlFilter(manager) {}

    KelvraTag GetFilterTag() const override { return TlFilterId("Tst1"); }
    const char* GetFilterName() const override { return "Frame test"; }
    IKelvraError* DoGenerateTile(IKelvraTile*, CKelvraProcessInfo*) override { return nullptr; }
    IKelvraError* GetFilteredSize(IKelvraDataSource* const* sources, long count, long* width, long* height) override;

    // A zero strength bypasses the filter.
    IKelvraError* SetStrength(double strength, bool notify)
    {
        return ApplySetting(m_strength, strength, notify, [this] { m_bypass = m_strength == 0.0; });
    }
    IKelvraError* SetWindow(const Window& window, bool notify) { return ApplySetting(m_window, window, notify); }
    IKelvraError* SetLevels(double low, double high, bool notify)
    {
        return ApplySetting(std::tie(m_low, m_high), std::make_tuple(low, high), notify);
    }
    IKelvraError* SetWeights(const double (&weights)[3], bool notify)
    {
        return ApplySetting(m_weights, weights, notify);
    }
    IKelvraError* SetSpot(const KelvraRect& spot, int level, bool notify)
    {
        return ApplySettingIn(spot, m_spotLevel, level, notify);
    }
    IKelvraError* SetDpi(double dpi, bool notify) { return ApplyResolution(m_dpi, dpi, notify); }

    // Errors made where the line is known.
    IKelvraError* FailWithCode(long code, long* line) const
    {
        *line = __LINE__ + 1;
        return TL_FILTER_ERROR(code);
    }
    IKelvraError* FailWithText(const char* text, long* line) const
    {
        *line = __LINE__ + 1;
        return TL_FILTER_TEXT(text);
    }
    IKelvraError* Wrap(IKelvraError* inner, long* line) const
    {
        *line = __LINE__ + 1;
        return TL_FILTER_WRAP(inner);
    }

    // Makes the output size unreadable.
    bool failSize = false;

    void MarkFresh() { m_stale = false; }
    bool IsStale() const { return m_stale; }
    bool IsBypassed() const { return m_bypass; }
    double Strength() const { return m_strength; }
    Window GetWindow() const { return m_window; }
    std::pair<double, double> Levels() const { return {m_low, m_high}; }
    const double* Weights() const { return m_weights; }
    int SpotLevel() const { return m_spotLevel; }
    double Dpi() const { return m_dpi; }

private:
    double m_strength = 1.0;
    Window m_window{0.5, 10};
    double m_low = 0.0;
    double m_high = 1.0;
    double m_weights[3] = {1.0, 1.0, 1.0};
    int m_spotLevel = 0;
    double m_dpi = 72.0;
};

// Copies its first source through the tile contract, so that the walk's
// bookkeeping can be checked against the source's own pixels.
class CopyTestFilter : public CTlFilter {
public:
    CopyTestFilter(IKelvraManager* manager, const CTlFormatCheck& check) : CTlFilter(manager), m_check(check) {}

    KelvraTag GetFilterTag() const override { return TlFilterId("Cpy1"); }
    const char* GetFilterName() const override { return "Copy test"; }
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

    // The worker fails at this source tile (counted from 1 over the filter's
    // life); 0 never.
    int failAtTile = 0;
    // Pixels the needed source rectangle reaches beyond the rectangle to fill.
    long margin = 0;
    int tilesSeen = 0;
    long overlapArea = 0;

private:
    CTlFormatCheck m_check;
};

// A destination that keeps every notice it hears and can refuse them.
struct RecordedNotice {
    IKelvraDataSource* sender;
    long code;
    KelvraRect rect;                   // code 0
    KelvraResolutionChange resolution; // code 3
};

class NoticeSink : public IKelvraDataDestination {
public:
    IKelvraError* KelvraNotify(IKelvraDataSource* source, long code, void* data) override;
    std::vector<RecordedNotice> notices;
    bool refuse = false;
};

// A tile to fill by hand: a buffer holding `full`, preset to a marker byte.
class FakeTile : public IKelvraTile {
public:
    static constexpr std::uint8_t kMarker = 0xA5;
    FakeTile(const KelvraRect& full, const KelvraRect& toFill, KelvraPixelFormat format);

    bool GetRectToFill(KelvraRect* rect) const override;
    void GetRect(KelvraRect* rect) const override { *rect = m_full; }
    IKelvraError* Lock(void** buffer) override;
    long GetRowBytes() const override { return m_rowBytes; }
    void Unlock() override { m_locked = false; }
    void SetComplete() override { m_complete = true; }

    bool IsLocked() const { return m_locked; }
    bool WasLocked() const { return m_lockCount > 0; }
    bool IsComplete() const { return m_complete; }
    bool IsUntouched() const;
    // The bytes of pixel (x, y), image coordinates.
    const std::uint8_t* PixelAt(long x, long y) const;

private:
    KelvraRect m_full;
    KelvraRect m_toFill;
    long m_pixelBytes;
    long m_rowBytes;
    std::vector<std::uint8_t> m_buffer;
    bool m_locked = false;
    int m_lockCount = 0;
    bool m_complete = false;
};

// A source over a real image that counts the locks of every tile and can
// refuse the n-th lock. Whole-image reads lock tiles from several threads,
// so the records are kept under a lock.
class RecordingSource : public IKelvraDataSource {
public:
    explicit RecordingSource(IKelvraImage* image) : m_image(image) {}

    IKelvraError* GetWidth(long* width) override { return m_image->GetWidth(width); }
    IKelvraError* GetHeight(long* height) override { return m_image->GetHeight(height); }
    IKelvraError* GetColorSpace(KelvraPixelFormat* format) override { return m_image->GetColorSpace(format); }
    IKelvraError* GetResolution(double* dpi) override { return m_image->GetResolution(dpi); }
    IKelvraError* GetFlip(bool* flip) override { return m_image->GetFlip(flip); }
    IKelvraError* GetRotation(double* degrees) override { return m_image->GetRotation(degrees); }
    IKelvraError* GetTileSize(long* size) override { return m_image->GetTileSize(size); }
    IKelvraError* GetPalette(KelvraPalette* palette) override { return m_image->GetPalette(palette); }
    using IKelvraDataSource::TileExists;
    IKelvraError* TileExists(long column, long row, bool* exists) override
    {
        return m_image->TileExists(column, row, exists);
    }
    using IKelvraDataSource::LockTile;
    IKelvraError* LockTile(long column, long row, const void** data, KelvraRect* rect, long* rowBytes) override;
    using IKelvraDataSource::UnlockTile;
    IKelvraError* UnlockTile(long column, long row) override;

    // Tiles locked now, and every lock and unlock so far, as (column, row).
    int HeldCount() const;
    bool IsHeld(long column, long row) const;
    std::vector<std::pair<long, long>> locks;
    std::vector<std::pair<long, long>> unlocks;
    // Refuse this lock (counted from 1); 0 never.
    int failAtLock = 0;

private:
    IKelvraImage* m_image;
    std::map<std::pair<long, long>, int> m_held;
    mutable std::mutex m_records;
};

} // namespace frame_test
