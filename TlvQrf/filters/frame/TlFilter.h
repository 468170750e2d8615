// The common base of this library's filters. A filter names itself (its
// four-character id tags its errors), changes its parameters through
// ApplySetting so that every setter behaves alike, and makes its pixels
// through GenerateFromSourceTiles.
#pragma once

#include "filters/frame/TlFilterId.h"
#include "filters/frame/TlSettingValue.h"
#include "filters/frame/TlTileContract.h"
#include "filtrix/KelvraFilterBase.h"

// Nothing to recompute after a setting changed.
struct TlKeepBypass {
    void operator()() const {}
};

class CTlFilter : public CKelvraFilterBase {
public:
    // `cacheMode` 1 keeps the usual tile cache; 0 keeps the whole output.
    explicit CTlFilter(IKelvraManager* manager, long cacheMode = 1);

    // The four-character id (first character in the most significant byte)
    // and the constant display name.
    KelvraTag GetFilterTag() const override = 0;
    const char* GetFilterName() const override = 0;

    // Errors tagged with the filter's id and the caller's source line (the
    // TL_FILTER_* macros pass it), appended to `chain`.
    IKelvraError* AddError(IKelvraError* chain, long line, long code) const;
    IKelvraError* AddError(IKelvraError* chain, long line, const char* text) const;
    // Wraps what a call returned; a null `inner` adds nothing.
    IKelvraError* AddWorker(IKelvraError* chain, long line, IKelvraError* inner) const;

protected:
    // The body of every parameter setter: an equal value changes nothing;
    // otherwise the value is stored, the output marked stale, the bypass
    // flag recomputed where the filter asks for it, and the whole output
    // announced (only when `notify`, enabled and with a source).
    template <typename Stored, typename Value, typename RecomputeBypass = TlKeepBypass>
    IKelvraError* ApplySetting(Stored&& stored, const Value& value, bool notify, RecomputeBypass recompute = {})
    {
        if (!StoreChange(stored, value, recompute))
            return nullptr;
        return NotifyChanged(notify);
    }

    // The same for a change that only touches `changed` of the output.
    template <typename Stored, typename Value, typename RecomputeBypass = TlKeepBypass>
    IKelvraError* ApplySettingIn(const KelvraRect& changed, Stored&& stored, const Value& value, bool notify,
                                 RecomputeBypass recompute = {})
    {
        if (!StoreChange(stored, value, recompute))
            return nullptr;
        return NotifyChanged(notify, changed);
    }

    // The same for the output resolution: announced as (old, new) dpi.
    template <typename RecomputeBypass = TlKeepBypass>
    IKelvraError* ApplyResolution(double& stored, double value, bool notify, RecomputeBypass recompute = {})
    {
        const double old = stored;
        if (!StoreChange(stored, value, recompute))
            return nullptr;
        return NotifyResolutionChanged(notify, old, value);
    }

    // The tile-generation contract over the first source (info's when given,
    // else the filter's): nothing to fill is success; a source format that
    // `check` refuses is an error; otherwise `worker` sees every source tile
    // under the needed rectangle, locked, and the tile is complete only when
    // nothing failed. Whatever was locked is unlocked on every path.
    IKelvraError* GenerateFromSourceTiles(IKelvraTile* tile, CKelvraProcessInfo* info, const CTlFormatCheck& check,
                                          TlTileWorker worker, TlNeededSource needed = {});

    // The same contract for a filter that reads its source itself (a
    // neighbourhood through a CTilePixelCursor, or points anywhere in it):
    // `worker` gets the locked target once and fills its rectangle.
    IKelvraError* GenerateTarget(IKelvraTile* tile, CKelvraProcessInfo* info, const CTlFormatCheck& check,
                                 TlTargetWorker worker);

    // The sources of a tile or run (info's when given, else the filter's),
    // the image input first, without copying them. 1013 when there is none.
    IKelvraError* InputSources(const CKelvraProcessInfo* info, const std::vector<IKelvraDataSource*>** sources) const;

private:
    template <typename Stored, typename Value, typename RecomputeBypass>
    bool StoreChange(Stored&& stored, const Value& value, RecomputeBypass& recompute)
    {
        if (TlSameSetting(stored, value))
            return false;
        TlStoreSetting(stored, value);
        m_stale = true;
        recompute();
        return true;
    }

    IKelvraError* CheckSource(IKelvraDataSource* source, const CTlFormatCheck& check, KelvraPixelFormat* format,
                              long* width, long* height) const;
    IKelvraError* WalkSourceTiles(const CTlTileTarget& target, const KelvraRect& needed, TlTileWorker worker) const;
};

// Error helpers for members of filters: tagged with the filter's id and
// the line where they are written.
#define TL_FILTER_ERROR(code) AddError(nullptr, __LINE__, (code))
#define TL_FILTER_TEXT(text) AddError(nullptr, __LINE__, (text))
#define TL_FILTER_WRAP(inner) AddWorker(nullptr, __LINE__, (inner))
