// The synthetic scene the raw-file maker photographs: flat colour patches
// of known values, neutral steps, gradients and fine detail. Colours are
// linear, 16 bits per channel (65535 is full scale), and depend only on the
// position, so any part of the scene can be made again exactly.
#pragma once

#include "kelvra/KelvraTypes.h"

#include <cstdint>
#include <vector>

struct QrfRgb {
    std::uint16_t r;
    std::uint16_t g;
    std::uint16_t b;
    bool operator==(const QrfRgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

struct QrfPatch {
    KelvraRect rect; // the flat inside of the patch
    QrfRgb colour;
};

class CQrfScene {
public:
    CQrfScene(long width, long height);

    long Width() const { return m_width; }
    long Height() const { return m_height; }
    QrfRgb At(long x, long y) const;
    // The colour patches and neutral steps, each flat over its rectangle.
    const std::vector<QrfPatch>& Patches() const { return m_patches; }

private:
    QrfRgb Gradient(long x, long y) const;
    QrfRgb Detail(long x, long y) const;

    long m_width;
    long m_height;
    long m_patchBottom;    // rows above: colour patches
    long m_stepsBottom;    // then neutral steps
    long m_gradientBottom; // then gradients, then fine detail
    std::vector<QrfPatch> m_patches;
    std::vector<QrfPatch> m_cells; // whole cells, the patches' colours up to the edges
};
