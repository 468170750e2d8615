// Pulls rows from a data source, narrowing 16-bit samples to 8 bits where
// the file stores 8.
#include "PellioErrors.h"
#include "PellioSink.h"
#include "kelvra/KelvraImage.h"

namespace {

// Keeps the high byte of each little-endian 16-bit sample.
void Narrow(std::vector<std::uint8_t>* rows)
{
    const std::size_t samples = rows->size() / 2;
    for (std::size_t i = 0; i < samples; ++i)
        (*rows)[i] = (*rows)[2 * i + 1];
    rows->resize(samples);
}

} // namespace

IKelvraError* PellioPullRows(const PellioSaveImage& image, long first, long count, std::vector<std::uint8_t>* rows)
{
    const long rowBytes = KelvraRowBytes(image.sourceFormat, image.width);
    rows->resize(std::size_t(rowBytes) * std::size_t(count));
    const KelvraRect rect(0, first, image.width, first + count);
    if (IKelvraError* error = KelvraReadRect(image.source, rect, rows->data(), rowBytes))
        return KELVRA_WRAP(nullptr, kPellioSaveTag, error);
    if (image.storedFormat != image.sourceFormat)
        Narrow(rows);
    return nullptr;
}
