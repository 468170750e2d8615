// The separable blur that makes the unsharp mask.
#pragma once

#include "UnsharpMaskKernel.h"

#include "kelvra/KelvraTypes.h"

#include <vector>

// One plane of samples covering `area`, row after row.
struct UsmPlane {
    KelvraRect area;
    std::vector<float> samples;
};

// The mask over `target`, row after row: `plane` blurred along x with
// `alongX`, then along y with `alongY`. Pixels outside `plane.area` repeat
// its nearest edge pixel, so `area` must hold every pixel of the image that
// the kernels reach from `target`. Throws std::bad_alloc.
std::vector<float> UsmBlur(const UsmPlane& plane, const KelvraRect& target, const UsmKernel& alongX,
                           const UsmKernel& alongY);
