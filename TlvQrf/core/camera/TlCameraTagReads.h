// Reads of the maker tags that the camera profile parameters come from.
#pragma once

#include <cstddef>
#include <cstdint>

class IKelvraTagControl;

// The first `size` bytes of the tag's value (zero-filled beyond a shorter
// value); false when the tag is missing or cannot be read.
bool TlReadTagBytes(const IKelvraTagControl* tags, std::uint32_t id, void* out, std::size_t size);
bool TlReadTagLong(const IKelvraTagControl* tags, std::uint32_t id, std::int32_t* value);
bool TlReadTagDouble(const IKelvraTagControl* tags, std::uint32_t id, double* value);
