// The map's lifecycle and its stored record.
#include "filters/dust/TlDustMap.h"

#include <zlib.h>

#include <cstring>
#include <new>
#include <utility>

namespace {
constexpr std::uint32_t kMapMagic = 0x4C747344; // "DstL" as stored
constexpr std::uint32_t kMapVersion = 1;
constexpr std::uint32_t kMapHeaderSize = 28;
constexpr std::size_t kMapHeaderEnd = 40;
// A forward part of 256 (8-bit pictures) or 65536 entries before the
// 65536 of the inverse part.
constexpr std::uint32_t kMinTableCount = 256 + 65536;
constexpr std::uint32_t kMaxTableCount = 65536 + 65536;
} // namespace

CDustMap::Contents::~Contents()
{
    if (mask)
        mask->Release();
    if (exclusion)
        exclusion->Release();
}

void CDustMap::Contents::Swap(Contents& other)
{
    table.swap(other.table);
    packedTable.swap(other.packedTable);
    std::swap(width, other.width);
    std::swap(height, other.height);
    std::swap(flip, other.flip);
    std::swap(angle, other.angle);
    std::swap(mask, other.mask);
    std::swap(exclusion, other.exclusion);
    maskPages.Swap(other.maskPages);
    exclusionPages.Swap(other.exclusionPages);
}

IKelvraDataSource* CDustMap::GetCorrectionMask() const
{
    return m_state == kFinished ? m_contents.mask : nullptr;
}

IKelvraDataSource* CDustMap::GetExclusionImage() const
{
    return m_state == kFinished ? m_contents.exclusion : nullptr;
}

const std::uint16_t* CDustMap::GetToneTable(std::size_t* count) const
{
    if (m_state != kFinished || m_contents.table.empty()) {
        *count = 0;
        return nullptr;
    }
    *count = m_contents.table.size();
    return m_contents.table.data();
}

std::size_t CDustMap::GetStoredSize() const
{
    if (m_state != kFinished)
        return 0;
    return kMapHeaderEnd + m_contents.packedTable.size() + m_contents.maskPages.Size() +
           m_contents.exclusionPages.Size();
}

IKelvraError* CDustMap::Store(std::size_t capacity, unsigned char* buffer) const
{
    if (m_state != kFinished)
        return DustError(__LINE__, kDustBadRecord);
    if (capacity < GetStoredSize() || buffer == nullptr)
        return DustError(__LINE__, kDustBufferTooSmall);
    const Contents& c = m_contents;
    const std::uint32_t words[] = {kMapMagic,
                                   kMapVersion,
                                   kMapHeaderSize,
                                   std::uint32_t(c.width),
                                   std::uint32_t(c.height),
                                   std::uint32_t(c.angle * 2 + (c.flip ? 1 : 0)),
                                   std::uint32_t(c.table.size()),
                                   std::uint32_t(c.packedTable.size()),
                                   std::uint32_t(c.maskPages.Size()),
                                   std::uint32_t(c.exclusionPages.Size())};
    unsigned char* at = buffer;
    for (std::uint32_t word : words) {
        PutDustWord(at, word);
        at += 4;
    }
    if (!c.packedTable.empty())
        std::memcpy(at, c.packedTable.data(), c.packedTable.size());
    at += c.packedTable.size();
    c.maskPages.CopyTo(at);
    at += c.maskPages.Size();
    c.exclusionPages.CopyTo(at);
    return nullptr;
}

IKelvraError* CDustMap::Load(std::size_t size, const unsigned char* bytes)
{
    if (bytes == nullptr)
        size = 0;
    auto word = [&](std::size_t offset) { return DustWord(bytes, size, offset); };
    const std::uint32_t header = word(8);
    const std::uint32_t flags = word(20);
    const std::uint32_t count = word(24);
    const std::uint32_t tableSize = word(28);
    const std::uint32_t maskSize = word(32);
    const std::uint32_t exclusionSize = word(36);
    if (word(0) != kMapMagic || header < kMapHeaderSize || size < kMapHeaderEnd)
        return DustError(__LINE__, kDustBadRecord);
    // The sizes come from stored settings: added in 64 bits they cannot wrap.
    const std::uint64_t needed = std::uint64_t(tableSize) + maskSize + exclusionSize + header + 12;
    if (needed > size)
        return DustError(__LINE__, kDustBadRecord);
    if (count < kMinTableCount)
        return DustError(__LINE__, kKelvraMissingObject);
    if (count > kMaxTableCount)
        return DustError(__LINE__, kDustBadRecord);

    Contents loaded;
    loaded.width = long(word(12) & 0x7FFFFFFF);
    loaded.height = long(word(16) & 0x7FFFFFFF);
    loaded.flip = (flags & 1) != 0;
    loaded.angle = long(std::int32_t(flags) / 2);
    const unsigned char* data = bytes + 12 + header;
    if (IKelvraError* error = LoadTable(data, tableSize, count, loaded))
        return DustWrap(__LINE__, error);
    data += tableSize;
    if (maskSize != 0) {
        if (IKelvraError* error = LoadImage(data, maskSize, loaded, loaded.maskPages, &loaded.mask))
            return DustWrap(__LINE__, error);
    }
    data += maskSize;
    if (exclusionSize != 0) {
        if (IKelvraError* error = LoadImage(data, exclusionSize, loaded, loaded.exclusionPages, &loaded.exclusion))
            return DustWrap(__LINE__, error);
    }
    ReleaseWork();
    m_contents.Swap(loaded);
    m_state = kFinished;
    return nullptr;
}

// The table must come back whole: the filter reads its last 65536 entries
// as the inverse part.
IKelvraError* CDustMap::LoadTable(const unsigned char* packed, std::uint32_t size, std::uint32_t count,
                                  Contents& into)
{
    std::vector<unsigned char> raw;
    try {
        into.packedTable.assign(packed, packed + size);
        raw.resize(std::size_t(count) * 2);
        into.table.resize(count);
    } catch (const std::bad_alloc&) {
        return DustError(__LINE__, kKelvraOutOfMemory);
    }
    uLongf length = uLongf(raw.size());
    const int result = uncompress(raw.data(), &length, packed, uLong(size));
    if (result != Z_OK)
        return DustZlibError(__LINE__, result);
    if (length != raw.size())
        return DustError(__LINE__, kDustBadRecord);
    for (std::size_t i = 0; i < into.table.size(); ++i)
        into.table[i] = std::uint16_t(raw[2 * i] | (raw[2 * i + 1] << 8));
    return nullptr;
}

IKelvraError* CDustMap::LoadImage(const unsigned char* packed, std::uint32_t size, Contents& into, CDustPages& pages,
                                  IKelvraImage** image)
{
    if (into.width <= 0 || into.height <= 0)
        return DustError(__LINE__, kDustBadRecord);
    if (!pages.Assign(packed, size))
        return DustError(__LINE__, kKelvraOutOfMemory);
    TlDustImageShape shape;
    shape.width = into.width;
    shape.height = into.height;
    shape.flip = into.flip;
    shape.angle = double(into.angle);
    return DecodeDustImage(m_manager, pages, shape, image);
}
