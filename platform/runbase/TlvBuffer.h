// A block of bytes that a record carries, such as a profile's own data.
#pragma once

#include <cstddef>
#include <vector>

class CTlvBuffer {
public:
    // Replaces the contents with a copy of `size` bytes (none for null
    // data). False, leaving the buffer empty, when memory runs out.
    bool Assign(const void* data, std::size_t size) noexcept;
    void Clear() noexcept { m_bytes.clear(); }

    // Null when empty.
    const unsigned char* GetData() const noexcept { return m_bytes.empty() ? nullptr : m_bytes.data(); }
    std::size_t GetSize() const noexcept { return m_bytes.size(); }
    bool IsEmpty() const noexcept { return m_bytes.empty(); }

private:
    std::vector<unsigned char> m_bytes;
};
