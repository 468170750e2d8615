// The auto-brightness filter ('ABrt'): stretches each channel between a
// black and a white level that a histogram filter earlier in the chain
// provides; an exposure compensation moves the white point (positive) or the
// black point (negative). Levels are in 16-bit sample units, -1 while unset.
// The edit settings' auto-brightness record reads the levels it found
// through ITlAutoLevelsSource after the watcher notice kLevelsFound.
#pragma once

#include "filters/frame/TlFilter.h"
#include "settings/small/TlAutoLevelsSource.h"

#include <cstdint>

class CKelvraFilterHistogram;

class CAutoBrightnessFilter : public CTlFilter, public ITlAutoLevelsSource {
public:
    static constexpr KelvraTag kId = TlFilterId("ABrt");
    static constexpr int kChannels = 4;
    static constexpr int kAllChannels = -1;
    static constexpr std::int32_t kUnset = -1;
    // Watcher notice: new automatic levels were found.
    static constexpr long kLevelsFound = 1000;

    explicit CAutoBrightnessFilter(IKelvraManager* manager);

    KelvraTag GetFilterTag() const override { return kId; }
    const char* GetFilterName() const override;

    // Channel -1 sets all four channels, 0 to 3 one; any other channel is
    // refused with 1008 and changes nothing.
    IKelvraError* SetLevels(int channel, int low, int high, bool notify);
    // Channel -1 combines the channels from 0 up to the first unset one:
    // the lowest low and the highest high level met. -1 for any channel
    // outside 0 to 3.
    long GetLowLevel(long channel) override;
    long GetHighLevel(long channel) override;
    // The gain the current levels stand for, in 1/256 EV, at most 512;
    // 0 while the levels cannot describe a range (unset, or high not above
    // low), which is what the tile worker's identity mapping amounts to.
    long GetAutoGain() override;

    IKelvraError* SetUseBlackLevel(bool use, bool notify);
    bool GetUseBlackLevel() const { return m_useBlackLevel; }
    // In 1/256 EV.
    IKelvraError* SetExposureCompensation(int compensation, bool notify);
    int GetExposureCompensation() const { return m_exposureCompensation; }
    // Not owned. Attaching another histogram forgets the levels of the
    // previous one.
    IKelvraError* SetHistogram(CKelvraFilterHistogram* histogram, bool notify);
    CKelvraFilterHistogram* GetHistogram() const { return m_histogram; }

    // Set directly by the filter's owner: the white levels are applied and
    // the exposure compensation is not. No setter of the filter changes it.
    void SetApplyLevels(bool apply) { m_applyLevels = apply; }
    bool GetApplyLevels() const { return m_applyLevels; }

    IKelvraError* KelvraNotify(IKelvraDataSource* source, long code, void* data) override;
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

private:
    // Whether a change of levels reaches the output at all.
    bool LevelsInUse() const { return m_applyLevels || m_useBlackLevel; }
    void ForgetLevels();
    // Reads the levels from a complete histogram.
    IKelvraError* UpdateLevelsFromHistogram(bool notify);
    // Tells the watchers of new levels, then announces the whole output.
    IKelvraError* AnnounceLevels(bool notify);

    CKelvraFilterHistogram* m_histogram = nullptr;
    std::int32_t m_low[kChannels];
    std::int32_t m_high[kChannels];
    std::int32_t m_exposureCompensation = 0;
    bool m_applyLevels = false;
    bool m_useBlackLevel = false;
};
