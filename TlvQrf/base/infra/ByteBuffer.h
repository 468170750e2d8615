// A fixed-size byte block with one read/write position: the library's
// in-memory stream.
#pragma once

class CByteBuffer {
public:
    CByteBuffer() = default;
    // A copy of the source's bytes, with its position at 0; empty when the
    // copy cannot be allocated.
    CByteBuffer(const CByteBuffer& other);
    CByteBuffer& operator=(const CByteBuffer& other);
    ~CByteBuffer();

    // Replaces the block with `size` fresh zero bytes (none for 0) and
    // rewinds. False, leaving the buffer empty, when `size` is negative or
    // the block cannot be allocated.
    bool Allocate(int size);
    // Copy at most `count` bytes at the position, never beyond the end of
    // the block, and advance; the result is the number of bytes copied.
    int Write(const void* bytes, int count);
    int Read(void* bytes, int count);
    void Rewind();
    bool IsEmpty() const;
    // Frees the block; size and position become 0.
    void Free();

    const unsigned char* GetData() const;
    int GetSize() const;
    int GetPosition() const;

private:
    // How many of `count` bytes fit between the position and the end.
    int Transferable(const void* bytes, int count) const;

    unsigned char* m_data = nullptr;
    int m_size = 0;
    int m_position = 0;
};
