// The synthetic scenes the raw-file maker photographs. The chart: flat
// colour patches of known values, neutral steps, gradients and fine detail.
// The zone plate: neutral rings around the centre whose frequency grows in
// proportion to the distance, to measure resolution and false colour. The
// face: the red-eye library's synthetic face, whose pupils are red discs.
// Colours are linear, 16 bits per channel (65535 is full scale), and depend
// only on the position, so any part of a scene can be made again exactly.
#pragma once

#include "EyemendFace.h"
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

enum class QrfSceneKind { Chart, ZonePlate, Face };

bool QrfParseScene(const char* name, QrfSceneKind* kind);

class CQrfScene {
public:
    CQrfScene(long width, long height, QrfSceneKind kind = QrfSceneKind::Chart);

    long Width() const { return m_width; }
    long Height() const { return m_height; }
    QrfRgb At(long x, long y) const;
    // The colour patches and neutral steps, each flat over its rectangle.
    const std::vector<QrfPatch>& Patches() const { return m_patches; }

    // The zone plate's rings are centred on (Width() / 2, Height() / 2);
    // their frequency grows with the distance, to 0.5 cycles per pixel at
    // five sixths of the way to the nearer edges (0.6 at the edges): the
    // distance from the centre at which they have `cyclesPerPixel`.
    double ZoneRadiusFor(double cyclesPerPixel) const;

private:
    QrfRgb Gradient(long x, long y) const;
    QrfRgb Detail(long x, long y) const;
    QrfRgb ZonePlate(long x, long y) const;
    QrfRgb Face(long x, long y) const;

    long m_width;
    long m_height;
    QrfSceneKind m_kind;
    long m_patchBottom;    // rows above: colour patches
    long m_stepsBottom;    // then neutral steps
    long m_gradientBottom; // then gradients, then fine detail
    std::vector<QrfPatch> m_patches;
    std::vector<QrfPatch> m_cells; // whole cells, the patches' colours up to the edges
    EyemendFace m_face;            // the face's layout, for the face scene
};
