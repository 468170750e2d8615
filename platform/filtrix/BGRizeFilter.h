// The channel-order filter ('BGRz'): while enabled it swaps the first and
// third samples of RGB pixels (8 or 16 bits), turning RGB into BGR for
// displays that want that order. Other formats of whole bytes pass
// unchanged; disabled, the filter passes its source through. It is switched
// with the filter base's Enable (enabled, notify).
#pragma once

#include "filtrix/KelvraFilterBase.h"

class CBGRizeFilter : public CKelvraFilterBase {
public:
    static constexpr KelvraTag kTag = KelvraFourCC('B', 'G', 'R', 'z');

    explicit CBGRizeFilter(IKelvraManager* manager);

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;

    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;
};
