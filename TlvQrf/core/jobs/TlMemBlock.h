// A heap block of bytes with a size and a lock flag, made for image-editor
// filter plug-ins. The bytes are handed out only while the block is locked.
#pragma once

#include <cstdint>

class CTlMemBlock {
public:
    // Allocates n bytes; when that fails the block is empty (size 0).
    explicit CTlMemBlock(std::uint32_t n);
    virtual ~CTlMemBlock();
    CTlMemBlock(const CTlMemBlock&) = delete;
    CTlMemBlock& operator=(const CTlMemBlock&) = delete;

    // Same as GetPointer.
    virtual void* Get();
    // The bytes while locked, else null.
    virtual void* GetPointer();
    virtual std::uint32_t GetSize();
    virtual bool IsLocked();
    virtual bool IsUnlocked();
    // Drops the bytes and unlocks; a block of size 0 is left as it is.
    virtual void Free();
    // Free, then n new bytes (unlocked); answers the new size, 0 when the
    // allocation failed.
    virtual std::uint32_t Reallocate(std::uint32_t n);
    // Sets the lock flag (a flag, not a count) and answers GetPointer.
    virtual void* Lock();
    virtual void Unlock();

private:
    void Allocate(std::uint32_t n);
    void ReleaseBytes();

    std::uint8_t* m_bytes = nullptr;
    std::uint16_t m_locked = 0;
    std::uint32_t m_size = 0;
};
