// Holds a position in a chain and passes its source through untouched; the
// identifying value it was made with is its filter id.
#pragma once

#include "filters/frame/TlFilter.h"

class CPlaceHolderFilter : public CTlFilter {
public:
    explicit CPlaceHolderFilter(IKelvraManager* manager, KelvraTag value = TlFilterId("PHld"));

    KelvraTag GetFilterTag() const override { return m_value; }
    const char* GetFilterName() const override { return "PlaceHolder"; }
    // Never asked: the filter is always bypassed.
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

private:
    KelvraTag m_value;
};
