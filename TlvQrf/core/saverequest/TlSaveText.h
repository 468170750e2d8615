// The text member of the host's save record. The record's layout is shared
// with hosts built by another compiler, whose standard string is seven
// words (28 bytes on 32-bit Windows): a spare word, a 16-byte buffer that
// holds short texts in place or points at a longer one, the length and the
// capacity. Ours keeps that shape, so the record keeps its size.
#pragma once

#include <cstddef>

class CTlSaveText {
public:
    CTlSaveText();
    explicit CTlSaveText(const char* text);
    CTlSaveText(const CTlSaveText& other);
    CTlSaveText& operator=(const CTlSaveText& other);
    ~CTlSaveText();

    // Null is taken as empty. False without memory; the text is then empty.
    bool Assign(const char* text);
    const char* c_str() const;
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }

private:
    static constexpr std::size_t kInPlace = 16;

    bool IsInPlace() const { return m_capacity < kInPlace; }
    char* Data();
    void Free();

    void* m_spare = nullptr;
    union {
        char buffer[kInPlace];
        char* pointer;
    } m_text;
    std::size_t m_size = 0;
    std::size_t m_capacity = kInPlace - 1;
};
