// The reduced output of the demosaicing filters: each output pixel is the
// mean of the red, green and blue samples of its k x k block of the mosaic,
// so a small preview reads the mosaic once and colours no site at full size.
#include "filters/debayer/TlDeBayerFilterBase.h"
#include "filters/debayer/TlDeBayerOutput.h"
#include "filters/debayer/TlMosaicReader.h"

#include <cstring>
#include <new>

namespace {

// The mean colour of the block of `raw` whose top-left sample is (x, y).
void MeanOfBlock(const CTlMosaicPlane& raw, long x, long y, long factor, std::uint16_t pixel[3])
{
    std::int64_t sums[3] = {};
    std::int64_t counts[3] = {};
    for (long row = y; row < y + factor; ++row) {
        const std::int32_t* samples = raw.Row(row);
        for (long column = x; column < x + factor; ++column) {
            const int colour = TlBayerColourAt(raw.phases, column, row);
            sums[colour] += samples[column];
            ++counts[colour];
        }
    }
    // Every block of two or more samples a side holds all three colours.
    for (int c = 0; c < 3; ++c)
        pixel[c] = TlTo16(std::int32_t((sums[c] + counts[c] / 2) / counts[c]));
}

} // namespace

IKelvraError* CDeBayerFilterBase::GenerateReducedTile(IKelvraTile* tile, IKelvraDataSource* source, long sourceWidth,
                                                      long sourceHeight, const std::int32_t* const (&tables)[3],
                                                      long factor)
{
    KelvraRect toFill, full;
    if (!tile->GetRectToFill(&toFill) || toFill.IsEmpty())
        return nullptr;
    tile->GetRect(&full);
    const CTlDeBayerOutput output{false, m_outputRect.left, m_outputRect.top};
    const KelvraRect block = output.SourceAreaFor(KelvraRect(toFill.left * factor, toFill.top * factor,
                                                             toFill.right * factor, toFill.bottom * factor));
    CTlDeBayerWorkspaceLease lease;
    if (!lease)
        return TL_FILTER_ERROR(kKelvraOutOfMemory);
    CTlDeBayerWorkspace& work = *lease;
    try {
        if (IKelvraError* error =
                TlReadMosaicBlock(source, sourceWidth, sourceHeight, block, m_phases, tables, work.raw))
            return TL_FILTER_WRAP(error);
    } catch (const std::bad_alloc&) {
        return TL_FILTER_ERROR(kKelvraOutOfMemory);
    }
    void* buffer = nullptr;
    if (IKelvraError* error = tile->Lock(&buffer))
        return TL_FILTER_WRAP(error);
    const long pixelBytes = 3 * sizeof(std::uint16_t);
    for (long y = toFill.top; y < toFill.bottom; ++y) {
        unsigned char* out = static_cast<unsigned char*>(buffer) + (y - full.top) * tile->GetRowBytes() +
                             (toFill.left - full.left) * pixelBytes;
        for (long x = toFill.left; x < toFill.right; ++x, out += pixelBytes) {
            std::uint16_t pixel[3];
            MeanOfBlock(work.raw, (x - toFill.left) * factor, (y - toFill.top) * factor, factor, pixel);
            std::memcpy(out, pixel, sizeof pixel);
        }
    }
    tile->Unlock();
    tile->SetComplete();
    return nullptr;
}
