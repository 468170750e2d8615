#include "base/TAnsiString.h"

#include <cwchar>

TAnsiString::TAnsiString(const wchar_t* wide)
    : TAnsiString(wide, wide ? static_cast<int>(std::wcslen(wide)) : 0)
{
}

TAnsiString::TAnsiString(const wchar_t* wide, int count)
{
    if (!wide || count <= 0)
        return;
    const int bytes = WideCharToMultiByte(CP_ACP, 0, wide, count, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0)
        return;
    char* target = GetBuffer(bytes);
    const int written = WideCharToMultiByte(CP_ACP, 0, wide, count, target, bytes, nullptr, nullptr);
    ReleaseBuffer(written > 0 ? written : 0);
}
