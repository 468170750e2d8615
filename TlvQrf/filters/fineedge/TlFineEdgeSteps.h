// The three steps of the fine edge filter on values of the 16-bit scale,
// each for one row: smoothing the colour differences where green shows
// strong structure, sharpening green within the range of its neighbours,
// and rebuilding pixels from means along the directions that follow the
// edge. Rows are passed as pointers to the cell of the column in question.
#pragma once

#include <cstdint>

// Red - green and blue - green of one pixel.
struct TlColourDifferences {
    std::int32_t redMinusGreen;
    std::int32_t blueMinusGreen;
};

// Over the 5 x 5 window around green[2][0] (rows 0 to 4, columns -2 to
// 2): when the summed green variation S exceeds 115,200 the differences
// weighted by how close their green lies to the centre's, otherwise the
// centre's differences.
TlColourDifferences TlSmoothDifferences(const std::uint16_t* const green[5],
                                        const TlColourDifferences* const differences[5]);

// The 5 x 5 green variation S around green[2][0].
std::int64_t TlGreenVariation(const std::uint16_t* const green[5]);

// G + 1.5 (G - 3 x 3 binomial mean) around green[1][0], held within the
// range of its eight neighbours.
std::uint16_t TlSharpenGreen(const std::uint16_t* const green[3]);

struct TlRebuiltPixel {
    std::int32_t green;
    TlColourDifferences differences;
};

// The pixel at sharp[2][0]: sharpened green of rows y - 2 to y + 2,
// smoothed differences of rows y - 1 to y + 1 (differences[1][0] the
// pixel's own).
TlRebuiltPixel TlRebuildPixel(const std::uint16_t* const sharp[5], const TlColourDifferences* const differences[3]);
