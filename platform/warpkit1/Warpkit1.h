// Warpkit1: the image engine behind the Revelation filter. It runs in two
// passes over an image it never sees directly: a statistics pass that
// measures the source's mean brightness over blocks into a 16-bit grey
// statistics image, and a rendering pass that corrects the tones of the
// source, band by band, relative to those local means. Pixels move only
// through the two row callbacks and memory only through the three memory
// callbacks that the caller puts into the parameter record; the caller also
// drives the work, slice by slice. See docs/warpkit1.md.
#pragma once

#include <cstddef>
#include <cstdint>

extern "C" {

// Results of the calls that return one.
enum : int {
    kWKITOk = 0,
    kWKITNotLoaded = -2,      // WKITLoad was not called
    kWKITBadHandle = -3,      // null or deleted handle
    kWKITBadRecord = -4,      // a record of the wrong size, version or content
    kWKITBadState = -5,       // the call does not fit the pass's state
    kWKITCallbackFailed = -16, // a callback failed: its error is in the message's callbackError
    kWKITMessage = -19,       // the message's text says what went wrong
};

// Passes, as the parameter record names them.
enum : std::int32_t {
    kWKITStatisticsPass = 0,
    kWKITRenderPass = 1,
};

// Engine kinds WKITNew accepts.
enum : int {
    kWKITFirstKind = 2,
    kWKITLastKind = 11,
};

// The statistics image holds one sample per block of this many pixels a side.
enum : std::int32_t { kWKITBlockSize = 32 };
// Pixels around each band that the rendering pass reads.
enum : std::int32_t { kWKITBandMargin = 24 };

typedef struct WKITEngine* WKITHandle;

// Whatever a callback answers: null is success; anything else is the
// caller's own error object, which the engine hands back untouched.
typedef void* WKITCallbackResult;

#pragma pack(push, 4)

typedef struct WKITRect {
    std::int32_t left, top, right, bottom;
} WKITRect;

// Rows of `rect` as consecutive 16-bit planes, each (right - left) x
// (bottom - top) samples row by row: red, green, blue, then a fourth plane
// when the pass has a second input. A grey image reads as three equal
// planes and takes plane 0 when written.
typedef WKITCallbackResult (*WKITReadRows)(const WKITRect* rect, std::uint16_t* planes, void* context);
typedef WKITCallbackResult (*WKITWriteRows)(const WKITRect* rect, const std::uint16_t* planes, void* context);
typedef WKITCallbackResult (*WKITAllocate)(void** block, std::size_t size);
typedef WKITCallbackResult (*WKITRelease)(void* block);
// The size the engine should take for a buffer that needs `minimum` and
// would like `wish` bytes.
typedef WKITCallbackResult (*WKITSuggest)(std::size_t minimum, std::size_t wish, std::size_t reserved,
                                          std::size_t* size);

// A pointer kept in 8 bytes on every target, so records have one layout.
#define WKIT_SLOT(type, name)                                                                                      \
    union {                                                                                                        \
        type name;                                                                                                 \
        std::uint64_t name##Slot;                                                                                  \
    }

// One image the engine reads or writes through the row callbacks.
typedef struct WKITImageRecord {
    WKIT_SLOT(void*, context); // handed to the row callbacks
    std::int32_t width, height;
    WKITRect region; // the part the pass covers; for the output, where the band goes
    std::int32_t streaming;
} WKITImageRecord;

typedef struct WKITParameters {
    std::int32_t size;          // sizeof(WKITParameters), 284
    std::int32_t version;       // 1
    std::int32_t sampleBits;    // 16: the row callbacks' sample size
    std::int32_t inputCount;    // 1, or 2 with a second source
    std::int32_t resolution;    // of the source, in dpi
    std::int32_t lastRow;       // source height - 1
    std::int32_t flag;          // the caller's engine option
    std::int32_t pass;          // kWKITStatisticsPass or kWKITRenderPass
    WKIT_SLOT(WKITReadRows, read);
    WKIT_SLOT(WKITWriteRows, write);
    WKIT_SLOT(WKITAllocate, allocate);
    WKIT_SLOT(WKITRelease, release);
    WKIT_SLOT(WKITSuggest, suggest);
    WKIT_SLOT(const WKITImageRecord*, input);      // the source and the pass's region
    WKIT_SLOT(const WKITImageRecord*, statistics); // rendering: the statistics image
    WKIT_SLOT(const WKITImageRecord*, output);     // rendering: where the band goes
    WKIT_SLOT(const WKITImageRecord*, work);       // rendering: the band with its margin
    // Rendering: -1, -1, then the shadow strength, the pivot and the
    // highlight strength (0..255 scale).
    std::int32_t values[5];
    std::uint8_t reserved[160];
} WKITParameters;

// What WKITInit reports: the statistics image the pass needs.
typedef struct WKITOutputDescription {
    std::int32_t statisticsWidth;
    std::int32_t statisticsHeight;
} WKITOutputDescription;

typedef struct WKITMessage {
    char text[256];
    WKIT_SLOT(void*, callbackError); // with kWKITCallbackFailed
} WKITMessage;

#pragma pack(pop)

static_assert(sizeof(WKITParameters) == 284, "the parameter record is 284 bytes");
static_assert(sizeof(WKITImageRecord) == 36, "image records have one layout");

int WKITLoad();
int WKITUnload();
// A new engine of `kind` (2 to 11); null when not loaded, for another kind
// or when out of memory. The other two arguments are reserved (0).
WKITHandle WKITNew(int kind, int reservedA, int reservedB);
int WKITDelete(WKITHandle handle);
// Starts a pass: reads the parameter record and the images it names and
// reports the statistics image's size.
int WKITInit(WKITHandle handle, const WKITParameters* parameters, WKITOutputDescription* output,
             WKITMessage* message);
// The statistics image the statistics pass writes.
int WKITSetStatisticsImageInfo(WKITHandle handle, const WKITImageRecord* statistics);
int WKITBegin(WKITHandle handle, WKITMessage* message);
// Does about `slice` rows of the pass; `percent` is the part of the pass done.
int WKITProcess(WKITHandle handle, int slice, int* percent, WKITMessage* message);
// Non-zero once the pass has done everything.
int WKITComplete(WKITHandle handle);
int WKITEnd(WKITHandle handle, WKITMessage* message);
int WKITAbort(WKITHandle handle, WKITMessage* message);

} // extern "C"
