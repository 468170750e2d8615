// The standard-quality demosaicing filter: the fast step of the preview
// chain (gradient-directed green, colour differences for red and blue).
#pragma once

#include "filters/debayer/TlDeBayerFilterBase.h"

class CDeBayerStdFilter : public CDeBayerFilterBase {
public:
    explicit CDeBayerStdFilter(IKelvraManager* manager);

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;
};
