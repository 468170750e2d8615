// The callbacks the wrapper hands Warpkit1: rows in and out of framework
// images as consecutive 16-bit planes, and memory from the C run-time.
#pragma once

#include "kelvra/KelvraImage.h"
#include "warpkit1/Warpkit1.h"

// What the row callbacks reach through their context.
struct TlWarpkitImage {
    IKelvraDataSource* source = nullptr; // rows are read from it
    IKelvraDataSource* second = nullptr; // a fourth plane, when there is a second source
    IKelvraImage* image = nullptr;       // rows are written into it
};

// Red, green and blue planes of the source (8-bit samples v as v x 257; a
// grey source gives three equal planes), then the second source's plane.
WKITCallbackResult TlWarpkitReadRows(const WKITRect* rect, std::uint16_t* planes, void* context);
// The image takes plane 0 (grey) or planes 0 to 2 interleaved, 8-bit images
// the high byte; its destinations hear code 0 for the rectangle.
WKITCallbackResult TlWarpkitWriteRows(const WKITRect* rect, const std::uint16_t* planes, void* context);

WKITCallbackResult TlWarpkitAllocate(void** block, std::size_t size);
WKITCallbackResult TlWarpkitRelease(void* block);
// At least `minimum`, at most the wish or 32 MiB, whichever is smaller.
WKITCallbackResult TlWarpkitSuggest(std::size_t minimum, std::size_t wish, std::size_t reserved, std::size_t* size);
