// Colour noise reduction: on 16-bit three-channel pixels (0x10060204) each
// channel is smoothed by an edge-preserving weighted mean; at high strength
// the two colour channels are first replaced by a wide box mean. One
// strength in [0, 1] sets the window, the weights and the box pre-pass.
#pragma once

#include "filters/frame/TlFilter.h"

#include <cstdint>
#include <vector>

class CColorNoiseReductionFilter : public CTlFilter {
public:
    // Three 16-bit channels and a lane that carries none.
    struct PixelCell {
        std::uint16_t lane[4];
    };
    // The vertical sums of channels 1 and 2 of one column (box pre-pass).
    struct ColumnSums {
        std::uint32_t sum[2];
    };

    explicit CColorNoiseReductionFilter(IKelvraManager* manager);
    ~CColorNoiseReductionFilter() override;

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;
    bool PassesThrough() const override;

    // The strength is held in [0, 1]; a value that is not a number is
    // refused and changes nothing.
    IKelvraError* SetStrength(double strength, bool notify);
    double GetStrength() const { return m_strength; }

    bool IsWeightTableStale() const { return m_weightTableStale; }
    // The process-wide answer of the first constructor: the worker's
    // 64-bit SIMD path may be used.
    static bool UsesSimd();

private:
    double m_strength = 0.5;
    bool m_weightTableStale = true;
    std::vector<std::uint16_t> m_weightTable; // 4,096 range weights once built
    int m_weightTableSize = 0;
    std::vector<PixelCell> m_rowBuffer;  // 15 rolling source rows
    std::vector<ColumnSums> m_columnSums; // one row of vertical sums
    std::vector<PixelCell> m_boxBuffer;  // 7 rolling rows of box means
};
