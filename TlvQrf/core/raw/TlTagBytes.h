// The whole value of a tag read as bytes, for the blocks a raw file keeps in
// its tags (stored settings, dust maps).
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

class IKelvraTagControl;

// The tags a raw file keeps its edit settings, dust data and orientation in.
enum : std::uint32_t {
    kTlStoredSettingsTag = 0x80E01,
    kTlDustIdentificationTag = 0x80E0A,
    kTlDustReferenceTag = 0x80E0B,
    kTlResolutionTag = 0x10003,
    kTlMirrorTag = 0x10004,
    kTlAngleTag = 0x10005,
};

// Empty when the tag is missing, empty, unreadable or too large to hold.
std::vector<unsigned char> ReadWholeTag(const IKelvraTagControl& tags, std::uint32_t id);

// A buffer of `size` bytes that `fill(data, size)` writes; empty when `size`
// is 0, the memory cannot be had or `fill` returns false.
template <typename Fill>
std::vector<unsigned char> FilledBytes(std::size_t size, Fill fill)
{
    std::vector<unsigned char> bytes;
    if (size == 0)
        return bytes;
    try {
        bytes.resize(size);
    } catch (const std::bad_alloc&) {
        return {};
    }
    if (!fill(bytes.data(), bytes.size()))
        bytes.clear();
    return bytes;
}
