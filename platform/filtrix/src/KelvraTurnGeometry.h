// The geometry of the transform filter: a left-right mirror of the source,
// then a clockwise turn (on screen, y pointing down) about the image centre,
// into the bounding box of the turned image.
#pragma once

#include "filtrix/KelvraGeometryFilter.h"

// `degrees` brought into [0, 360).
double KelvraNormalizedAngle(double degrees);

struct KelvraTurn {
    bool flip = false;
    bool quarter = true; // a multiple of 90 degrees: pixels move whole
    double cosine = 1.0; // exact for quarter turns
    double sine = 0.0;
};

KelvraTurn KelvraTurnOf(bool flip, double degrees);

// The output size and the source-to-output mapping of `turn` for a source
// of `sourceWidth` x `sourceHeight`.
void KelvraTurnOutput(const KelvraTurn& turn, long sourceWidth, long sourceHeight, long* width, long* height,
                      CKelvraGeometryFilter::CMapping* mapping);
