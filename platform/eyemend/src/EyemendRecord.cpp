// The stored form of a region (docs/eyemend.md): 28 little-endian bytes,
// a tag, a version, the box and a check word over the bytes before it.
#include "eyemend/Eyemend.h"

#include <cstddef>
#include <new>

namespace {

constexpr std::uint32_t kRecordSize = 28;
constexpr unsigned char kTag[4] = {'E', 'm', 'R', 'g'};
constexpr std::uint16_t kVersion = 1;
// The largest coordinate a stored box may hold: far beyond any picture, and
// small enough that a box's width and height fit an int32.
constexpr std::int32_t kLargestCoordinate = 1 << 24;

void PutU32(unsigned char* at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        at[i] = static_cast<unsigned char>(value >> (8 * i));
}

std::uint32_t GetU32(const unsigned char* at)
{
    return std::uint32_t(at[0]) | std::uint32_t(at[1]) << 8 | std::uint32_t(at[2]) << 16 |
           std::uint32_t(at[3]) << 24;
}

// FNV-1a over the record's first 24 bytes.
std::uint32_t CheckWord(const unsigned char* record)
{
    std::uint32_t hash = 2166136261u;
    for (std::uint32_t i = 0; i < kRecordSize - 4; ++i)
        hash = (hash ^ record[i]) * 16777619u;
    return hash;
}

bool ValidBox(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom)
{
    return left >= 0 && top >= 0 && left <= right && top <= bottom && right <= kLargestCoordinate &&
           bottom <= kLargestCoordinate;
}

} // namespace

ReStatus ReSaveRegion(const ReRegion* region, ReWriter writer, void* context, std::uint32_t* size)
{
    if (region == nullptr || size == nullptr)
        return ReMissingArgument;
    if (writer == nullptr) {
        *size = kRecordSize;
        return ReOk;
    }
    if (*size < kRecordSize)
        return ReWriteFailed;
    unsigned char record[kRecordSize] = {};
    for (int i = 0; i < 4; ++i)
        record[i] = kTag[i];
    record[4] = static_cast<unsigned char>(kVersion);
    record[5] = static_cast<unsigned char>(kVersion >> 8);
    PutU32(record + 8, std::uint32_t(region->left));
    PutU32(record + 12, std::uint32_t(region->top));
    PutU32(record + 16, std::uint32_t(region->right));
    PutU32(record + 20, std::uint32_t(region->bottom));
    PutU32(record + 24, CheckWord(record));
    if (!writer(context, record, kRecordSize))
        return ReWriteFailed;
    *size = kRecordSize;
    return ReOk;
}

ReStatus ReLoadRegion(ReReader reader, void* context, std::uint32_t size, ReRegion** region)
{
    if (reader == nullptr || region == nullptr)
        return ReMissingArgument;
    *region = nullptr;
    if (size < kRecordSize)
        return ReBadRecord;
    unsigned char record[kRecordSize];
    if (!reader(context, record, kRecordSize))
        return ReBadRecord;
    const std::uint16_t version = std::uint16_t(record[4] | record[5] << 8);
    for (int i = 0; i < 4; ++i) {
        if (record[i] != kTag[i])
            return ReBadRecord;
    }
    if (version != kVersion || record[6] != 0 || record[7] != 0 || GetU32(record + 24) != CheckWord(record))
        return ReBadRecord;
    const auto left = std::int32_t(GetU32(record + 8));
    const auto top = std::int32_t(GetU32(record + 12));
    const auto right = std::int32_t(GetU32(record + 16));
    const auto bottom = std::int32_t(GetU32(record + 20));
    if (!ValidBox(left, top, right, bottom))
        return ReBadRecord;
    ReRegion* loaded = new (std::nothrow) ReRegion{left, top, right, bottom, nullptr, nullptr};
    if (loaded == nullptr)
        return ReOutOfMemory;
    *region = loaded;
    return ReOk;
}
