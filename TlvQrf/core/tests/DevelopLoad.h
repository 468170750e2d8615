// A raw, JPEG or TIFF file loaded as a host loads it, into image attributes
// of its own. Kept apart from the image control's headers, which know the
// attributes only as the control's settings holder.
#pragma once

#include <memory>
#include <string>

class CTlvControlSettings;
class IKelvraImage;
class IKelvraTagControl;

class ILoadedImage {
public:
    virtual ~ILoadedImage() = default;
    virtual IKelvraImage* Image() const = 0;
    virtual IKelvraTagControl* Tags() const = 0;
    // What the load put into the settings holder: the raw flag, the
    // geometry and the rest.
    virtual const CTlvControlSettings& Holder() const = 0;
};

// CreateObject, BeginLoad, ExecuteLoad until finished, FinishLoad; null
// when a step fails. The result owns the image and the tags.
std::unique_ptr<ILoadedImage> LoadImageFile(const std::string& path);
