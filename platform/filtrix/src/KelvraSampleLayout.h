// The pixel layouts the geometry filters compute on: 8- or 16-bit samples,
// one, three or four interleaved planes (grey, RGB, LCh, Lab, CMYK). Kernels
// are written once over the sample type and plane count and instantiated
// for each layout here.
#pragma once

#include "kelvra/KelvraData.h"

#include <cstdint>
#include <type_traits>

struct KelvraSampleLayout {
    bool wide = false; // 16-bit samples
    long planes = 0;

    long PixelBytes() const { return planes * (wide ? 2 : 1); }
};

// The layout of `format`; false for formats without 8- or 16-bit samples
// (bitmaps) and for raw sensor data, whose pixels must not be mixed.
bool KelvraSampleLayoutOf(KelvraPixelFormat format, KelvraSampleLayout* layout);

// Reads `source`'s size and pixel format; refuses a source without pixels
// with code 1013 and a format without a sample layout with code 1010.
// Errors carry `tag`.
IKelvraError* KelvraReadSourceLayout(IKelvraDataSource* source, KelvraTag tag, long* width, long* height,
                                     KelvraSampleLayout* layout);

// Answers `kernel(Sample(), std::integral_constant<int, Planes>())` for the
// layout, so that the kernel's loops know both at compile time.
template <typename Sample, typename Kernel>
auto KelvraWithPlanes(long planes, Kernel&& kernel)
{
    switch (planes) {
    case 1:
        return kernel(Sample(), std::integral_constant<int, 1>());
    case 3:
        return kernel(Sample(), std::integral_constant<int, 3>());
    default:
        return kernel(Sample(), std::integral_constant<int, 4>());
    }
}

template <typename Kernel>
auto KelvraWithSamples(const KelvraSampleLayout& layout, Kernel&& kernel)
{
    return layout.wide ? KelvraWithPlanes<std::uint16_t>(layout.planes, kernel)
                       : KelvraWithPlanes<std::uint8_t>(layout.planes, kernel);
}

// A computed sample rounded to the nearest value and held in range.
template <typename Sample>
inline Sample KelvraToSample(double value)
{
    const double max = double(Sample(~Sample(0)));
    return value <= 0 ? Sample(0) : value >= max ? Sample(~Sample(0)) : Sample(value + 0.5);
}
