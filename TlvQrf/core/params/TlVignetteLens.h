// What the vignette correction reads of the lens from the image's tags: the
// six pupil bytes of the lens data and the f-number of the shot.
#pragma once

#include "filters/vignette/TlVignetteFilter.h"
#include "settings/lens/TlLensInformation.h"

#include <cstdint>

class IKelvraError;
class IKelvraTagControl;

// The sensor's diagonal in millimetres (one double).
constexpr std::uint32_t kTlSensorDiagonalTag = 0x8000A;
// A block of 8 bytes whose byte 2 tells that lens data were recorded.
constexpr std::uint32_t kTlLensSwitchTag = 0x80083;
constexpr std::uint32_t kTlLensSwitchSize = 8;
constexpr std::uint32_t kTlLensSwitchOffset = 2;
// The lens data, led by a four-character version.
constexpr std::uint32_t kTlLensDataTag = CTlLensInformation::kLensDataTag;
constexpr std::uint32_t kTlLensDataSize = CTlLensInformation::kLensDataSize;
// EXIF FNumber, stored as one double.
constexpr std::uint32_t kTlExifFNumberTag = 0x829D;
// f/5.6, assumed when the shot's own f-number is not known.
constexpr double kTlDefaultFNumber = 5.65685;

struct TlVignetteLens {
    double fNumber = kTlDefaultFNumber;
    bool hasLensData = false;
    std::uint8_t lensData[CVignetteFilter::kLensDataSize] = {};
};

// Fills `lens` from the tags: nothing unless the switch byte is on and the
// lens data can be read; then the f-number (kept when unreadable or not a
// usable f-number) and the six bytes the lens data's version places: "0100"
// bytes 13 to 18, "0101" bytes 4, 5 and 19 to 22. Lens data of any other
// version is an error with code 1013 (unsupported); the f-number read
// stays in `lens`. Unreadable tags are no error.
IKelvraError* ReadVignetteLens(const IKelvraTagControl* tags, TlVignetteLens* lens);

// The sensor diagonal from its tag; false when it cannot be read or is not
// a usable length.
bool ReadSensorDiagonal(const IKelvraTagControl* tags, double* diagonal);
