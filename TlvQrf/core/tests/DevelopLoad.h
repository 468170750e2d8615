// A raw, JPEG or TIFF file loaded as a host loads it: into the image
// attributes of a control the host made, or into attributes of its own.
#pragma once

#include "settings/holders/TlvImageAttributes.h"

#include <memory>
#include <string>

class IKelvraImage;
class IKelvraTagControl;

// CreateObject, BeginLoad, ExecuteLoad until finished, FinishLoad; false
// when a step fails or the load gave no image or tags.
bool LoadInto(CTlvImageAttributes& attributes, const std::string& path);

class ILoadedImage {
public:
    virtual ~ILoadedImage() = default;
    virtual IKelvraImage* Image() const = 0;
    virtual IKelvraTagControl* Tags() const = 0;
};

// LoadInto attributes of the result's own; null when it fails. The result
// owns the image and the tags.
std::unique_ptr<ILoadedImage> LoadImageFile(const std::string& path);
