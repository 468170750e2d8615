// Rawlibps: the raw-processing library of the raw-format plug-in
// (docs/rawlibps.md). Two objects:
//
// - ITlnProcessRawVendor1, the vendor source: develops the raw mosaics of
//   the signal-processing cameras (pixel formats 0x10020403 and 0x10020404,
//   camera model codes 513 to 516) through the signal-processing library's
//   `sig_proc_ex`, and is a data source of the developed 16-bit RGB.
// - ITlnFilterChain: turns a developed picture (or a raw image that needs
//   no demosaicing) into 8-bit output with white balance, exposure, a tone
//   curve and the working colour space, scaled and oriented as configured,
//   and renders rows of it into a caller's buffer.
//
// Every failure is an imaging-framework error chain; null is success.
#pragma once

#include "kelvra/KelvraData.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"
#include "kelvra/KelvraTagControl.h"
#include "pellio/KelvraLoad.h"

#include <cstdint>

// Source tag of the library's errors.
constexpr KelvraTag kTlnErrorTag = KelvraFourCC('R', 'l', 'p', 's');

// Options of the vendor source and the chain.
enum : long {
    kTlnOptionWhiteBalance = 2, // TlnWhiteBalance; sub-value 1: the edited flag (std::int32_t)
    kTlnOptionExposure = 3,     // double, EV
};
enum : long {
    kTlnSubValueMain = 0,
    kTlnSubValueEdited = 1,
};

// Option 2: a white-balance code (0 as shot) and a colour temperature in
// kelvin (0 for none).
struct TlnWhiteBalance {
    std::int32_t code;
    std::int32_t temperature;
};

class ITlnProcessRawVendor1 {
public:
    // A vendor source on `manager`; *vendor is set only on success.
    static IKelvraError* CreateObject(IKelvraManager* manager, ITlnProcessRawVendor1** vendor);
    // The signal-processing library file the sources load (a full path);
    // null restores the bare name "Sigcore.dll". Process-wide.
    static void SetLibraryPath(const char* path);

    // The raw file's loader (for the file's alternative mosaic), its tags
    // (gains, maker table) and the loaded raw image, which stays the
    // caller's and must outlive the source.
    virtual IKelvraError* Connect(IKelvraLoad* load, IKelvraTagControl* tags, IKelvraImage* raw) = 0;
    // Develops now, when anything changed since the last development.
    virtual IKelvraError* Process() = 0;
    virtual IKelvraError* SetOption(long option, long subValue, const void* value, long size) = 0;
    virtual IKelvraError* GetOption(long option, long subValue, void* value, long size) = 0;
    // Back to the value as shot.
    virtual IKelvraError* ResetOption(long option) = 0;
    // The developed picture: 16-bit RGB holding display-ready (toned) values.
    virtual IKelvraDataSource* GetSource() = 0;
    virtual void Release() = 0;

protected:
    virtual ~ITlnProcessRawVendor1() = default;
};

// What the chain answers of the picture it makes.
struct TlnImageDescription {
    long imageIndex;
    long width;
    long height;
    KelvraPixelFormat pixelFormat;
    long orientation; // degrees the picture is turned (0 as developed)
};

// The output the caller wants: its size after orientation, 1 or 2 bytes per
// sample, the colour space (1 RGB, 2 grey) and the EXIF orientation code
// (8 turns the picture right by 90 degrees, 3 by 180, 6 by 270).
struct TlnOutputSetup {
    long imageIndex;
    long width;
    long height;
    long bytesPerSample;
    long colorSpace;
    long orientation;
};

// How RenderRows reads the output.
enum : long {
    kTlnRenderFull = 0,
    kTlnRenderPreview = 1,
    kTlnRenderRect = 2,
};

class ITlnFilterChain {
public:
    static IKelvraError* CreateObject(ITlnFilterChain** chain);

    // The manager, the developed input and the raw file's tags (which say
    // how the input was developed, its colour space and any settings the
    // file carries: tag 0x80E01).
    virtual IKelvraError* Initialize(IKelvraManager* manager, IKelvraDataSource* input,
                                     IKelvraTagControl* tags) = 0;
    virtual IKelvraError* Describe(TlnImageDescription* description) = 0;
    virtual IKelvraError* GetOption(long option, long subValue, void* value, long size) = 0;
    virtual IKelvraError* SetOption(long option, long subValue, const void* value, long size) = 0;
    virtual IKelvraError* ResetOption(long option) = 0;
    virtual IKelvraError* ConfigureOutput(const TlnOutputSetup& setup) = 0;
    // Back to the developed size, format and orientation.
    virtual IKelvraError* ResetOutput() = 0;
    // Takes `source` as the input from now on.
    virtual IKelvraError* Connect(IKelvraDataSource* source) = 0;
    // The working colour space: 1 sRGB, 2 Adobe RGB; an error when the
    // picture names none.
    virtual IKelvraError* GetColorSpace(long* space) = 0;
    // Renders `rect` of the output into `buffer` (rows `rowBytes` apart).
    virtual IKelvraError* RenderRows(long mode, const KelvraRect& rect, void* buffer, long rowBytes) = 0;
    virtual void Release() = 0;

protected:
    virtual ~ITlnFilterChain() = default;
};
