// Small checks and readings that the library core's load and save tasks
// make while they open a picture: whether its pixel format can be
// developed, the camera model code from its tags, and the scale between the
// two mosaic sources of a raw-processing image.
#pragma once

#include "settings/loadpath/TlLoadTaskAccess.h"

#include <cstdint>

class ISigProcImageSources;

// Results of ReadImageFormat.
enum : int {
    kTlImageFormatSupported = 0,
    kTlImageFormatUnsupported = -230,
    // Raw mosaic data of a camera whose model code is not known (0).
    kTlImageFormatUnknownCamera = -231,
    // The loader could not describe the picture, or the picture cannot tell
    // its pixel format.
    kTlImageFormatUnreadable = -234,
};

// Asks `loader` to describe the picture (in full, then once more without
// progress reports when that fails), keeps the description's results in the
// task and checks the picture's pixel format. `unused` is not looked at.
int ReadImageFormat(ITlLoadTaskAccess& task, const void* unused, IKelvraLoad* loader);

// The camera model code the tags report; 0 without tags or when they fail.
std::uint16_t GetShortTagValue(const IKelvraTagControl* tags);

// The smaller of the width and height ratios of the second source to the
// first; -1 when a size is missing, 0 or negative. Leaves the first source
// selected, without notification.
double GetMinScaleRatio(ISigProcImageSources* image);
