#include "runbase/TlvBuffer.h"

#include <new>

bool CTlvBuffer::Assign(const void* data, std::size_t size) noexcept
{
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    try {
        m_bytes.assign(bytes, bytes + (bytes ? size : 0));
        return true;
    } catch (const std::bad_alloc&) {
        m_bytes.clear();
        return false;
    }
}
