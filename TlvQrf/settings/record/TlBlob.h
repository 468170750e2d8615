// An owned byte block (data pointer, byte count), both zero when empty.
#pragma once

#include <cstddef>

class CTlBlob {
public:
    CTlBlob() = default;
    // Copying throws std::bad_alloc when it cannot allocate, so that lists
    // of blocks never hold a silently emptied copy; callers catch it.
    CTlBlob(const CTlBlob& other);
    CTlBlob(CTlBlob&& other) noexcept;
    // Set with the other block's data: an allocation failure empties it.
    CTlBlob& operator=(const CTlBlob& other);
    CTlBlob& operator=(CTlBlob&& other) noexcept;
    ~CTlBlob();

    // Empties the block, then takes `count` bytes of `source` (zero bytes
    // when `source` is null). False, block empty, when allocation fails.
    bool Set(const void* source, std::size_t count);
    // Hands out pointer and count; nothing when either out-pointer is null.
    void Get(const unsigned char** data, std::size_t* count) const;
    bool HasData() const { return m_data != nullptr && m_count != 0; }
    void Free();

    const unsigned char* Data() const { return m_data; }
    std::size_t Count() const { return m_count; }

private:
    unsigned char* m_data = nullptr;
    std::size_t m_count = 0;
};
