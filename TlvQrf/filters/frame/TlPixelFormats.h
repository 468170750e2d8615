// The pixel format words this library's filters test, and what a word says
// about its samples. Bits 24-31 hold the bits per sample, bits 17-23 the
// number of planes.
#pragma once

#include "kelvra/KelvraTypes.h"

enum : KelvraPixelFormat {
    kTlFormatBitmap = kKelvraBitmap,      // 0x01020001
    kTlFormatGrey8 = kKelvraGrey8,        // 0x08020001
    kTlFormatGrey16 = kKelvraGrey16,      // 0x10020001
    kTlFormatRgb8 = kKelvraRGB8,          // 0x08060201
    kTlFormatRgb16 = kKelvraRGB16,        // 0x10060201
    kTlFormatThree8First = 0x08060203,    // three-sample layouts some filters treat like RGB
    kTlFormatThree8Last = 0x08060205,
    kTlFormatThree16First = 0x10060203,
    kTlFormatThree16Last = 0x10060205,
    kTlFormatCmyk8 = kKelvraCMYK8,        // 0x08080202
};

struct TlSampleLayout {
    unsigned bitsPerSample;
    unsigned planes;
};

// Bits per sample and planes of a format word (no check that it is one of
// the named ones).
TlSampleLayout TlSampleLayoutOf(KelvraPixelFormat format);

// 8- or 16-bit RGB.
bool TlIsRgb(KelvraPixelFormat format);
// RGB or one of the three-sample layouts that are read like it.
bool TlIsRgbLike(KelvraPixelFormat format);
