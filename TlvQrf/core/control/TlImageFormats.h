// What the image control makes of a pixel format and of the size tags of a
// raw file.
#pragma once

#include <cstdint>

class IKelvraError;
class IKelvraTagControl;

enum : int {
    kTlFormatUnknown = 0,
    kTlFormatColour = 1,
    kTlFormatGrey = 2,      // refused by the control
    kTlFormatFourColour = 3, // refused by the control
};

int FormatClassOf(std::uint32_t pixelFormat);
// 1 or 2.
std::uint32_t SourceBytesOf(std::uint32_t pixelFormat);

// True when tag 258 reads 12, 0, 0, 0; a read error (released) is false.
bool IsTwelveBitSource(const IKelvraTagControl& tags);
// The size the tags record, with the camera's own size for 12-bit data.
// 1014 for null arguments, 1007 when the tags hold no size.
IKelvraError* SizeFromTags(const IKelvraTagControl* tags, std::uint32_t* width, std::uint32_t* height);
