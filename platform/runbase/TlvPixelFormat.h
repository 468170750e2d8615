// Pixel-format words that the render and save requests carry.
#pragma once

#include <windows.h>

// Three 8-bit colour channels: the format of every rendition and export.
constexpr DWORD TLV_PIXEL_FORMAT_RGB24 = 0x08060201;
