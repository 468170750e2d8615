// The six-value develop block of the cameras whose raw data the
// signal-processing library develops, made from the edit settings.
#pragma once

class CTlvParamSet;

// Order of the values in the block.
enum TlDevelopValue {
    kTlDevelopRedGain = 0,
    kTlDevelopBlueGain = 1,
    kTlDevelopSharpening = 2,
    kTlDevelopTone = 3,
    kTlDevelopExposure = 4,
    kTlDevelopToneValue = 5,
};

// Brings the image's block (and its white balance) in line with `params`;
// with `apply` the changed block is handed to the image, which tells its
// destinations when `notify` is set. True when a value changed (and, when
// applied, the image took it). False, touching nothing, unless the set is
// raw, of a signal-processing camera and its image is a raw-processing image.
bool UpdateDevelopParams(CTlvParamSet& params, bool apply, bool notify);
