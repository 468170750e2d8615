// Reads of the raw file's tags that the library and its plug-in share.
// Each answers false (leaving the result alone) when the tag is missing or
// cannot be read as asked.
#pragma once

#include "kelvra/KelvraTagControl.h"

#include <cstdint>
#include <vector>

// Tags of the raw file.
enum : std::uint32_t {
    kTlnTagMainFormat = 0x10002,     // the main image's pixel format
    kTlnTagCameraGains = 0x8000C,    // red gain, blue gain, 1.0, 1.0
    kTlnTagColorSpace = 0x8008D,     // colour-space code of the picture
    kTlnTagStoredSettings = 0x80E01, // the raw editor's stored settings
};

bool TlnReadLong(const IKelvraTagControl& tags, std::uint32_t id, long* value);
// A double, or a rational of two 32-bit integers.
bool TlnReadDouble(const IKelvraTagControl& tags, std::uint32_t id, double* value);
bool TlnReadBytes(const IKelvraTagControl& tags, std::uint32_t id, std::vector<std::uint8_t>* bytes);
// The camera's red and blue gains (the first two doubles of tag 0x8000C),
// as stored: the caller decides what a corrupt gain means.
bool TlnReadGains(const IKelvraTagControl& tags, double (&gains)[2]);
