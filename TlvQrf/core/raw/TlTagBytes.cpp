#include "raw/TlTagBytes.h"

#include "kelvra/KelvraTagControl.h"

#include <new>

std::vector<unsigned char> ReadWholeTag(const IKelvraTagControl& tags, std::uint32_t id)
{
    std::vector<unsigned char> bytes;
    const std::uint32_t size = tags.GetTagSize(id, 0);
    if (size == 0)
        return bytes;
    try {
        bytes.resize(size);
    } catch (const std::bad_alloc&) {
        return {};
    }
    if (IKelvraError* error = tags.GetTag(id, kKelvraTagTypeBytes, size, bytes.data(), 0)) {
        IKelvraError::Release(error);
        bytes.clear();
    }
    return bytes;
}
