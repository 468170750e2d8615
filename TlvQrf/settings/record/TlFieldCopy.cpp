#include "settings/record/TlFieldCopy.h"

#include <cstring>

namespace {

bool IsFieldWidth(std::uint16_t width)
{
    return width == 1 || width == 2 || width == 4 || width == 8;
}

} // namespace

bool CopyBytes(const void* source, void* destination, std::size_t count)
{
    if (count != 0)
        std::memmove(destination, source, count);
    return true;
}

bool WriteValue(const void* source, void* destination, std::uint16_t width)
{
    if (!IsFieldWidth(width))
        return false;
    std::memcpy(destination, source, width);
    return true;
}

bool ReadValue(const void* position, void* destination, std::uint16_t width)
{
    return WriteValue(position, destination, width);
}

bool ReadValueSwapped(const void* position, void* destination, std::uint16_t width)
{
    if (!IsFieldWidth(width))
        return false;
    const auto* from = static_cast<const unsigned char*>(position);
    auto* to = static_cast<unsigned char*>(destination);
    for (std::uint16_t i = 0; i < width; ++i)
        to[i] = from[width - 1 - i];
    return true;
}
