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

// One zlib stream, into a buffer that grows with it: several strips are
// coded at once, and a worst-case buffer for each would hold as much again
// as their rows.
IKelvraError* Deflate(const std::uint8_t* rows, std::size_t size, std::vector<std::uint8_t>* strip)
{
    z_stream stream = {};
    int result = deflateInit(&stream, kDeflateLevel);
    if (result != Z_OK)
        return result == Z_MEM_ERROR ? STRIP_ERROR(kKelvraOutOfMemory) : ZlibError(result, kKelvraOperationFailed);
    std::vector<std::uint8_t> coded(size / 4 + 1024);
    stream.next_in = const_cast<Bytef*>(rows); // zlib only reads it
    stream.avail_in = uInt(size);
    std::size_t used = 0;
    do {
        if (used == coded.size())
            coded.resize(coded.size() + coded.size() / 2);
        stream.next_out = coded.data() + used;
        stream.avail_out = uInt(coded.size() - used);
        result = deflate(&stream, Z_FINISH);
        used = coded.size() - stream.avail_out;
    } while (result == Z_OK); // out of room: grow and go on
    deflateEnd(&stream);
    if (result != Z_STREAM_END)
        return ZlibError(result, kKelvraOperationFailed);
    coded.resize(used);
    coded.shrink_to_fit(); // it may wait its turn to be written: keep only its bytes
    strip->swap(coded);
    return nullptr;
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
    return Deflate(rows, size, strip);
}

