// The filter side of the image editor's plug-in interface, as the host and
// the plug-ins of this project use it: the selectors, the results, the
// parameter record with its procedures, and the entry every plug-in file
// exports as "ENTRYPOINT". Fields that carry a pointer or a handle are
// pointer-sized.
#pragma once

#include <cstdint>

// The one calling convention of the entry and of every procedure in the
// records, for host and plug-ins alike.
#define PS_API __cdecl

typedef std::int16_t PsResult;
// A block of bytes the host hands out through the handle procedures.
typedef void* PsHandle;
// The index of a buffer handed out through the buffer procedures.
typedef std::intptr_t PsBufferId;
// 16.16 fixed point.
typedef std::int32_t PsFixed;

constexpr PsFixed kPsFixedOne = 0x10000;

// Selectors of the entry. 11 to 13 are this host's own: 13 is sent once
// after every load before anything else, 12 runs the plug-in over its filter
// rectangle (it asks for its input itself through advance state), and 11
// filters the input and output the host has just delivered.
enum : std::int16_t {
    kPsSelectorAbout = 0,
    kPsSelectorParameters = 1,
    kPsSelectorPrepare = 2,
    kPsSelectorStart = 3,
    kPsSelectorFinish = 5,
    kPsSelectorContinueDelivered = 11,
    kPsSelectorRun = 12,
    kPsSelectorInitialise = 13,
};

// Results (0 is success).
enum : PsResult {
    kPsNoError = 0,
    kPsReportString = -30904, // the record's error string says what failed
    kPsOutOfMemory = -108,
    kPsNoSource = -1715,
    kPsBadParameter = -50,
    kPsFileMissing = -23,
    kPsNothingLoaded = -28,
    kPsNoEntry = -109,
};

// Image modes.
enum : std::int16_t {
    kPsModeBitmap = 0,
    kPsModeGrey = 1,
    kPsModeRGB = 3,
    kPsModeCMYK = 4,
    kPsModeGrey16 = 10,
    kPsModeRGB16 = 11,
};

// How the plug-in wants its output laid out: each pixel's samples together,
// or the planes one after another (rows of columns * bytes per sample each).
enum : std::int16_t {
    kPsLayoutInterleaved = 0,
    kPsLayoutPlanar = 1,
};

// The host signature in the record.
constexpr std::uint32_t kPsHostSignature = 0x3842494D; // '8BIM'

struct PsRect {
    std::int32_t top;
    std::int32_t left;
    std::int32_t bottom;
    std::int32_t right;
};

struct PsPoint {
    std::int32_t v;
    std::int32_t h;
};

// Pixels the plug-in asks the host to display.
struct PsPixelMap {
    std::int32_t version;
    PsRect bounds;
    std::int32_t imageMode;
    std::int32_t rowBytes;
    std::int32_t colBytes;
    std::int32_t planeBytes;
    void* baseAddr;
};

// A colour services request; selector 1 converts between two spaces.
struct PsColorServicesInfo {
    std::int32_t infoSize;
    std::int16_t selector;
    std::int16_t sourceSpace;
    std::int16_t resultSpace;
    std::int16_t reserved;
    std::int16_t colorComponents[4];
};

constexpr std::int16_t kPsColorConvert = 1;

// The platform data: the window the plug-in may own its dialogs by.
struct PsPlatformData {
    std::intptr_t hwnd;
};

typedef std::uint8_t(PS_API* PsTestAbortProc)();
typedef void(PS_API* PsProgressProc)(std::int32_t done, std::int32_t total);
typedef void(PS_API* PsHostProc)(std::int16_t selector, std::intptr_t* data);
typedef std::int16_t(PS_API* PsProcessEventProc)(void* event);
typedef PsResult(PS_API* PsDisplayPixelsProc)(const PsPixelMap* source, const PsRect* sourceRect,
                                              std::int32_t destinationRow, std::int32_t destinationColumn,
                                              void* platformContext);
typedef PsResult(PS_API* PsAdvanceStateProc)();
typedef PsResult(PS_API* PsColorServicesProc)(PsColorServicesInfo* info);
// What the record's procedures not offered by this host point to.
typedef std::int32_t(PS_API* PsUnofferedProc)();

typedef PsResult(PS_API* PsAllocateBufferProc)(std::int32_t size, PsBufferId* id);
typedef void*(PS_API* PsLockBufferProc)(PsBufferId id, std::uint8_t moveHigh);
typedef void(PS_API* PsUnlockBufferProc)(PsBufferId id);
typedef void(PS_API* PsFreeBufferProc)(PsBufferId id);
typedef std::int32_t(PS_API* PsBufferSpaceProc)();

constexpr std::int16_t kPsBufferProcsVersion = 2;
constexpr std::int16_t kPsBufferProcsCount = 5;

struct PsBufferProcs {
    std::int16_t version;
    std::int16_t count;
    PsAllocateBufferProc allocateProc;
    PsLockBufferProc lockProc;
    PsUnlockBufferProc unlockProc;
    PsFreeBufferProc freeProc;
    PsBufferSpaceProc spaceProc;
};

typedef PsHandle(PS_API* PsNewHandleProc)(std::int32_t size);
typedef void(PS_API* PsDisposeHandleProc)(PsHandle handle);
typedef std::int32_t(PS_API* PsGetHandleSizeProc)(PsHandle handle);
typedef PsResult(PS_API* PsSetHandleSizeProc)(PsHandle handle, std::int32_t size);
typedef void*(PS_API* PsLockHandleProc)(PsHandle handle, std::uint8_t moveHigh);
typedef void(PS_API* PsUnlockHandleProc)(PsHandle handle);
typedef void(PS_API* PsRecoverSpaceProc)(std::int32_t size);

constexpr std::int16_t kPsHandleProcsVersion = 1;
// The filter host offers the first seven procedures; the file-format host
// all eight.
constexpr std::int16_t kPsHandleProcsCount = 7;
constexpr std::int16_t kPsHandleProcsCountFull = 8;

struct PsHandleProcs {
    std::int16_t version;
    std::int16_t count;
    PsNewHandleProc newProc;
    PsDisposeHandleProc disposeProc;
    PsGetHandleSizeProc getSizeProc;
    PsSetHandleSizeProc setSizeProc;
    PsLockHandleProc lockProc;
    PsUnlockHandleProc unlockProc;
    PsRecoverSpaceProc recoverSpaceProc;
    PsDisposeHandleProc disposeRegularProc;
};

// Room for a length byte and 255 characters.
typedef unsigned char PsErrorString[256];

// The parameter record of the filter selectors. Set-image fills the image
// description, begin-filter the rectangles, planes and tile sizes, the
// plug-in sets the rectangles it wants before advance state, which fills
// the data pointers.
struct PsFilterRecord {
    PsTestAbortProc abortProc;
    PsProgressProc progressProc;
    PsHandle parameters;

    PsPoint imageSize; // rows (v) and columns (h)
    std::int16_t planes;
    std::int16_t imageMode;
    std::int16_t depth; // bits per sample: 8 or 16
    std::int16_t wantLayout;
    PsFixed imageHRes;
    PsFixed imageVRes;
    PsFixed scale; // the caller's scale of the image, for the plug-in's own use
    std::uint8_t backColor[4];
    std::uint8_t foreColor[4];
    std::uint32_t hostSig;

    PsRect filterRect;
    PsRect inRect;
    std::int16_t inLoPlane;
    std::int16_t inHiPlane;
    PsRect outRect;
    std::int16_t outLoPlane;
    std::int16_t outHiPlane;
    PsRect maskRect;
    PsFixed inputRate;
    PsFixed maskRate;

    void* inData;
    std::int32_t inRowBytes;
    std::int32_t outRowBytes;
    void* outData;
    void* maskData;
    std::int32_t maskRowBytes;
    std::int32_t bufferSpace;

    std::int16_t inTileHeight;
    std::int16_t inTileWidth;
    PsPoint inTileOrigin;
    std::int16_t outTileHeight;
    std::int16_t outTileWidth;
    PsPoint outTileOrigin;
    std::int16_t maskTileHeight;
    std::int16_t maskTileWidth;
    PsPoint maskTileOrigin;

    PsHostProc hostProc;
    PsProcessEventProc processEvent;
    PsDisplayPixelsProc displayPixels;
    PsAdvanceStateProc advanceState;
    PsColorServicesProc colorServices;
    PsBufferProcs* bufferProcs;
    PsHandleProcs* handleProcs;
    PsUnofferedProc resourceProc;
    PsUnofferedProc propertyProc;

    PsPlatformData* platformData;
    PsErrorString* errorString;
};

// The record of selector 0.
struct PsAboutRecord {
    PsPlatformData* platformData;
    PsHostProc hostProc;
    std::uint32_t hostSig;
};

// The entry every plug-in file exports as "ENTRYPOINT". `record` is the
// PsFilterRecord, or the PsAboutRecord for selector 0; `data` is the
// plug-in's own word, kept by the host between calls.
typedef void(PS_API* PsEntryProc)(std::int16_t selector, void* record, std::intptr_t* data, PsResult* result);
