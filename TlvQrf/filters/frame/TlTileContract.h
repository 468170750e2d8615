// What a filter that makes pixels hands to the tile walk of CTlFilter, and
// what the walk hands back for each source tile that the output tile needs.
#pragma once

#include "filters/frame/TlFunctionRef.h"
#include "filtrix/KelvraFilterBase.h"

// The system's own text for a source format a filter cannot process.
extern const char kTlBadSourceColorSpace[];

// How a refused source format is reported: code 1010 or the text above.
enum class TlFormatRejection { Code, Text };

struct CTlFormatCheck {
    // Null accepts every format.
    bool (*accepts)(KelvraPixelFormat format) = nullptr;
    TlFormatRejection rejection = TlFormatRejection::Code;
};

// The output tile being made, locked for the whole walk.
struct CTlTileTarget {
    KelvraRect toFill;
    KelvraRect full;                     // the tile's whole rectangle: where its buffer starts
    CKelvraFilterBase::CPixelPtr pixels; // the buffer, in the output format
    KelvraPixelFormat format;            // of the output
    IKelvraDataSource* source;           // the first source
    KelvraPixelFormat sourceFormat;
    long sourceWidth;
    long sourceHeight;

    // Output pixel (x, y), in image coordinates.
    unsigned char* At(long x, long y) const { return pixels.At(x - full.left, y - full.top); }
};

// One locked source tile.
struct CTlSourceTile {
    const unsigned char* data = nullptr; // the top-left pixel of tileRect
    KelvraRect tileRect;
    KelvraRect overlap; // the part of the tile inside the needed source rectangle
    long rowBytes = 0;
    long pixelBytes = 0;

    // Source pixel (x, y), in image coordinates; (x, y) must lie in tileRect.
    const unsigned char* At(long x, long y) const
    {
        return data + (y - tileRect.top) * rowBytes + (x - tileRect.left) * pixelBytes;
    }
};

// Processes one source tile's overlap into the target; returns an error
// chain tagged by the filter, null on success.
using TlTileWorker = TlFunctionRef<IKelvraError*(const CTlTileTarget& target, const CTlSourceTile& sourceTile)>;
// Fills the whole rectangle of the target from its source; returns an error
// chain tagged by the filter, null on success.
using TlTargetWorker = TlFunctionRef<IKelvraError*(const CTlTileTarget& target)>;
// The source rectangle the target needs (a neighbourhood filter grows it);
// without one the walk reads the rectangle to fill.
using TlNeededSource = TlFunctionRef<KelvraRect(const CTlTileTarget& target)>;
