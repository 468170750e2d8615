// The source profile of an image: a fixed profile by camera model and colour
// mode for ordinary images, the Exif rule that recognises Adobe RGB files,
// and for raw images the profile generated for the camera and its capture
// settings.
#pragma once

#include "colour/TlColourEngineManager.h"

#include <cstdint>
#include <string>

class IKelvraTagControl;
class IKelvraDataSource;
class ITlCameraProfileGenerator;

// What the choice reads of an image's parameter set.
struct TlSourceProfileFacts {
    IKelvraTagControl* tags = nullptr;       // the image's tags (Exif reads)
    IKelvraDataSource* pixelSource = nullptr; // gives the pixel-format word
    bool raw = false;
    std::uint16_t modelCode = 0;             // the camera's code from the tags
    bool hasAssignedProfile = false;
    std::string assignedProfile;             // full path
    bool adobeColourMode = false;            // the image's colour mode is the Adobe one
    // Raw images: the generator set up with the camera profile parameters
    // (null when they have none: no profile then; camera/
    // TlCameraSourceProfile.h attaches it for a parameter set), and
    // the custom-curve profile number when the tone compensation is the
    // user's custom curve (negative otherwise).
    ITlCameraProfileGenerator* cameraProfile = nullptr;
    long customCurveNumber = -1;
};

// True when the Exif version (a failed read counts as four zero bytes) is
// "0221" or later, compared byte by byte.
bool IsExifVersionAtLeast0221(const IKelvraTagControl* tags);

// True when the Exif tags describe Adobe RGB: version "0221" or later and
// every one of the colour space, white point, primaries, YCbCr
// coefficients and gamma reads and matches exactly.
bool IsAdobeRgbByExif(const IKelvraTagControl* tags);

// The source's pixel-format word; 0 without a source or when it cannot say.
std::uint32_t PixelFormatOrZero(IKelvraDataSource* source);
// A grey pixel format: its low 17 bits are 1.
inline bool IsGreyPixelFormat(std::uint32_t format)
{
    return (format & 0x1FFFF) == 1;
}

// The source profile's path; empty when a generated profile could not be made.
std::string ChooseSourceProfile(const TlSourceProfileFacts& facts);

// Picks the source profile (grey images "TLGrayG22.icm", an assigned
// profile as it is, otherwise ChooseSourceProfile), reports 16 or 8 bits per
// channel by the pixel format, and asks the engine manager for the pair.
// The manager's error goes to `why` as RequestEngine says.
bool RequestImageEngine(CCMLEngMgr::CReference& ref, const TlSourceProfileFacts& facts, const char* destination,
                        long* bitsPerChannel = nullptr, IKelvraError** why = nullptr);
