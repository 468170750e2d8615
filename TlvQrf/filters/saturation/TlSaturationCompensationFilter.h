// Saturation compensation: on lightness, chroma and hue pixels it scales
// chroma by a gain that depends on lightness only, full in the mid-tones and
// less in the shadows and highlights, the more so the higher the level.
// Level 0 bypasses it.
#pragma once

#include "filters/frame/TlFilter.h"
#include "filters/saturation/TlSaturationGains.h"

#include <cstdint>
#include <mutex>

class CSaturationCompensationFilter : public CTlFilter {
public:
    // Levels 0..9; 0 bypasses the filter.
    static constexpr int kMaxLevel = 9;

    explicit CSaturationCompensationFilter(IKelvraManager* manager);
    ~CSaturationCompensationFilter() override;

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

    // Stores the tone mode only: it takes effect at the gain table's next
    // build, which a level change brings.
    void SetParameter(std::uint16_t toneMode);
    // The level is held in 0..9. A change tells the chain that everything
    // must be recomputed.
    IKelvraError* SetLevel(int level, bool notify);

    int GetLevel() const { return m_level; }
    std::uint16_t GetParameter() const { return m_toneMode; }
    bool IsGainTableStale() const { return m_gainStale; }
    // The gains the worker last built, per 8-bit lightness.
    const int (&GetGainTable() const)[kTlGainEntries] { return m_gainTable; }

private:
    // Builds the gain table when a level change left it stale.
    void BuildGainsOnce();
    IKelvraError* CompensateSourceTile(const CTlTileTarget& target, const CTlSourceTile& from);
    template <typename Sample>
    void CompensatePixels(const CTlTileTarget& target, const CTlSourceTile& from, int lightnessShift) const;

    int m_level = 1;
    bool m_gainStale = true;
    int m_gainTable[kTlGainEntries] = {}; // chroma gain per 8-bit lightness, 128 = unchanged
    std::uint16_t m_toneMode = 0; // 260 and 1026 select the second parameter set
    std::mutex m_gainLock;
};
