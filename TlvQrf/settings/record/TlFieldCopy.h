// The field copiers every record's Save and Load use, so that byte order and
// field widths are handled in one place.
#pragma once

#include <cstddef>
#include <cstdint>

// Copies `count` bytes; the blocks may overlap. Always true.
bool CopyBytes(const void* source, void* destination, std::size_t count);

// Copies one field of 1, 2, 4 or 8 bytes from a value into a buffer, byte for
// byte in machine order. Other widths copy nothing and give false.
bool WriteValue(const void* source, void* destination, std::uint16_t width);

// The same copy from a buffer position into a value.
bool ReadValue(const void* position, void* destination, std::uint16_t width);

// Reads a big-endian field of 1, 2, 4 or 8 bytes: the destination receives
// the bytes in reverse order. Other widths copy nothing and give false.
bool ReadValueSwapped(const void* position, void* destination, std::uint16_t width);
