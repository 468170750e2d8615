#include "frame/TlIccDescription.h"

#include "infra/TlString.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {

const long kTagCountOffset = 128;
const unsigned kTagEntrySize = 12;
const unsigned kTextTypeHeaderSize = 8; // type signature and reserved word

bool ReadBigEndian32(std::FILE* file, std::uint32_t& value)
{
    unsigned char bytes[4];
    if (std::fread(bytes, 1, 4, file) != 4)
        return false;
    value = (std::uint32_t(bytes[0]) << 24) | (std::uint32_t(bytes[1]) << 16) | (std::uint32_t(bytes[2]) << 8) |
            std::uint32_t(bytes[3]);
    return true;
}

long FileSize(std::FILE* file)
{
    const long here = std::ftell(file);
    if (here < 0 || std::fseek(file, 0, SEEK_END) != 0)
        return -1;
    const long size = std::ftell(file);
    return std::fseek(file, here, SEEK_SET) == 0 ? size : -1;
}

// Offset of the first 'desc' entry of the tag table, or 0 when there is none.
std::uint32_t FindDescriptionOffset(std::FILE* file)
{
    std::uint32_t count = 0;
    if (std::fseek(file, kTagCountOffset, SEEK_SET) != 0 || !ReadBigEndian32(file, count))
        return 0;
    // A count larger than the file can hold ends at the end of the file.
    for (std::uint32_t i = 0; i < count; ++i) {
        unsigned char entry[kTagEntrySize];
        if (std::fread(entry, 1, kTagEntrySize, file) != kTagEntrySize)
            return 0;
        if (std::memcmp(entry, "desc", 4) == 0)
            return (std::uint32_t(entry[4]) << 24) | (std::uint32_t(entry[5]) << 16) |
                   (std::uint32_t(entry[6]) << 8) | std::uint32_t(entry[7]);
    }
    return 0;
}

// The ASCII text of the text-description tag at `offset`, bounded by the
// bytes the file really holds and cut at its first zero byte.
bool ReadDescriptionText(std::FILE* file, std::uint32_t offset, std::string& text)
{
    const long size = FileSize(file);
    std::uint32_t length = 0;
    if (size < 0 || offset > std::uint32_t(size) ||
        std::fseek(file, long(offset) + long(kTextTypeHeaderSize), SEEK_SET) != 0 || !ReadBigEndian32(file, length))
        return false;
    const long remaining = size - std::ftell(file);
    if (remaining < 0 || length > std::uint32_t(remaining))
        return false;
    std::vector<char> bytes;
    try {
        bytes.resize(length);
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (length > 0 && std::fread(bytes.data(), 1, length, file) != length)
        return false;
    text.assign(bytes.data(), strnlen(bytes.data(), length));
    return true;
}

bool IsDigitDotOrBlank(char c)
{
    return (c >= '0' && c <= '9') || c == '.' || c == ' ';
}

void CutTrailingVersion(CTlString& description)
{
    int length = description.GetLength();
    while (length > 1 && IsDigitDotOrBlank(description.GetData()[length - 1]))
        --length;
    *description.CharAt(length) = '\0';
}

} // namespace

bool ReadIccDescription(std::FILE* file, CTlString& description, bool keepVersion)
{
    if (!file)
        return false;
    const std::uint32_t offset = FindDescriptionOffset(file);
    std::string text;
    if (offset == 0 || !ReadDescriptionText(file, offset, text))
        return false;
    description = text.c_str();
    if (!keepVersion && description.EqualsNoCase("TALVO", 5))
        CutTrailingVersion(description);
    return true;
}

bool ReadIccDescriptionFromFile(const char* path, CTlString* description, bool keepVersion)
{
    if (!path || !description)
        return false;
    std::FILE* file = std::fopen(path, "rb");
    if (!file)
        return false;
    const bool read = ReadIccDescription(file, *description, keepVersion);
    std::fclose(file);
    return read;
}
