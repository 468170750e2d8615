// The ICC profile, split over APP2 segments that each carry their sequence
// number (from 1) and the number of segments after the identifier.
#include "PellioJpegSegments.h"

namespace {

constexpr std::size_t kChunkHeader = 2; // sequence number, count
constexpr std::size_t kMaxChunks = 255;

void PutChunkHeader(std::vector<std::uint8_t>& payload, std::size_t index, std::size_t count)
{
    payload.push_back(std::uint8_t(index + 1));
    payload.push_back(std::uint8_t(count));
}

// Files the chunk under its sequence number; 1008 when its numbers disagree
// with the chunks before it.
IKelvraError* FileChunk(const PellioBytes& content, std::vector<PellioBytes>& chunks)
{
    if (!content.Has(0, kChunkHeader))
        return PELLIO_JPEG_CORRUPT();
    const std::size_t sequence = content.data[0];
    const std::size_t count = content.data[1];
    if (count == 0 || sequence == 0 || sequence > count || (!chunks.empty() && chunks.size() != count))
        return PELLIO_JPEG_CORRUPT();
    chunks.resize(count);
    PellioBytes& chunk = chunks[sequence - 1];
    if (chunk.data) // the same sequence number twice
        return PELLIO_JPEG_CORRUPT();
    chunk = PellioBytes{content.At(kChunkHeader), content.size - kChunkHeader};
    return nullptr;
}

} // namespace

IKelvraError* PellioBuildIccSegments(const std::vector<std::uint8_t>& profile, std::vector<std::uint8_t>& out)
{
    return PellioAppendSplitSegments(out, PellioJpegKind::Icc, profile, kChunkHeader, kMaxChunks, PutChunkHeader);
}

IKelvraError* PellioReadIccProfile(const std::vector<PellioJpegSegment>& segments, std::vector<std::uint8_t>& profile)
{
    std::vector<PellioBytes> chunks;
    for (const PellioJpegSegment& segment : segments) {
        if (PellioJpegKindOf(segment) != PellioJpegKind::Icc)
            continue;
        if (IKelvraError* error = FileChunk(PellioJpegContent(segment), chunks))
            return error;
    }
    if (chunks.empty())
        return nullptr;
    std::vector<std::uint8_t> joined;
    for (const PellioBytes& chunk : chunks) {
        if (!chunk.data) // a sequence number never came
            return PELLIO_JPEG_CORRUPT();
        PellioAppend(joined, chunk.data, chunk.size);
    }
    profile.swap(joined);
    return nullptr;
}
