#include "base/TStringBuffer.h"

#include <cstdlib>
#include <new>

namespace {
template <class Ch>
struct EmptyBuffer {
    TStringHeader header;
    Ch terminator;
};

// Never counted and never freed: its count stays at -1 so that nothing ever
// writes into it in place.
EmptyBuffer<char> g_emptyAnsi = {{-1, 0, 0}, 0};
EmptyBuffer<wchar_t> g_emptyWide = {{-1, 0, 0}, 0};

EmptyBuffer<char>& EmptyOf(char*) { return g_emptyAnsi; }
EmptyBuffer<wchar_t>& EmptyOf(wchar_t*) { return g_emptyWide; }
}

template <class Ch>
Ch* TStringBuffer<Ch>::Empty()
{
    return &EmptyOf(static_cast<Ch*>(nullptr)).terminator;
}

template <class Ch>
Ch* TStringBuffer<Ch>::Allocate(int n)
{
    if (n <= 0)
        return Empty();
    void* block = std::malloc(sizeof(TStringHeader) + (static_cast<size_t>(n) + 1) * sizeof(Ch));
    if (!block)
        throw std::bad_alloc();
    auto* header = static_cast<TStringHeader*>(block);
    header->refCount = 1;
    header->length = n;
    header->capacity = n;
    Ch* chars = reinterpret_cast<Ch*>(header + 1);
    chars[n] = 0;
    return chars;
}

template <class Ch>
void TStringBuffer<Ch>::Free(Ch* chars)
{
    std::free(HeaderOf(chars));
}

template struct TStringBuffer<char>;
template struct TStringBuffer<wchar_t>;
