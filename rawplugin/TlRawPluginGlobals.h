// The plug-in's globals: one record in the handle the image editor keeps
// for the plug-in between calls (the entry's data word).
#pragma once

#include "psplugin/PsFormat.h"

#include <cstddef>
#include <cstdint>

class CTlRawReader;

struct TlRawGlobals {
    PsResult* result;
    PsFormatRecord* record;
    PsBufferId stripBuffer;   // 0 when no strip buffer is held
    void* stripData;          // its address while locked
    std::int32_t rowBytes;    // bytes per strip row
    std::int32_t stripRows;   // rows per strip
    std::int32_t bytesPerSample;
    CTlRawReader* reader;     // owned; made on first use
    std::uint8_t cameraRaw;   // the file is a camera raw picture
    std::int32_t whiteBalance; // dialog index; 0 unchanged
    double exposure;          // EV
    std::int32_t rotation;    // 0, 90, 180 or 270
    std::uint8_t sixMegapixels; // only for camera model 259
    std::uint8_t edited;      // the file carries the raw editor's settings
    void* editedNotice;       // the notice shown while an edited file is read
};

#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(TlRawGlobals) == 64, "the globals record is 64 bytes on 32-bit Windows");
static_assert(offsetof(TlRawGlobals, exposure) == 40, "the exposure follows the white balance");
#endif
