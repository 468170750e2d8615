// Whole-image and single-pixel reads every data source offers, as packed
// rows copied out of its tiles.
#include "kelvra/KelvraImage.h"

#include "KelvraPixelCopy.h"

#include <climits>
#include <cstdint>
#include <cstring>

namespace {

const KelvraTag kPixelsTag = KelvraFourCC('K', 'P', 'i', 'x');

// The source as one packed block.
struct PackedLayout {
    long width = 0;
    long height = 0;
    unsigned bitsPerPixel = 0;
    std::uint64_t rowBytes = 0;
    std::uint64_t size = 0;

    // Whether the block can be addressed as one buffer with long row bytes.
    bool Addressable() const { return rowBytes <= std::uint64_t(LONG_MAX) && size <= std::uint64_t(SIZE_MAX); }
};

IKelvraError* DescribePacked(IKelvraDataSource* source, PackedLayout* packed)
{
    KelvraPixelFormat format = 0;
    IKelvraError* error = source->GetSize(&packed->width, &packed->height);
    if (!error)
        error = source->GetColorSpace(&format);
    if (error)
        return KELVRA_WRAP(nullptr, kPixelsTag, error);
    packed->bitsPerPixel = KelvraBitsPerPixel(format);
    packed->rowBytes = KelvraPackedRowBytes(packed->bitsPerPixel, packed->width);
    const std::uint64_t rows = std::uint64_t(packed->height > 0 ? packed->height : 0);
    // An absurd source saturates rather than wraps, so Addressable refuses it.
    packed->size = rows && packed->rowBytes > UINT64_MAX / rows ? UINT64_MAX : packed->rowBytes * rows;
    return nullptr;
}

} // namespace

IKelvraError* IKelvraDataSource::GetDataSize(std::size_t* size)
{
    if (!size)
        return KELVRA_ERROR(nullptr, kPixelsTag, kKelvraMissingObject);
    PackedLayout packed;
    if (IKelvraError* error = DescribePacked(this, &packed))
        return error;
    if (!packed.Addressable())
        return KELVRA_ERROR(nullptr, kPixelsTag, kKelvraBadArgument);
    *size = std::size_t(packed.size);
    return nullptr;
}

IKelvraError* IKelvraDataSource::GetData(void* buffer, std::size_t size)
{
    if (!buffer)
        return KELVRA_ERROR(nullptr, kPixelsTag, kKelvraMissingObject);
    PackedLayout packed;
    if (IKelvraError* error = DescribePacked(this, &packed))
        return error;
    if (!packed.Addressable() || size < packed.size)
        return KELVRA_ERROR(nullptr, kPixelsTag, kKelvraBadArgument);
    std::memset(buffer, 0, std::size_t(packed.size)); // the padding bits of packed rows read as zero
    const KelvraRect all(0, 0, packed.width, packed.height);
    if (IKelvraError* error = KelvraReadRect(this, all, buffer, long(packed.rowBytes)))
        return KELVRA_WRAP(nullptr, kPixelsTag, error);
    return nullptr;
}

// A pixel narrower than a byte comes back as a packed row of one pixel: in
// the byte's top bits.
IKelvraError* IKelvraDataSource::GetPixel(long x, long y, void* pixel)
{
    if (!pixel)
        return KELVRA_ERROR(nullptr, kPixelsTag, kKelvraMissingObject);
    PackedLayout packed;
    if (IKelvraError* error = DescribePacked(this, &packed))
        return error;
    if (!KelvraRect(0, 0, packed.width, packed.height).Contains(x, y))
        return KELVRA_ERROR(nullptr, kPixelsTag, kKelvraBadArgument);
    const long bytes = long(KelvraPackedRowBytes(packed.bitsPerPixel, 1));
    std::memset(pixel, 0, std::size_t(bytes > 0 ? bytes : 1));
    if (IKelvraError* error = KelvraReadRect(this, KelvraRect(x, y, x + 1, y + 1), pixel, bytes))
        return KELVRA_WRAP(nullptr, kPixelsTag, error);
    return nullptr;
}
