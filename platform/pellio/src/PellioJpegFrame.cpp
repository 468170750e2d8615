// The frame header's declared size against the file's: a few hundred bytes
// of JPEG may state a 65535 x 65535 picture, which the decoder would
// allocate and fill before it found out that the data runs short.
#include "PellioJpegSegments.h"

namespace {

// Even a flat picture costs a coded scan at least one bit per 8 x 8 block
// of each component; sound files of any sampling stay well under this many
// decoded bytes per file byte.
constexpr std::uint64_t kMaxDecodedPerByte = 2048;

// Start-of-frame markers: C0 to CF but for DHT (C4), JPG (C8) and DAC (CC).
bool IsFrameHeader(std::uint8_t marker)
{
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

} // namespace

IKelvraError* PellioCheckJpegFrame(const std::vector<PellioJpegSegment>& segments, std::size_t size)
{
    for (const PellioJpegSegment& segment : segments) {
        if (!IsFrameHeader(segment.marker) || !segment.payload.Has(0, 6))
            continue;
        const std::uint64_t height = PellioGet16(segment.payload.At(1), false);
        const std::uint64_t width = PellioGet16(segment.payload.At(3), false);
        const std::uint64_t samples = segment.payload.data[5] == 1 ? 1 : 3; // what the decoder hands out
        if (width * height * samples / kMaxDecodedPerByte > size)
            return IKelvraError::Add(PELLIO_JPEG_CORRUPT(), kPellioJpegTag, __LINE__,
                                     "JPEG frame size out of proportion to the file size");
    }
    return nullptr;
}
