// Fine edge: refines edges of a camera-space RGB image after demosaicing,
// working on green and on the colour differences red - green and
// blue - green. It has no parameters: a chain has it or leaves it out.
#pragma once

#include "filters/frame/TlFilter.h"

#include <cstdint>
#include <vector>

class CFineEdgeFilter : public CTlFilter {
public:
    // Red - green and blue - green of one pixel.
    struct DifferenceCell {
        std::int32_t redMinusGreen;
        std::int32_t blueMinusGreen;
    };

    explicit CFineEdgeFilter(IKelvraManager* manager);
    ~CFineEdgeFilter() override;

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;
    bool PassesThrough() const override;

private:
    bool m_is16Bit = false;
    std::vector<DifferenceCell> m_differenceRows; // 5 rolling rows
    std::vector<std::uint16_t> m_greenRows;       // 5 rolling rows of green
    std::vector<std::uint16_t> m_sharpRows;       // 5 rolling rows of sharpened green
};
