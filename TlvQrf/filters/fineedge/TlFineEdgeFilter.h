// Fine edge: refines edges of a camera-space RGB image after demosaicing,
// working on green and on the colour differences red - green and
// blue - green. It has no parameters: a chain has it or leaves it out.
#pragma once

#include "filters/frame/TlFilter.h"

class CFineEdgeFilter : public CTlFilter {
public:
    explicit CFineEdgeFilter(IKelvraManager* manager);
    ~CFineEdgeFilter() override;

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;
    // The five-row buffers belong to one tile's walk (TlFineEdgePixels.cpp),
    // so tiles can be made at once.
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;
};
