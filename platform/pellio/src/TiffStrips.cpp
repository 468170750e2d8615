#include "TiffStrips.h"

#include "PellioErrors.h"
#include "TiffTags.h"

#include <zlib.h>


#define STRIP_ERROR(code) PELLIO_ERROR(kPellioTiffTag, (code))

namespace {

// Measured on the develop output and on raw mosaics (docs/output-encoders.md):
// level 2 codes about 25% faster than 4 for files about 3% larger, and the
// levels above 4 gain almost nothing.
constexpr int kDeflateLevel = 2;

IKelvraError* ZlibError(long code, long pellioCode)
{
    return IKelvraError::Add(STRIP_ERROR(pellioCode), kPellioTiffTag, __LINE__, kPellioZlibCategory, code);
}

IKelvraError* Inflate(const std::vector<std::uint8_t>& packed, std::vector<std::uint8_t>* rows)
{
    uLongf produced = uLongf(rows->size());
    const int result = uncompress(rows->data(), &produced, packed.data(), uLong(packed.size()));
    if (result == Z_MEM_ERROR)
        return STRIP_ERROR(kKelvraOutOfMemory);
    if (result != Z_OK)
        return ZlibError(result, kPellioCorrupt);
    return produced == rows->size() ? nullptr : STRIP_ERROR(kPellioCorrupt);
}

} // namespace

IKelvraError* TiffReadStrip(CTiffReader& reader, const TiffImageLayout& layout, long index,
                            std::vector<std::uint8_t>* rows, std::vector<std::uint8_t>* scratch)
{
    const std::size_t needed = std::size_t(layout.StripRows(index)) * std::size_t(layout.RowBytes());
    const std::uint64_t offset = layout.stripOffsets[std::size_t(index)];
    rows->resize(needed);
    IKelvraError* error = nullptr;
    if (layout.compression == kTiffCompressionNone) {
        error = reader.ReadAt(offset, rows->data(), needed);
    } else {
        scratch->resize(layout.stripBytes[std::size_t(index)]);
        error = reader.ReadAt(offset, scratch->data(), scratch->size());
        if (!error)
            error = Inflate(*scratch, rows);
    }
    if (!error && reader.Order() == TiffOrder::Big && KelvraIs16Bit(layout.format))
        TiffSwap16(rows->data(), rows->size());
    return error;
}

IKelvraError* TiffEncodeStrip(std::uint16_t compression, const std::uint8_t* rows, std::size_t size,
                              std::vector<std::uint8_t>* strip)
{
    if (compression == kTiffCompressionNone) {
        strip->assign(rows, rows + size);
        return nullptr;
    }
    uLongf produced = compressBound(uLong(size));
    strip->resize(produced);
    const int result = compress2(strip->data(), &produced, rows, uLong(size), kDeflateLevel);
    if (result == Z_MEM_ERROR)
        return STRIP_ERROR(kKelvraOutOfMemory);
    if (result != Z_OK)
        return ZlibError(result, kKelvraOperationFailed);
    strip->resize(produced);
    return nullptr;
}
