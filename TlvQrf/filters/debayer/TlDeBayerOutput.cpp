#include "filters/debayer/TlDeBayerOutput.h"

#include <cstring>

namespace {

const long kHalfBorder = 6;

// Rows between source rows, in 1/16384: two thirds of the way to the next
// row (phase 1) and one third (phase 2), over rows s - 1 .. s + 2. The
// weights sum to exactly 16384, so flat colour stays flat.
const std::int32_t kRowWeights[2][4] = {{-606, 5461, 12742, -1213}, {-1213, 12742, 5461, -606}};
// Columns: output phase a weighs source columns c and c + 1 by these / 4.
const std::int32_t kColumnWeights[3][2] = {{3, 1}, {2, 2}, {1, 3}};

// Output column X (absolute, with the rectangle's left) reads source
// columns c and c + 1 with phase a: four source columns give three.
void AspectColumn(long x, long* column, long* phase)
{
    *phase = x % 3;
    *column = 4 * (x / 3) + *phase + kHalfBorder;
}

// Output row Y reads source row s (phase 0) or rows s - 1 .. s + 2.
void AspectRow(long y, long* row, long* phase)
{
    *phase = y % 3;
    *row = 2 * (y / 3) + (*phase == 2 ? 1 : 0) + kHalfBorder;
}

} // namespace

KelvraRect CTlDeBayerOutput::SourceAreaFor(const KelvraRect& toFill) const
{
    if (!aspect) {
        return KelvraRect(toFill.left + left + kHalfBorder, toFill.top + top + kHalfBorder,
                          toFill.right + left + kHalfBorder, toFill.bottom + top + kHalfBorder);
    }
    long firstColumn = 0, lastColumn = 0, firstRow = 0, lastRow = 0, phase = 0;
    AspectColumn(toFill.left + left, &firstColumn, &phase);
    AspectColumn(toFill.right - 1 + left, &lastColumn, &phase);
    AspectRow(toFill.top + top, &firstRow, &phase);
    AspectRow(toFill.bottom - 1 + top, &lastRow, &phase);
    return KelvraRect(firstColumn, firstRow - 1, lastColumn + 2, lastRow + 3);
}

void CTlDeBayerOutput::Write(const CTlRgbPlane& rgb, long originX, long originY, const KelvraRect& toFill,
                             const KelvraRect& full, unsigned char* buffer, long rowBytes) const
{
    const long pixelBytes = 3 * sizeof(std::uint16_t);
    for (long y = toFill.top; y < toFill.bottom; ++y) {
        unsigned char* out = buffer + (y - full.top) * rowBytes + (toFill.left - full.left) * pixelBytes;
        if (!aspect) {
            const std::uint16_t* in = rgb.Pixel(toFill.left + left + kHalfBorder - originX,
                                                y + top + kHalfBorder - originY);
            std::memcpy(out, in, std::size_t(toFill.Width() * pixelBytes));
            continue;
        }
        long sourceRow = 0, rowPhase = 0;
        AspectRow(y + top, &sourceRow, &rowPhase);
        for (long x = toFill.left; x < toFill.right; ++x, out += pixelBytes) {
            long column = 0, columnPhase = 0;
            AspectColumn(x + left, &column, &columnPhase);
            const std::int32_t wa = kColumnWeights[columnPhase][0], wb = kColumnWeights[columnPhase][1];
            auto across = [&](long row, int channel) {
                const std::uint16_t* p = rgb.Pixel(column - originX, row - originY);
                return (wa * p[channel] + wb * p[3 + channel]) / 4;
            };
            std::uint16_t pixel[3];
            for (int c = 0; c < 3; ++c) {
                if (rowPhase == 0) {
                    pixel[c] = std::uint16_t(across(sourceRow, c));
                    continue;
                }
                const std::int32_t* w = kRowWeights[rowPhase - 1];
                const std::int32_t value = (w[0] * across(sourceRow - 1, c) + w[1] * across(sourceRow, c) +
                                            w[2] * across(sourceRow + 1, c) + w[3] * across(sourceRow + 2, c)) /
                                           16384;
                pixel[c] = std::uint16_t(value < 0 ? 0 : value > 65535 ? 65535 : value);
            }
            std::memcpy(out, pixel, sizeof pixel);
        }
    }
}
