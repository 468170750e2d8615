// Walking a JPEG file's marker segments and telling our metadata segments
// apart from the rest.
#include "PellioJpegSegments.h"

#include <cstring>

namespace {

struct Signature {
    PellioJpegKind kind;
    std::uint8_t marker;
    const char* text;
    std::size_t length; // the identifiers hold NULs, so not strlen
};

const Signature kSignatures[] = {
    {PellioJpegKind::Jfif, kJpegApp0, "JFIF\0", 5},
    {PellioJpegKind::Exif, kJpegApp1, "Exif\0\0", 6},
    {PellioJpegKind::Icc, kJpegApp2, "ICC_PROFILE\0", 12},
    {PellioJpegKind::Photoshop, kJpegApp13, "Photoshop 3.0\0", 14},
};

const Signature* SignatureOf(PellioJpegKind kind)
{
    for (const Signature& signature : kSignatures) {
        if (signature.kind == kind)
            return &signature;
    }
    return nullptr;
}

// Restart markers and TEM carry no length.
bool IsStandalone(std::uint8_t marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7);
}

// The offset of the marker that ends the coded data from `pos`, or `size`
// when the data runs to the end. Stuffed zeros, restarts and fill bytes
// belong to the data.
std::size_t SkipCodedData(const std::uint8_t* data, std::size_t size, std::size_t pos)
{
    while (pos + 1 < size) {
        const void* found = std::memchr(data + pos, 0xFF, size - pos - 1);
        if (!found)
            return size;
        pos = std::size_t(static_cast<const std::uint8_t*>(found) - data);
        const std::uint8_t next = data[pos + 1];
        if (next == 0x00 || IsStandalone(next))
            pos += 2;
        else if (next == 0xFF)
            pos += 1;
        else
            return pos;
    }
    return size;
}

// Reads the length-counted segment whose length word is at `pos` and moves
// `pos` past it (and past its coded data for a scan).
IKelvraError* ReadSegment(const PellioBytes& file, std::uint8_t marker, std::size_t start, std::size_t& pos,
                          std::vector<PellioJpegSegment>& segments)
{
    if (marker == 0x00 || marker == kJpegSoi || !file.Has(pos, 2))
        return PELLIO_JPEG_CORRUPT();
    const std::size_t length = PellioGet16(file.At(pos), false);
    if (length < 2 || !file.Has(pos, length))
        return PELLIO_JPEG_CORRUPT();
    PellioJpegSegment segment;
    segment.marker = marker;
    segment.start = start;
    segment.end = pos + length;
    segment.payload = PellioBytes{file.At(pos + 2), length - 2};
    segments.push_back(segment);
    pos = segment.end;
    if (marker == kJpegSos)
        pos = SkipCodedData(file.data, file.size, pos);
    return nullptr;
}

} // namespace

IKelvraError* PellioWalkJpeg(const std::uint8_t* data, std::size_t size, std::vector<PellioJpegSegment>& segments)
{
    const PellioBytes file{data, size};
    if (!data || size < 4 || data[0] != 0xFF || data[1] != kJpegSoi)
        return PELLIO_JPEG_CORRUPT();
    std::size_t pos = 2;
    bool scanned = false;
    for (;;) {
        const std::size_t start = pos;
        if (pos >= size || data[pos] != 0xFF)
            return PELLIO_JPEG_CORRUPT();
        while (pos < size && data[pos] == 0xFF)
            ++pos;
        if (pos >= size)
            return PELLIO_JPEG_CORRUPT();
        const std::uint8_t marker = data[pos++];
        if (marker == kJpegEoi)
            return scanned ? nullptr : PELLIO_JPEG_CORRUPT();
        if (IsStandalone(marker))
            continue;
        if (IKelvraError* error = ReadSegment(file, marker, start, pos, segments))
            return error;
        scanned = scanned || marker == kJpegSos;
    }
}

PellioJpegKind PellioJpegKindOf(const PellioJpegSegment& segment)
{
    for (const Signature& signature : kSignatures) {
        if (segment.marker == signature.marker && segment.payload.Has(0, signature.length) &&
            std::memcmp(segment.payload.data, signature.text, signature.length) == 0)
            return signature.kind;
    }
    return PellioJpegKind::Other;
}

std::vector<std::uint8_t> PellioJpegPayloadHead(PellioJpegKind kind)
{
    const Signature* signature = SignatureOf(kind);
    return signature ? std::vector<std::uint8_t>(signature->text, signature->text + signature->length)
                     : std::vector<std::uint8_t>();
}

PellioBytes PellioJpegContent(const PellioJpegSegment& segment)
{
    const Signature* signature = SignatureOf(PellioJpegKindOf(segment));
    const std::size_t length = signature ? signature->length : 0;
    return PellioBytes{segment.payload.At(length), segment.payload.size - length};
}

IKelvraError* PellioAppendJpegSegment(std::vector<std::uint8_t>& out, std::uint8_t marker,
                                      const std::vector<std::uint8_t>& payload)
{
    if (payload.size() > kJpegMaxPayload)
        return PELLIO_JPEG_CORRUPT();
    out.push_back(0xFF);
    out.push_back(marker);
    PellioPut16(out, std::uint16_t(payload.size() + 2), false);
    PellioAppend(out, payload.data(), payload.size());
    return nullptr;
}

IKelvraError* PellioAppendSplitSegments(std::vector<std::uint8_t>& out, PellioJpegKind kind,
                                        const std::vector<std::uint8_t>& content, std::size_t headerBytes,
                                        std::size_t maxSegments, PellioSplitHeader header)
{
    const Signature* signature = SignatureOf(kind);
    const std::size_t capacity = kJpegMaxPayload - signature->length - headerBytes;
    const std::size_t count = (content.size() + capacity - 1) / capacity;
    if (count > maxSegments)
        return PELLIO_JPEG_CORRUPT();
    for (std::size_t index = 0; index < count; ++index) {
        std::vector<std::uint8_t> payload = PellioJpegPayloadHead(kind);
        if (header)
            header(payload, index, count);
        const std::size_t offset = index * capacity;
        const std::size_t length = content.size() - offset < capacity ? content.size() - offset : capacity;
        PellioAppend(payload, content.data() + offset, length);
        if (IKelvraError* error = PellioAppendJpegSegment(out, signature->marker, payload))
            return error;
    }
    return nullptr;
}
