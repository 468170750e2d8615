// Text in the ANSI code page, copy on write.
#pragma once

#include "base/TStringCore.h"

class TAnsiString : public TStringCore<char, TAnsiString> {
public:
    using TStringCore::TStringCore;
    TAnsiString() = default;
    // Converted from wide text through the ANSI code page.
    explicit TAnsiString(const wchar_t* wide);
    explicit TAnsiString(const wchar_t* wide, int count);
};
