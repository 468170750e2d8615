// The buffer both string classes share: a header of three 32-bit words
// (reference count, length, capacity) ahead of capacity + 1 characters.
// A negative count marks a buffer its owner writes into, which may not be
// shared; one empty buffer per character type stands for every empty string.
#pragma once

#include <windows.h>

struct TStringHeader {
    LONG refCount;
    LONG length;
    LONG capacity;
};
static_assert(sizeof(TStringHeader) == 12, "the header is three 32-bit words");

template <class Ch>
struct TStringBuffer {
    static TStringHeader* HeaderOf(const Ch* chars)
    {
        return reinterpret_cast<TStringHeader*>(const_cast<Ch*>(chars)) - 1;
    }

    static Ch* Empty();
    static bool IsEmptyBuffer(const Ch* chars) { return chars == Empty(); }

    // A new buffer of n characters: count 1, length = capacity = n.
    static Ch* Allocate(int n);

    static void AddRef(Ch* chars)
    {
        if (!IsEmptyBuffer(chars))
            InterlockedIncrement(&HeaderOf(chars)->refCount);
    }

    static void Release(Ch* chars)
    {
        if (IsEmptyBuffer(chars))
            return;
        if (InterlockedDecrement(&HeaderOf(chars)->refCount) <= 0)
            Free(chars);
    }

private:
    static void Free(Ch* chars);
};

extern template struct TStringBuffer<char>;
extern template struct TStringBuffer<wchar_t>;
