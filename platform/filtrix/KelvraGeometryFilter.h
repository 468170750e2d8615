// The base of filters that move pixels (scaling, turning): their output is
// an affine image of their first source. From that one mapping it maps
// points and rectangles both ways, forwards a source's changed area as the
// output area it touches, and tells destinations of a new output size with
// code 1 (KelvraSizeChange) instead of a data notice.
#pragma once

#include "filtrix/KelvraFilterBase.h"
#include "kelvra/KelvraLock.h"

#include <cstdint>
#include <functional>
#include <mutex>

class CKelvraGeometryFilter : public CKelvraFilterBase {
public:
    // x' = xx x + xy y + x0, y' = yx x + yy y + y0 in continuous coordinates,
    // where pixel (i, j) covers [i, i + 1) x [j, j + 1).
    struct CMapping {
        double xx = 1, xy = 0, x0 = 0;
        double yx = 0, yy = 1, y0 = 0;
        void Apply(double* x, double* y) const;
        CMapping Inverse() const;
    };

    CKelvraGeometryFilter(IKelvraManager* manager, long cacheMode);

    // Switching the filter on or off changes the output size: code 1 when it does.
    IKelvraError* Enable(bool enabled, bool notify) override;

    // Double forms map continuous coordinates; integer points map a pixel by
    // its centre to the pixel holding the mapped centre; integer rectangles
    // map to the pixels that cover the mapped area. The identity while the
    // filter passes its source through.
    IKelvraError* FilterPoint(double* x, double* y) override;
    IKelvraError* FilterPoint(long* x, long* y) override;
    IKelvraError* FilterRect(KelvraDblRect* rect) override;
    IKelvraError* FilterRect(KelvraRect* rect) override;
    IKelvraError* DefilterPoint(double* x, double* y) override;
    IKelvraError* DefilterPoint(long* x, long* y) override;
    IKelvraError* DefilterRect(KelvraDblRect* rect) override;
    IKelvraError* DefilterRect(KelvraRect* rect) override;

    // The output size for a source of `sourceWidth` x `sourceHeight`.
    void GetOutputSize(long sourceWidth, long sourceHeight, long* width, long* height) const;
    IKelvraError* GetFilteredSize(IKelvraDataSource* const* sources, long count, long* width, long* height) override;
    // Drops and forwards the output area a source change touches, grown by
    // one pixel because interpolated pixels read their neighbours.
    IKelvraError* FilterData(IKelvraDataSource* source, KelvraRect* rect) override;

protected:
    // Settings that setters write while tiles are made on other threads:
    // every read is a consistent copy.
    template <typename Settings>
    class CGuarded {
    public:
        Settings Get() const
        {
            std::lock_guard<CKelvraLock> guard(m_lock);
            return m_value;
        }
        void Set(const Settings& value)
        {
            std::lock_guard<CKelvraLock> guard(m_lock);
            m_value = value;
        }

    private:
        mutable CKelvraLock m_lock;
        Settings m_value{};
    };

    // The output size and the source-to-output mapping for a source of
    // `sourceWidth` x `sourceHeight` pixels with the settings now.
    virtual void DescribeOutput(long sourceWidth, long sourceHeight, long* width, long* height,
                                CMapping* mapping) const = 0;

    struct CSizeProbe {
        bool known = false;
        long width = 0;
        long height = 0;
    };
    // The output size destinations see now; unknown without a source.
    CSizeProbe ProbeOutputSize();
    // The end of a setter that changed something: marks the cache stale and,
    // with `notify` while enabled, sends code 1 when the output size differs
    // from `before`, else code 0 for the whole output.
    IKelvraError* SettingChanged(const CSizeProbe& before, bool notify);

    // The tile contract around a tile worker: locks the tile, lets `work`
    // fill the part `fill` of it (pixel (fill.left, fill.top) at `target`,
    // rows `rowBytes` apart), unlocks, and marks the tile complete only when
    // `work` succeeded.
    using CTileWork = std::function<IKelvraError*(std::uint8_t* target, long rowBytes)>;
    IKelvraError* FillTile(IKelvraTile* tile, const KelvraRect& fill, long pixelBytes, const CTileWork& work);

private:
    IKelvraError* AnnounceOutput(const CSizeProbe& before, bool notify);
    IKelvraError* CurrentMapping(bool toOutput, CMapping* mapping);
    template <typename Apply>
    IKelvraError* WithMapping(bool present, bool toOutput, Apply apply);
};
