// Colour noise reduction: on 16-bit three-channel pixels (0x10060204) each
// channel is smoothed by an edge-preserving weighted mean; at high strength
// the two colour channels are first replaced by a wide box mean. One
// strength in [0, 1] sets the window, the weights and the box pre-pass.
#pragma once

#include "filters/frame/TlFilter.h"
#include "kelvra/KelvraLock.h"

#include <cstdint>
#include <mutex>
#include <vector>

class CColorNoiseReductionFilter : public CTlFilter {
public:
    explicit CColorNoiseReductionFilter(IKelvraManager* manager);
    ~CColorNoiseReductionFilter() override;

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

    // The strength is held in [0, 1]; a value that is not a number is
    // refused and changes nothing.
    IKelvraError* SetStrength(double strength, bool notify);
    double GetStrength() const { return m_strength; }

    bool IsWeightTableStale() const { return m_weightTableStale; }

private:
    // The first tile of a run after a strength change rebuilds the weights;
    // tiles made at the same time wait for them and then only read them.
    void PrepareWeightsOnce();

    double m_strength = 0.5;
    bool m_weightTableStale = true;
    std::vector<std::uint16_t> m_weightTable; // 4,096 range weights once built
    CKelvraLock m_prepareLock; // slim: taken for every tile
    // The rolling row, column-sum and box buffers belong to one tile's walk
    // (TlColorNoiseReductionPixels.cpp), so tiles can be made at once.
};
