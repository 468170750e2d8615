// The sensitivity a picture was taken at, as the key of the De-Bayer
// tuning block.
#pragma once

class IKelvraTagControl;

enum : int {
    kTlSensitivityExtendedHigh = -1, // twice the camera's top setting
    kTlSensitivityExtendedTop = -2,  // four times the camera's top setting
};

// The sensitivity, one of the two extended settings, or 0 when the tag
// cannot be read or names neither.
int GetSensitivityCode(const IKelvraTagControl* tags);
