// The picture of a parameter block, checked once, and the colour tests the
// detector and the corrector share.
#pragma once

#include "eyemend/Eyemend.h"

#include <cstddef>
#include <cstdint>

namespace eyemend {

// An inclusive rectangle of pixels.
struct Box {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;

    std::int32_t Width() const { return right - left + 1; }
    std::int32_t Height() const { return bottom - top + 1; }
};

struct Picture {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::size_t rowBytes = 0;
    bool wide = false; // 16-bit samples
    unsigned char* buffer = nullptr;

    Box Whole() const { return {0, 0, width - 1, height - 1}; }
    bool Contains(RePoint point) const { return point.x >= 0 && point.y >= 0 && point.x < width && point.y < height; }
    // The largest pupil, in pixels across, that the detector accepts.
    std::int32_t LargestPupil() const;
    // Box clipped to the picture; false when nothing is left.
    bool Clip(Box* box) const;
    template <typename Sample>
    Sample* Row(std::int32_t y) const
    {
        return reinterpret_cast<Sample*>(buffer + std::size_t(y) * rowBytes);
    }
};

// Checks a parameter block and describes its picture.
ReStatus OpenPicture(const ReParams* params, Picture* picture);

// Red enough to seed a pupil: bright enough, and red above the larger of
// green and blue by at least 40 % of the red. `Full` is the sample's top.
template <typename Sample, std::uint32_t Full>
inline bool IsPupilRed(const Sample* pixel)
{
    const std::uint32_t red = pixel[0];
    const std::uint32_t other = pixel[1] > pixel[2] ? pixel[1] : pixel[2];
    return red * 4 >= Full && red > other && (red - other) * 5 >= red * 2;
}

} // namespace eyemend
