// Small helpers both passes share: rectangles, planes and brightness.
#pragma once

#include "warpkit1/Warpkit1.h"

#include <cstddef>
#include <cstdint>

inline std::int32_t WkitWidth(const WKITRect& rect)
{
    return rect.right - rect.left;
}

inline std::int32_t WkitHeight(const WKITRect& rect)
{
    return rect.bottom - rect.top;
}

inline std::size_t WkitArea(const WKITRect& rect)
{
    return std::size_t(WkitWidth(rect)) * std::size_t(WkitHeight(rect));
}

// True when `rect` is not empty and lies inside an image of this size.
inline bool WkitInside(const WKITRect& rect, std::int32_t width, std::int32_t height)
{
    return rect.left >= 0 && rect.top >= 0 && rect.left < rect.right && rect.top < rect.bottom &&
           rect.right <= width && rect.bottom <= height;
}

// Brightness of one pixel from its three planes, on the 16-bit scale.
inline std::uint32_t WkitLuma(std::uint32_t red, std::uint32_t green, std::uint32_t blue)
{
    return (red + 2 * green + blue + 2) >> 2;
}

// Planes the read callback fills for a pass with `inputCount` inputs.
inline std::size_t WkitPlanesRead(std::int32_t inputCount)
{
    return inputCount == 2 ? 4 : 3;
}
