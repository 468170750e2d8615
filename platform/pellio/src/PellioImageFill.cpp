#include "PellioImageFill.h"

#include "PellioErrors.h"

IKelvraError* PellioPrepareImage(IKelvraImage* image, const PellioPictureInfo& info)
{
    IKelvraError* error = image->GetRowsWritten() > 0 ? image->SetSize(0, 0) : nullptr;
    if (!error)
        error = image->SetColorSpace(info.format);
    if (!error)
        error = image->SetSize(info.width, info.height);
    if (!error)
        error = image->SetResolution(info.resolution);
    return error ? KELVRA_WRAP(nullptr, kPellioLoadTag, error) : nullptr;
}

IKelvraError* PellioAppendBand(IKelvraImage* image, CPellioPicture& picture, long band,
                               std::vector<std::uint8_t>* rows)
{
    long count = 0;
    IKelvraError* error = picture.ReadBand(band, rows, &count);
    if (!error)
        error = image->AppendRows(rows->data(), count, picture.RowBytes());
    return error ? KELVRA_WRAP(nullptr, kPellioLoadTag, error) : nullptr;
}
