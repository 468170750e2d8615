#include "load/TlAttributeImages.h"

#include "load/TlLiveObjects.h"
#include "settings/holders/TlvControlSettings.h"

namespace {

const char* TemporaryFileOf(const TlvRegisteredImages& images)
{
    return images.hasTemporaryFile ? images.temporaryFile : nullptr;
}

void ForgetTemporaryFile(TlvRegisteredImages& images)
{
    images.hasTemporaryFile = 0;
    images.temporaryFile[0] = '\0';
}

} // namespace

void ReleaseLoadedImages(CTlvImageAttributes& attributes)
{
    TlvRegisteredImages& images = attributes.images;
    const bool lastUse =
        images.image == nullptr || ReleaseRegisteredImage(images.image, TemporaryFileOf(images), true) == 0;
    images.image = nullptr;
    ForgetTemporaryFile(images);
    for (const TlvSubImage& sub : images.subImages)
        ReleaseRegisteredImage(sub.image, nullptr, true);
    images.subImages.clear();
    ReleaseRegisteredImage(images.secondImage, nullptr, true);
    images.secondImage = nullptr;
    // The buffer goes with the image, which another holder may still use.
    if (lastUse)
        delete[] images.buffer;
    images.buffer = nullptr;
    images.bufferSize = 0;
    images.bufferWord = 0;
}

void ReplaceMainImage(CTlvImageAttributes& attributes, IKelvraImage* image, bool releaseOld)
{
    TlvRegisteredImages& images = attributes.images;
    RegisterImage(image);
    ReleaseRegisteredImage(images.image, releaseOld ? TemporaryFileOf(images) : nullptr, releaseOld);
    if (releaseOld)
        ForgetTemporaryFile(images);
    images.image = image;
}
