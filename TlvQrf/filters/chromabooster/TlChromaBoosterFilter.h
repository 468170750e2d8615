// The chroma booster: on the LCH editor's lightness, chroma and hue pixels
// it raises or lowers every pixel's chroma by one level for the whole
// image, weighted by lightness, and can hold back weak colours through its
// own per-hue threshold table. Its curve tables stay empty.
#pragma once

#include "filters/lch/TlFltLch.h"

class CChromaBoosterFilter : public CFltLch {
public:
    // SetLevel's value that selects the default level.
    static constexpr int kDefaultLevelRequest = 1000;
    // The default level once the calibration is loaded.
    static constexpr int kLoadedDefaultLevel = 25;
    // The largest change in percent: chroma times 4.
    static constexpr int kMaxLevel = 100;

    explicit CChromaBoosterFilter(IKelvraManager* manager);
    ~CChromaBoosterFilter() override;

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

    // Sets the default level, then loads the booster's own calibration file.
    IKelvraError* LoadCalibration(void* unused) override;

    // Both do nothing until the calibration is loaded. A negative level is
    // ignored; kDefaultLevelRequest selects the default level; levels above
    // kMaxLevel are held at it.
    IKelvraError* SetLevel(int value, bool notify);
    // Switching off parks the prepared threshold table; switching on puts it
    // back, so that it need not be rebuilt.
    IKelvraError* SetThresholdEnabled(bool on, bool notify);

    int GetLevel() const { return m_level; }
    int GetDefaultLevel() const { return m_defaultLevel; }
    bool IsThresholdEnabled() const { return m_thresholdEnabled; }
    // The prepared threshold table while the threshold is switched off.
    const Table& GetParkedThreshold() const { return m_parkedThreshold; }

protected:
    bool NeedsPreparing(int bits) const override;

private:
    IKelvraError* BoostSourceTile(const CTlTileTarget& target, const CTlSourceTile& from);
    template <typename Sample>
    void BoostPixels(const CTlTileTarget& target, const CTlSourceTile& from, int bits) const;

    bool m_thresholdEnabled = false;
    int m_level = 0;
    int m_defaultLevel = 0;
    Table m_parkedThreshold;
};
