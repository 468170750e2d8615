// The dust filter's pixels: each pixel is brightened by the gain of the
// correction mask's byte under it, the mask centred on the picture.
#include "filters/dust/TlDustCodes.h"
#include "filters/dust/TlDustCorrection.h"
#include "filters/dust/TlDustFilter.h"
#include "filters/frame/TlEdgeMapping.h"
#include "filters/frame/TlTilePixelCursor.h"

#include <algorithm>
#include <new>
#include <vector>

namespace {

constexpr long kMaskCursorError = 934;
constexpr int kMaskTilesCached = 4;
constexpr std::size_t kInverseEntries = 65536;
// A table must hold a forward part of at least 256 entries before the
// inverse part.
constexpr std::size_t kMinToneEntries = 256 + kInverseEntries;

// The mask bytes of columns [left, right) of row y, read from right to left
// in runs along the cursor's tile; outside the mask a pixel is left alone.
IKelvraError* ReadMaskRow(CTilePixelCursor& cursor, long left, long right, long y, std::uint8_t* out)
{
    long x = right - 1;
    while (x >= left) {
        if (IKelvraError* error = cursor.MoveTo(x, y))
            return error;
        const unsigned char* sample = cursor.Sample();
        if (sample == nullptr) {
            out[x - left] = kDustUntouched;
            --x;
            continue;
        }
        const long run = std::min(cursor.PixelsToLeft(), x - left);
        const long step = cursor.PixelStep();
        for (long k = 0; k <= run; ++k)
            out[x - left - k] = sample[-k * step];
        x -= run + 1;
    }
    return nullptr;
}

} // namespace

IKelvraError* CDustFilter::DoGenerateTile(IKelvraTile* tile, CKelvraProcessInfo* info)
{
    IDustMap* map = m_map;
    IKelvraDataSource* mask = map && !m_record.empty() ? map->GetCorrectionMask() : nullptr;
    if (mask == nullptr)
        return TL_FILTER_ERROR(kDustBadRecord);
    TlDustTones tones;
    if (!m_direct) {
        std::size_t count = 0;
        const std::uint16_t* table = map->GetToneTable(&count);
        if (table == nullptr || count < kMinToneEntries)
            return TL_FILTER_ERROR(kDustBadRecord);
        tones.forward = table;
        tones.inverse = table + (count - kInverseEntries);
    }
    long maskWidth = 0, maskHeight = 0;
    if (IKelvraError* error = mask->GetSize(&maskWidth, &maskHeight))
        return TL_FILTER_WRAP(error);
    const bool direct = m_direct;

    auto worker = [&](const CTlTileTarget& target, const CTlSourceTile& from) -> IKelvraError* {
        const TlDustRowRoutine routine = ChooseDustRowRoutine(target.sourceFormat, direct);
        if (routine == nullptr)
            return TL_FILTER_ERROR(kKelvraNotReady);
        // Centred; an odd surplus puts the extra column (or row) on the right.
        const long ox = (maskWidth - target.sourceWidth) / 2;
        const long oy = (maskHeight - target.sourceHeight) / 2;
        const KelvraRect rows = from.overlap.Intersection(target.toFill);
        std::vector<std::uint8_t> maskRow;
        try {
            maskRow.resize(std::size_t(rows.Width()));
        } catch (const std::bad_alloc&) {
            return TL_FILTER_ERROR(kKelvraOutOfMemory);
        }
        CTilePixelCursor cursor(0, mask, kMaskTilesCached);
        cursor.SetEdgeModes(0, 0);
        for (long y = rows.top; y < rows.bottom; ++y) {
            if (IKelvraError* error = ReadMaskRow(cursor, rows.left + ox, rows.right + ox, y + oy, maskRow.data()))
                return AddWorker(TL_FILTER_ERROR(kMaskCursorError), __LINE__, error);
            routine(rows.Width(), maskRow.data(), tones, from.At(rows.left, y), target.At(rows.left, y));
        }
        return nullptr;
    };
    return GenerateFromSourceTiles(tile, info, CTlFormatCheck{}, worker);
}
