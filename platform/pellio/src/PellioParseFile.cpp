// Tells the file kinds apart by their first bytes.
#include "PellioErrors.h"
#include "PellioPicture.h"

#include <cstring>

namespace {

const std::uint8_t kTiffLittle[4] = {'I', 'I', 42, 0};
const std::uint8_t kTiffBig[4] = {'M', 'M', 0, 42};
const std::uint8_t kJpeg[3] = {0xFF, 0xD8, 0xFF};

} // namespace

IKelvraError* PellioParseFile(IKelvraFileStream* stream, PellioParsedFile* file)
{
    std::uint8_t magic[4] = {};
    std::size_t got = 0;
    IKelvraError* error = stream->Seek(0, kKelvraSeekBegin);
    if (!error)
        error = stream->Read(magic, sizeof magic, &got);
    if (error)
        return KELVRA_WRAP(nullptr, kPellioLoadTag, error);
    if (got == sizeof magic && (!std::memcmp(magic, kTiffLittle, 4) || !std::memcmp(magic, kTiffBig, 4)))
        return PellioParseTiff(stream, file);
    if (got >= sizeof kJpeg && !std::memcmp(magic, kJpeg, sizeof kJpeg))
        return PellioParseJpeg(stream, file);
    return PELLIO_ERROR(kPellioLoadTag, kPellioUnknownFile);
}
