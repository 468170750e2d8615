// The high-quality demosaicing filter of the final rendering; the first two
// values of the tuning block set its direction thresholds (the third, once
// the threshold of a diagonal kernel, is carried and no longer read).
#pragma once

#include "filters/debayer/TlDeBayerFilterBase.h"

class CDeBayerHQFilter : public CDeBayerFilterBase {
public:
    explicit CDeBayerHQFilter(IKelvraManager* manager);

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;
};
