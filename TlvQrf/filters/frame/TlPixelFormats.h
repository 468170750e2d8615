// The pixel format words this library's filters test, and what a word says
// about its samples. Bits 24-31 hold the bits per sample, bits 17-23 the
// number of planes.
#pragma once

#include "kelvra/KelvraTypes.h"

// The three-sample layouts some filters read like RGB run from the
// framework's LCh formats to these, which the framework leaves unnamed.
enum : KelvraPixelFormat {
    kTlThreeSample8Last = 0x08060205,
    kTlThreeSample16Last = 0x10060205,
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

// 8- or 16-bit lightness, chroma and hue.
bool TlIsLch(KelvraPixelFormat format);
