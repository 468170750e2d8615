// Dims everything outside a crop rectangle so that the crop can be judged on
// the preview. A rectangle of four zeros means no crop.
#pragma once

#include "filters/frame/TlFilter.h"

class CVisualCropFilter : public CTlFilter {
public:
    explicit CVisualCropFilter(IKelvraManager* manager);

    KelvraTag GetFilterTag() const override { return TlFilterId("VCrp"); }
    const char* GetFilterName() const override { return "VisualCrop"; }
    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

    // Right and bottom exclusive. With a source, four zeros stand for the
    // whole image, and a crop of the whole image bypasses the filter.
    IKelvraError* SetRect(const KelvraRect* rect, bool notify);
    const KelvraRect* GetRect() const { return &m_rect; }

private:
    IKelvraError* VeilSourceTile(const CTlTileTarget& target, const CTlSourceTile& from) const;

    KelvraRect m_rect;
};
