// What a finished load adds to the image attributes: the signal-processing
// image, the sub-images, the file format, the size record with resolution
// and orientation, the stored edit settings, the IPTC record, the embedded
// profile's temporary copy and the raw-format check.
#pragma once

#include "settings/holders/TlvImageAttributes.h"

#include <cstdint>

class IKelvraLoad;
class IKelvraManager;

struct STlLoadOutcome {
    CTlvImageAttributes& attributes;
    IKelvraManager* manager;
    IKelvraLoad* loader;
    bool raw;
    bool keepGeometry;
    bool loadSubImages;
    bool complete;
    // Bytes of the loaded file, which bound the sub-image count it reports.
    std::int64_t fileBytes;
};

// A load code: 0, -252 when the signal-processing image cannot be made,
// -242 when an image step fails, -234 for a raw format code the library
// does not know.
long CompleteAttributes(const STlLoadOutcome& outcome);
