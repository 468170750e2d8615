#include "QrfTagBlock.h"

#include "PellioErrors.h"
#include "TiffBytes.h"

#include <algorithm>

#define BLOCK_ERROR(code) PELLIO_ERROR(kPellioTagsTag, (code))

namespace {

const std::uint8_t kMagic[4] = {'Q', 'T', 'A', 'G'};
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kHeaderBytes = 12;
constexpr std::size_t kEntryBytes = 16;

std::uint32_t Word(const std::vector<std::uint8_t>& block, std::size_t at)
{
    return TiffGet32(block.data() + at, TiffOrder::Little);
}

} // namespace

std::vector<std::uint8_t> QrfEncodeTagBlock(const std::vector<PellioTagValue>& values)
{
    std::vector<std::uint8_t> block(kMagic, kMagic + 4);
    TiffPut32(block, kVersion);
    TiffPut32(block, std::uint32_t(values.size()));
    std::size_t offset = kHeaderBytes + kEntryBytes * values.size();
    for (const PellioTagValue& value : values) {
        TiffPut32(block, value.id);
        TiffPut32(block, value.type);
        TiffPut32(block, std::uint32_t(value.bytes.size()));
        TiffPut32(block, std::uint32_t(offset));
        offset += value.bytes.size();
    }
    for (const PellioTagValue& value : values)
        block.insert(block.end(), value.bytes.begin(), value.bytes.end());
    return block;
}

IKelvraError* QrfDecodeTagBlock(const std::vector<std::uint8_t>& block, std::vector<PellioTagValue>* values)
{
    if (block.size() < kHeaderBytes || !std::equal(kMagic, kMagic + 4, block.begin()) ||
        Word(block, 4) != kVersion)
        return BLOCK_ERROR(kPellioCorrupt);
    const std::uint64_t count = Word(block, 8);
    if (count > (block.size() - kHeaderBytes) / kEntryBytes)
        return BLOCK_ERROR(kPellioCorrupt);
    const std::size_t valuesStart = kHeaderBytes + std::size_t(count) * kEntryBytes;
    std::int64_t previous = -1; // ids ascend
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = kHeaderBytes + i * kEntryBytes;
        PellioTagValue value;
        value.id = Word(block, entry);
        value.type = Word(block, entry + 4);
        const std::uint64_t length = Word(block, entry + 8);
        const std::uint64_t offset = Word(block, entry + 12);
        if (value.type == 0 || std::int64_t(value.id) <= previous || offset < valuesStart || offset > block.size() ||
            length > block.size() - offset)
            return BLOCK_ERROR(kPellioCorrupt);
        previous = value.id;
        value.bytes.assign(block.begin() + std::ptrdiff_t(offset), block.begin() + std::ptrdiff_t(offset + length));
        values->push_back(std::move(value));
    }
    return nullptr;
}
