#include "app/UpdateAddresses.h"

#include <cwchar>

namespace {
bool StartsWithNoCase(const TWideString& text, const wchar_t* prefix)
{
    const int length = static_cast<int>(wcslen(prefix));
    return text.Length() >= length && text.Left(length).CompareNoCase(prefix) == 0;
}
}

bool UpdateAddressesPass(bool installerLoaded, const TWideString& installer, bool md5Loaded,
                         const TWideString& md5File)
{
    return installerLoaded && md5Loaded && StartsWithNoCase(md5File, L"HTTPS") && StartsWithNoCase(installer, L"HTTP");
}
