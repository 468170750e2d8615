// The grid filter ('Grid'): draws a square grid over the image, an aid for
// judging straight lines on the preview.
//
// The grid is laid out for an assumed image: the part of the image that is
// in view (its width and height in output pixels) and the scale at which
// it is shown. The longer side of that part holds kGridCells cells, so the
// grid keeps its density on screen whatever the zoom; lines are one screen
// pixel wide (1 / scale output pixels, at least one). Until a size is
// assumed, the whole output is. Line pixels have the top bit of every
// sample flipped, which moves each sample by half its range and so shows
// on any content. The grid moves no pixel: point mapping is the identity.
// Samples of 8 or 16 bits; any other format fails with 1010.
#pragma once

#include "filtrix/KelvraFilterBase.h"
#include "kelvra/KelvraLock.h"

#include <mutex>

class CKelvraFilterGrid : public CKelvraFilterBase {
public:
    static constexpr KelvraTag kTag = KelvraFourCC('G', 'r', 'i', 'd');
    static constexpr long kGridCells = 8;

    explicit CKelvraFilterGrid(IKelvraManager* manager);

    KelvraTag GetFilterTag() const override;
    const char* GetFilterName() const override;

    // Width and height 0 (the start) stand for the whole output.
    IKelvraError* GetAssumedImageSize(long* width, long* height, double* scale) const;
    // Width and height at least 0, scale above 0; else 1008 and nothing changes.
    IKelvraError* SetAssumedImageSize(long width, long height, double scale, bool notify);

    IKelvraError* DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info) override;

private:
    mutable CKelvraLock m_lock;
    long m_width = 0;
    long m_height = 0;
    double m_scale = 1.0;
};
