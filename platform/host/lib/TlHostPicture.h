// Picture files through the framework's loader and saver: tags alone, a
// whole picture as an 8-bit image, a scaled copy, a JPEG written.
#pragma once

#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"
#include "pellio/Pellio.h"
#include "pellio/PellioOwners.h"

#include <functional>
#include <memory>

struct TlReleaseImage {
    void operator()(IKelvraImage* image) const { image->Release(); }
};
using TlImagePtr = std::unique_ptr<IKelvraImage, TlReleaseImage>;

// Reads the file's structure and tags (nothing of its pixels).
IKelvraError* TlReadPictureTags(const char* path, IKelvraTagControl* tags, KelvraFileInfo* info);

// Loads the main picture whole into a new image of `manager`. `keepGoing`
// (may be empty) hears the rows done and in all after each band and stops
// the load with error 1100 when it answers false.
IKelvraError* TlLoadPicture(IKelvraManager* manager, const char* path, TlImagePtr* image,
                            const std::function<bool(long, long)>& keepGoing = {});

// A new image of `width` x `height` from `source`, 8 bits per channel.
IKelvraError* TlScalePicture(IKelvraManager* manager, IKelvraImage* source, long width, long height,
                             TlImagePtr* scaled);

IKelvraError* TlSaveJpeg(IKelvraDataSource* source, const char* path, int quality);
