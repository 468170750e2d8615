// The moire filter ('moir'): removes colour moire from 16-bit RGB images by
// averaging a pixel's colour differences with those of neighbours along a
// diagonal band of the colour-difference plane, keeping its luminance.
#pragma once

#include "filters/frame/TlFilter.h"

#include <cstdint>

class CMoireFilter : public CTlFilter {
public:
    static constexpr KelvraTag kId = TlFilterId("moir");
    static constexpr int kDefaultStrength = 50;

    explicit CMoireFilter(IKelvraManager* manager);

    KelvraTag GetFilterTag() const override { return kId; }
    const char* GetFilterName() const override;

    IKelvraError* SetStrength(int strength, bool notify);
    int GetStrength() const { return m_strength; }

    // The rings of rows the walk needs belong to one tile's run (see
    // TlMoirePixels.cpp), so tiles can be made on several threads at once.
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

private:
    std::int32_t m_strength = kDefaultStrength;
};
