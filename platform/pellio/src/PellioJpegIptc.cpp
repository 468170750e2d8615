// The IPTC records, carried as image resource 0x0404 in the APP13 block of
// image resources. A block too long for one segment continues in the next
// APP13 segments, so a reader joins them before parsing.
#include "PellioJpegSegments.h"

#include <cstring>

namespace {

constexpr std::uint16_t kIptcResource = 0x0404;
constexpr char kResourceType[] = "8BIM";
constexpr std::size_t kTypeBytes = 4;
constexpr std::size_t kSmallestResource = 12; // type, id, empty name, size

// One resource: type, id, a Pascal name padded to an even length, size,
// data padded to an even length.
std::vector<std::uint8_t> IptcResource(const std::vector<std::uint8_t>& iptc)
{
    std::vector<std::uint8_t> resource;
    PellioAppend(resource, kResourceType, kTypeBytes);
    PellioPut16(resource, kIptcResource, false);
    PellioPut16(resource, 0, false); // empty name and its pad byte
    PellioPut32(resource, std::uint32_t(iptc.size()), false);
    PellioAppend(resource, iptc.data(), iptc.size());
    if (iptc.size() % 2)
        resource.push_back(0);
    return resource;
}

// A Pascal name of `length` characters with its length byte, padded to an even length.
std::size_t NameBytes(std::uint8_t length)
{
    return (std::size_t(length) + 2) & ~std::size_t(1);
}

// The contents of every APP13 resource segment, in file order.
std::vector<std::uint8_t> JoinedResources(const std::vector<PellioJpegSegment>& segments)
{
    std::vector<std::uint8_t> joined;
    for (const PellioJpegSegment& segment : segments) {
        if (PellioJpegKindOf(segment) != PellioJpegKind::Photoshop)
            continue;
        const PellioBytes content = PellioJpegContent(segment);
        PellioAppend(joined, content.data, content.size);
    }
    return joined;
}

} // namespace

IKelvraError* PellioBuildIptcSegments(const std::vector<std::uint8_t>& iptc, std::vector<std::uint8_t>& out)
{
    if (iptc.size() > 0x7FFFFFFFu)
        return PELLIO_JPEG_CORRUPT();
    return PellioAppendSplitSegments(out, PellioJpegKind::Photoshop, IptcResource(iptc), 0, SIZE_MAX, nullptr);
}

IKelvraError* PellioReadIptc(const std::vector<PellioJpegSegment>& segments, std::vector<std::uint8_t>& iptc)
{
    const std::vector<std::uint8_t> joined = JoinedResources(segments);
    const PellioBytes block{joined.data(), joined.size()};
    std::size_t pos = 0;
    while (block.Has(pos, kSmallestResource)) { // fewer bytes left are padding
        const std::size_t nameAt = pos + kTypeBytes + 2;
        const std::size_t sizeAt = nameAt + NameBytes(block.data[nameAt]);
        if (!block.Has(sizeAt, 4))
            return PELLIO_JPEG_CORRUPT();
        const std::size_t size = PellioGet32(block.At(sizeAt), false);
        const std::size_t dataAt = sizeAt + 4;
        if (!block.Has(dataAt, size))
            return PELLIO_JPEG_CORRUPT();
        if (std::memcmp(block.At(pos), kResourceType, kTypeBytes) == 0 &&
            PellioGet16(block.At(pos + kTypeBytes), false) == kIptcResource) {
            iptc.assign(block.At(dataAt), block.At(dataAt) + size);
            return nullptr;
        }
        pos = dataAt + size + size % 2;
    }
    return nullptr;
}
