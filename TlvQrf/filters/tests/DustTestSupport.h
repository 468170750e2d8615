// What the dust engine tests share: stored dust records made by hand with
// zlib, and readers of the images the engines make.
#pragma once

#include "FilterTestSupport.h"

#include "kelvra/KelvraTagControl.h"

#include <zlib.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace dust_test {

using Bytes = std::vector<unsigned char>;

inline void PutWord(Bytes& bytes, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        bytes.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// `bytes` with the word at `offset` replaced.
inline Bytes WithWord(Bytes bytes, std::size_t offset, std::uint32_t value)
{
    for (std::size_t i = 0; i < 4; ++i)
        bytes.at(offset + i) = static_cast<unsigned char>(value >> (8 * i));
    return bytes;
}

inline Bytes Compressed(const Bytes& raw)
{
    uLongf size = compressBound(uLong(raw.size()));
    Bytes packed(size);
    EXPECT_EQ(Z_OK, compress(packed.data(), &size, raw.data(), uLong(raw.size())));
    packed.resize(size);
    return packed;
}

// A `DstR` record's fields; the payload is the zlib stream of `pixels`.
struct ReferenceFields {
    std::uint32_t header = 28;
    std::uint32_t curveId = 258;
    std::uint32_t width = 100;
    std::uint32_t height = 100;
    std::uint32_t kept = 7;
    std::uint32_t lens = 50;
    std::uint32_t aperture = 84;
};

inline Bytes ReferenceRecord(const ReferenceFields& f, const Bytes& pixels)
{
    const Bytes payload = Compressed(pixels);
    Bytes bytes{'D', 's', 't', 'R'};
    PutWord(bytes, 1);
    PutWord(bytes, f.header);
    for (std::uint32_t word : {f.curveId, f.width, f.height, f.kept, f.lens, f.aperture})
        PutWord(bytes, word);
    PutWord(bytes, std::uint32_t(payload.size()));
    bytes.resize(12 + f.header, 0);
    bytes.insert(bytes.end(), payload.begin(), payload.end());
    return bytes;
}

// Pixels that tell their place: (x * 7 + y * 3) & 0xFF.
inline Bytes PatternPixels(long width, long height)
{
    Bytes pixels(std::size_t(width * height));
    for (long y = 0; y < height; ++y)
        for (long x = 0; x < width; ++x)
            pixels[std::size_t(y * width + x)] = static_cast<unsigned char>((x * 7 + y * 3) & 0xFF);
    return pixels;
}

// A `DstL` record of the given tone table and images (an empty image is
// left out); `extraHeader` bytes lengthen the header.
struct MapFields {
    std::uint32_t width = 120;
    std::uint32_t height = 110;
    std::uint32_t flags = 0;
    std::vector<std::uint16_t> table;
    Bytes mask;
    Bytes exclusion;
    std::uint32_t extraHeader = 0;
    // When not 0, the count written in place of the table's own.
    std::uint32_t claimedCount = 0;
};

inline Bytes MapRecord(const MapFields& f)
{
    Bytes rawTable;
    for (std::uint16_t entry : f.table) {
        rawTable.push_back(static_cast<unsigned char>(entry));
        rawTable.push_back(static_cast<unsigned char>(entry >> 8));
    }
    const Bytes table = Compressed(rawTable);
    const Bytes mask = f.mask.empty() ? Bytes() : Compressed(f.mask);
    const Bytes exclusion = f.exclusion.empty() ? Bytes() : Compressed(f.exclusion);
    Bytes bytes{'D', 's', 't', 'L'};
    PutWord(bytes, 1);
    PutWord(bytes, 28 + f.extraHeader);
    PutWord(bytes, f.width);
    PutWord(bytes, f.height);
    PutWord(bytes, f.flags);
    PutWord(bytes, f.claimedCount ? f.claimedCount : std::uint32_t(f.table.size()));
    PutWord(bytes, std::uint32_t(table.size()));
    PutWord(bytes, std::uint32_t(mask.size()));
    PutWord(bytes, std::uint32_t(exclusion.size()));
    bytes.resize(bytes.size() + f.extraHeader, 0xEE);
    for (const Bytes* part : {&table, &mask, &exclusion})
        bytes.insert(bytes.end(), part->begin(), part->end());
    return bytes;
}

// A tone table of `count` entries whose entry i is i * 3 (mod 2^16).
inline std::vector<std::uint16_t> CountingTable(std::size_t count)
{
    std::vector<std::uint16_t> table(count);
    for (std::size_t i = 0; i < count; ++i)
        table[i] = static_cast<std::uint16_t>(i * 3);
    return table;
}

inline Bytes Samples8(IKelvraDataSource* source)
{
    Bytes bytes;
    for (unsigned value : ReadAllSamples(source))
        bytes.push_back(static_cast<unsigned char>(value));
    return bytes;
}

class TagsHolder {
public:
    TagsHolder() { ExpectOk(IKelvraTagControl::CreateTagControl(&tags)); }
    ~TagsHolder() { tags->Destroy(); }
    void Put(std::uint32_t id, std::uint32_t type, const Bytes& value)
    {
        ExpectOk(tags->AddTag(id));
        ExpectOk(tags->SetTag(id, type, std::uint32_t(value.size()), value.data()));
    }
    template <typename T>
    void PutValue(std::uint32_t id, std::uint32_t type, const T& value)
    {
        const auto* at = reinterpret_cast<const unsigned char*>(&value);
        Put(id, type, Bytes(at, at + sizeof value));
    }
    IKelvraTagControl* tags = nullptr;
};

// Tags of a picture that dust analysis reads: the camera model, the
// f-number and a lens of the "0100" layout with the given value.
inline void PutPictureTags(TagsHolder& t, std::int32_t model, double fNumber, unsigned char lensValue)
{
    t.PutValue(0x80004, kKelvraTagTypeLong, std::int32_t(3));
    t.PutValue(0x80001, kKelvraTagTypeLong, model);
    t.PutValue(33437, kKelvraTagTypeDoubles, fNumber);
    Bytes lens(31, 0);
    std::memcpy(lens.data(), "0100", 4);
    lens[13] = lensValue;
    t.Put(0x80098, kKelvraTagTypeLensData, lens);
}

} // namespace dust_test
