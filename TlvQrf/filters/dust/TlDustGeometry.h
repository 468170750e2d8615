// Numbers shared by the analyzer and the map: the camera constants behind
// the blur, fixed-point sample positions and the tile grid they step over.
#pragma once

#include <cstdint>
#include <vector>

struct TlDustCamera {
    double dustDistance; // millimetres from the dust to the sensor
    double pitchX;       // pixel pitch, micrometres
    double pitchY;
};

// False for a curve id outside the table.
bool FindDustCamera(std::uint32_t curveId, TlDustCamera* camera);

// n positions over a source of `size` samples with spacing `spacing`,
// centred on the source's middle, in 1/4096 of a sample.
std::vector<std::int64_t> DustSamplePositions(long n, long size, double spacing);

// Kernel sides of the blur for a picture's aperture code.
struct TlDustKernel {
    long width;
    long height;
};
TlDustKernel DustBlurKernel(const TlDustCamera& camera, std::uint32_t apertureCode);

// The rescale factor between the reference's lens value and the picture's.
double DustRescaleFactor(const TlDustCamera& camera, double pictureLens, double referenceLens);

// Square tiles of side `tile` over a width x height image, counted row by row.
struct TlDustTiles {
    long width = 0;
    long height = 0;
    long tile = 1;
    long Columns() const { return (width + tile - 1) / tile; }
    long Rows() const { return (height + tile - 1) / tile; }
    long Count() const { return Columns() * Rows(); }
    // Tile `index`'s rectangle as left, top, right, bottom; `reversed` walks
    // the rows of tiles from the bottom up (passes alternate their direction).
    void Rect(long index, bool reversed, long* left, long* top, long* right, long* bottom) const;
    void Rect(long index, long* left, long* top, long* right, long* bottom) const
    {
        Rect(index, false, left, top, right, bottom);
    }
};

// Bilinear sample of an 8-bit image at fixed-point (x, y), 12 bits of
// fraction; outside reads as `outside`. Along x the right and left
// neighbours weigh f and 4096 - f; along y the rows blend by the row
// fraction e, >> 24 (>> 12 when e is 0). Inline: the passes call it for
// every pixel.
inline unsigned DustBilinear(const std::uint8_t* pixels, long width, long height, std::int64_t x, std::int64_t y,
                             unsigned outside)
{
    const std::int64_t x0 = x >> 12; // floor, also below 0
    const std::int64_t y0 = y >> 12;
    const std::int64_t f = x & 4095;
    const std::int64_t e = y & 4095;
    auto row = [&](std::int64_t yy) -> std::int64_t {
        if (yy < 0 || yy >= height)
            return std::int64_t(outside) * 4096;
        const std::uint8_t* line = pixels + yy * width;
        const std::int64_t left = x0 >= 0 && x0 < width ? line[x0] : outside;
        const std::int64_t right = x0 + 1 >= 0 && x0 + 1 < width ? line[x0 + 1] : outside;
        return right * f + left * (4096 - f);
    };
    const std::int64_t row0 = row(y0);
    if (e == 0)
        return unsigned(row0 >> 12);
    return unsigned((row0 * (4096 - e) + row(y0 + 1) * e) >> 24);
}

// Spacing of the reference samples per picture pixel, chosen from the
// aspects of the picture (w x h) and of the analysed reference (wr x hr).
void DustSampleSpacing(long w, long h, long wr, long hr, double* sx, double* sy);
