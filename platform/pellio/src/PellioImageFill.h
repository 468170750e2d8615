// Filling framework images from a file's pictures.
#pragma once

#include "PellioPicture.h"
#include "kelvra/KelvraImage.h"

// Gives `image` the picture's size, pixel format and resolution, dropping
// any rows it held.
IKelvraError* PellioPrepareImage(IKelvraImage* image, const PellioPictureInfo& info);
// Appends band `band` of `picture` to `image`; `rows` is scratch space.
IKelvraError* PellioAppendBand(IKelvraImage* image, CPellioPicture& picture, long band,
                               std::vector<std::uint8_t>* rows);
