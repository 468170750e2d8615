// The container header of each stored version:
//   3 and up: id, 0xFF, version, u32 length, kind, count, current, contrast
//   2:        id, 0xFF, 2, then count, current, contrast
//   1:        id, count, current, contrast
#include "settings/curves/TlCurveElements.h"
#include "settings/curves/TlLutGroupReading.h"
#include "settings/record/TlStateReader.h"

#include <cstring>

namespace {

constexpr unsigned char kMarker = 0xFF;
constexpr int kVersionOffset = TlStateLayout::kVersionOffset + 1;
constexpr int kFirstWithKind = 3;
constexpr int kVersionWithoutKind = 2;
constexpr int kKindOffset = TlStateLayout::kHeaderSize;
// Version 2 as its field list has it (a byte passed over at 18) and as its
// byte count has it (the fields straight after the marker).
constexpr int kVersion2Fields = 19;
constexpr int kVersion2FieldsPacked = 18;
constexpr int kVersion1Fields = TlStateLayout::kVersionOffset;

bool ReadFieldsAt(const unsigned char* buffer, int size, int start, STlLutGroupHeader& header)
{
    CTlStateReader reader(buffer, size);
    reader.Skip(start);
    std::uint8_t count = 0;
    std::uint8_t current = 0;
    if (!reader.Get(count) || !reader.Get(current) || !reader.Get(header.contrast))
        return false;
    header.count = count;
    header.current = current;
    header.elementsStart = static_cast<int>(reader.Offset());
    return true;
}

bool ElementStartsAt(const unsigned char* buffer, int size, int offset)
{
    return size - offset >= TlStateLayout::kIdSize && TlIsElementId(buffer + offset);
}

bool ReadWithKind(const unsigned char* buffer, int size, STlLutGroupHeader& header)
{
    std::uint32_t length = 0;
    if (size <= kKindOffset)
        return false;
    std::memcpy(&length, buffer + TlStateLayout::kLengthOffset, sizeof length);
    if (std::int64_t(length) + TlStateLayout::kLengthBias > size)
        return false;
    header.hasKind = true;
    header.kind = buffer[kKindOffset];
    return ReadFieldsAt(buffer, size, kKindOffset + 1, header);
}

// The reading under which the first element has a known id.
bool ReadVersion2(const unsigned char* buffer, int size, STlLutGroupHeader& header)
{
    if (ReadFieldsAt(buffer, size, kVersion2Fields, header) && ElementStartsAt(buffer, size, header.elementsStart))
        return true;
    return ReadFieldsAt(buffer, size, kVersion2FieldsPacked, header) &&
           ElementStartsAt(buffer, size, header.elementsStart);
}

} // namespace

bool TlReadLutGroupHeader(const unsigned char* buffer, int size, STlLutGroupHeader& header)
{
    const bool marked = size > kVersionOffset && buffer[TlStateLayout::kVersionOffset] == kMarker;
    const int version = marked ? buffer[kVersionOffset] : 1;
    if (marked && version >= kFirstWithKind) {
        header.version = version;
        return ReadWithKind(buffer, size, header);
    }
    if (marked && version == kVersionWithoutKind) {
        header.version = version;
        return ReadVersion2(buffer, size, header);
    }
    // Unmarked, or marked 0 or 1: the oldest header, whose count stands at 16.
    header.version = 1;
    return ReadFieldsAt(buffer, size, kVersion1Fields, header);
}
