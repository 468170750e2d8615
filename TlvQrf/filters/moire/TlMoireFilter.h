// The moire filter ('moir'): removes colour moire from 16-bit RGB images by
// averaging a pixel's colour differences with those of neighbours along a
// diagonal band of the colour-difference plane, keeping its luminance.
#pragma once

#include "filters/frame/TlFilter.h"

#include <cstdint>
#include <vector>

class CMoireFilter : public CTlFilter {
public:
    static constexpr KelvraTag kId = TlFilterId("moir");
    static constexpr int kDefaultStrength = 50;

    explicit CMoireFilter(IKelvraManager* manager);

    KelvraTag GetFilterTag() const override { return kId; }
    const char* GetFilterName() const override;

    IKelvraError* SetStrength(int strength, bool notify);
    int GetStrength() const { return m_strength; }

    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

private:
    // Rows of per-pixel records, the oldest row dropped as a new one comes
    // in; sized per tile and kept between tiles.
    struct Ring {
        std::vector<std::int32_t> values;
        long rowWidth = 0; // records per row
        long rowCount = 0;
    };

    std::int32_t m_strength = kDefaultStrength;
    Ring m_colourValues; // luminance sum and two colour differences
    Ring m_smoothed;     // three smoothed values, then the same pixel's unsmoothed three
};
