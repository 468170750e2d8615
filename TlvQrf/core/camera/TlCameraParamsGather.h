// Gathers the camera profile parameters of a raw image from its tags and
// edit settings. Unreadable tags take their defaults; nothing fails.
#pragma once

#include "camera/TlCameraProfileParams.h"

#include <cstdint>
#include <memory>

class CTlvParamSet;
class IKelvraTagControl;

struct TlGatheredParams {
    TlCameraProfileParams params;
    // The custom curve the parameters point to (tone compensation 16).
    std::unique_ptr<std::uint16_t[]> curve;
    // The number that names a custom-curve profile: a checksum of the
    // curve, so that each curve gets a file of its own; -1 without one.
    long customCurveNumber = -1;
};

void TlGatherCameraParams(const CTlvParamSet& set, TlGatheredParams* gathered);

// The brightness value of the exposure: Av + shutter term - Sv.
double TlBrightnessValue(const IKelvraTagControl* tags);
