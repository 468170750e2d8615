// Wide text, copy on write: user-interface texts, addresses and paths.
#pragma once

#include "base/TStringCore.h"

class TWideString : public TStringCore<wchar_t, TWideString> {
public:
    using TStringCore::TStringCore;
    TWideString() = default;
    // A value below 0x10000 is a string-table id of the program's own module.
    TWideString(const wchar_t* text);
    // Converted from narrow text through the ANSI code page.
    explicit TWideString(const char* narrow);
    explicit TWideString(const char* narrow, int count);

    // -1, 0 or 1; characters up to 255 compare as their upper case in the
    // C library's current locale, others as they are.
    int CompareNoCase(const wchar_t* other) const;

    // printf-style, with the C library's wide conventions (%s takes a wide
    // string); the buffer grows in steps of 256 characters as needed.
    void Format(const wchar_t* format, ...);

    // True when the text with that id in the module's string table is not empty.
    bool LoadFromTable(HINSTANCE instance, UINT id);
};
