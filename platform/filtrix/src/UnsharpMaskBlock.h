// The source samples one tile of the unsharp-mask filter works on: the
// tile's rectangle grown by the mask's reach and clipped to the image.
#pragma once

#include "UnsharpMaskBlur.h"

#include "kelvra/KelvraData.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class CUsmBlock {
public:
    // An empty block of `area` (inside the image) in `format`, whose
    // samples are whole bytes. Throws std::bad_alloc.
    CUsmBlock(KelvraPixelFormat format, const KelvraRect& area);

    // Fills the block from the source's tiles under the area.
    IKelvraError* Read(IKelvraDataSource* source);

    const KelvraRect& Area() const { return m_area; }
    unsigned Max() const { return m_wide ? 65535u : 255u; }
    // Sample `plane` of pixel (x, y), in image coordinates inside the area.
    unsigned Get(long x, long y, long plane) const;
    void Set(long x, long y, long plane, unsigned value);
    // One plane of the whole area. Throws std::bad_alloc.
    UsmPlane Plane(long plane) const;
    // Copies the pixels of `part` to a buffer whose first pixel is the
    // top-left of `origin`.
    void CopyTo(const KelvraRect& part, void* buffer, long rowBytes, const KelvraRect& origin) const;

private:
    std::size_t Offset(long x, long y, long plane) const;

    KelvraPixelFormat m_format;
    KelvraRect m_area;
    bool m_wide;
    long m_planes;
    long m_rowBytes;
    std::vector<std::uint8_t> m_bytes;
};
