#include "filters/debayer/TlMosaicReader.h"

#include "filters/frame/TlEdgeMapping.h"
#include "filters/frame/TlTilePixelCursor.h"

#include <algorithm>
#include <cstring>

namespace {

// Tiles a block row crosses, and the row below's, stay locked.
const int kCursorTiles = 6;

long MapInside(long coordinate, long size)
{
    const long mapped = TlMapEdge(coordinate, size, kTlEdgeKeepParity, nullptr);
    return std::min(std::max(mapped, 0L), size - 1); // an image of one sample has no same-parity twin
}

std::int32_t Companded(const std::int32_t* table, std::uint16_t sample)
{
    return table[sample > 4095 ? 4095 : sample];
}

} // namespace

IKelvraError* TlReadMosaicBlock(IKelvraDataSource* source, long sourceWidth, long sourceHeight,
                                const KelvraRect& block, const TlBayerPhases& phases,
                                const std::int32_t* const (&tables)[3], CTlMosaicPlane& out)
{
    out.width = block.Width();
    out.height = block.Height();
    out.PlaceAt(block.left, block.top, phases);
    out.samples.resize(std::size_t(out.width * out.height));
    CTilePixelCursor cursor(0, source, kCursorTiles);
    cursor.SetEdgeModes(kTlEdgeKeepParity, kTlEdgeKeepParity);
    for (long y = block.top; y < block.bottom; ++y) {
        const long sourceY = MapInside(y, sourceHeight);
        // Tables of the colours at even and odd columns of this row.
        const std::int32_t* byParity[2] = {tables[TlBayerColourAt(phases, 0, y)],
                                           tables[TlBayerColourAt(phases, 1, y)]};
        std::int32_t* row = out.samples.data() + (y - block.top) * out.width;
        long x = block.left;
        while (x < block.right) {
            const long sourceX = MapInside(x, sourceWidth);
            if (IKelvraError* error = cursor.MoveTo(sourceX, sourceY))
                return error;
            const unsigned char* sample = cursor.Sample();
            // Inside the image a whole run of the cursor's tile is read at
            // once; outside, one mapped sample at a time.
            long run = 1;
            if (sourceX == x)
                run = std::min(cursor.PixelsToRight() + 1, std::min(block.right, sourceWidth) - x);
            const long step = cursor.PixelStep();
            for (long i = 0; i < run; ++i, ++x, sample += step) {
                std::uint16_t value;
                std::memcpy(&value, sample, sizeof value);
                row[x - block.left] = Companded(byParity[x & 1], value);
            }
        }
    }
    return nullptr;
}
