// The registered image objects of a set of image attributes, as loads
// take and drop them.
#pragma once

#include "settings/holders/TlvImageAttributes.h"

class IKelvraImage;

// Drops the images of an earlier load (image with its temporary profile
// file, sub-images, second image) and, with the image's last use, the
// profile buffer. The tag control stays.
void ReleaseLoadedImages(CTlvImageAttributes& attributes);

// Makes `image` the attributes' image: the current one is released through
// the registry (`releaseOld` frees it at its last use, with its temporary
// profile file), the new one registered.
void ReplaceMainImage(CTlvImageAttributes& attributes, IKelvraImage* image, bool releaseOld);
