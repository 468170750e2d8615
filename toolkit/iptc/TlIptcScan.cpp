#include "iptc/TlIptcScan.h"

namespace {

constexpr unsigned char kDatasetMarker = 0x1C;
constexpr std::size_t kHeaderLength = 5; // marker, record, dataset number, two length bytes
constexpr unsigned kExtendedLengthBit = 0x8000;
constexpr std::size_t kMostLengthBytes = 4;

unsigned ReadBigEndian16(const unsigned char* bytes)
{
    return (static_cast<unsigned>(bytes[0]) << 8) | bytes[1];
}

// Reads the header at `at` (a marker byte) into `dataset` and answers whether it
// lies wholly inside the block, data included.
bool ReadHeader(const unsigned char* block, std::size_t blockLength, std::size_t at,
                unsigned short& tag, TlIptcDataset& dataset)
{
    if (blockLength - at < kHeaderLength)
        return false;
    tag = static_cast<unsigned short>(ReadBigEndian16(block + at + 1));
    const unsigned lengthWord = ReadBigEndian16(block + at + 3);
    std::size_t dataOffset = at + kHeaderLength;
    std::size_t length = lengthWord;
    if (lengthWord & kExtendedLengthBit) {
        const std::size_t lengthBytes = lengthWord & ~kExtendedLengthBit;
        if (lengthBytes == 0 || lengthBytes > kMostLengthBytes || blockLength - dataOffset < lengthBytes)
            return false;
        length = 0;
        for (std::size_t i = 0; i < lengthBytes; ++i)
            length = (length << 8) | block[dataOffset + i];
        dataOffset += lengthBytes;
    }
    if (blockLength - dataOffset < length)
        return false;
    dataset.dataOffset = dataOffset;
    dataset.length = length;
    dataset.next = dataOffset + length;
    return true;
}

} // namespace

bool TlFindIptcDataset(const unsigned char* block, std::size_t blockLength, std::size_t from,
                       unsigned short tag, TlIptcDataset& found) noexcept
{
    if (!block)
        return false;
    std::size_t at = from;
    while (at < blockLength) {
        if (block[at] != kDatasetMarker) {
            ++at;
            continue;
        }
        unsigned short datasetTag = 0;
        TlIptcDataset dataset;
        if (!ReadHeader(block, blockLength, at, datasetTag, dataset))
            return false;
        if (datasetTag == tag) {
            found = dataset;
            return true;
        }
        at = dataset.next;
    }
    return false;
}
