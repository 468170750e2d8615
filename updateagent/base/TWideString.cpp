#include "base/TWideString.h"

#include <cstdarg>
#include <cstdio>
#include <cwctype>

TWideString::TWideString(const wchar_t* text)
{
    if (text && IS_INTRESOURCE(text)) {
        LoadFromTable(GetModuleHandleW(nullptr), static_cast<UINT>(reinterpret_cast<ULONG_PTR>(text)));
        return;
    }
    Assign(text, Measure(text));
}

TWideString::TWideString(const char* narrow)
    : TWideString(narrow, narrow ? static_cast<int>(std::strlen(narrow)) : 0)
{
}

TWideString::TWideString(const char* narrow, int count)
{
    if (!narrow || count <= 0)
        return;
    const int chars = MultiByteToWideChar(CP_ACP, 0, narrow, count, nullptr, 0);
    if (chars <= 0)
        return;
    wchar_t* target = GetBuffer(chars);
    const int written = MultiByteToWideChar(CP_ACP, 0, narrow, count, target, chars);
    ReleaseBuffer(written > 0 ? written : 0);
}

namespace {
wint_t FoldCase(wchar_t ch)
{
    return ch <= 255 ? std::towupper(ch) : ch;
}
}

int TWideString::CompareNoCase(const wchar_t* other) const
{
    const wchar_t* mine = Text();
    if (!other)
        other = L"";
    for (;; ++mine, ++other) {
        const wint_t a = FoldCase(*mine);
        const wint_t b = FoldCase(*other);
        if (a != b)
            return a < b ? -1 : 1;
        if (a == 0)
            return 0;
    }
}

void TWideString::Format(const wchar_t* format, ...)
{
    // A formatter that keeps failing for another reason than room must not
    // grow the buffer for ever.
    const int giveUpAt = 16 * 1024 * 1024;
    for (int size = 256; size <= giveUpAt; size += 256) {
        wchar_t* target = GetBuffer(size);
        va_list arguments;
        va_start(arguments, format);
        const int written = _vsnwprintf(target, size, format, arguments);
        va_end(arguments);
        if (written >= 0 && written < size) {
            ReleaseBuffer(written);
            return;
        }
        ReleaseBuffer(0);
    }
    Empty();
}

bool TWideString::LoadFromTable(HINSTANCE instance, UINT id)
{
    for (int size = 255;; size += 256) {
        wchar_t* target = GetBuffer(size);
        const int loaded = LoadStringW(instance, id, target, size);
        if (size - loaded >= 2) {
            ReleaseBuffer(loaded > 0 ? loaded : 0);
            return loaded > 0;
        }
        ReleaseBuffer(0);
    }
}
