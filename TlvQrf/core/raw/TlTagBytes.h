// The whole value of a tag read as bytes, for the blocks a raw file keeps in
// its tags (stored settings, dust maps).
#pragma once

#include <cstdint>
#include <vector>

class IKelvraTagControl;

// Empty when the tag is missing, empty, unreadable or too large to hold.
std::vector<unsigned char> ReadWholeTag(const IKelvraTagControl& tags, std::uint32_t id);
