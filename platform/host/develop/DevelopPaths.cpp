#include "DevelopPaths.h"

#include <windows.h>

namespace {

// Wine's own mapping, the one winepath uses: it takes the Unix path in the
// Unix code page and answers a Windows path on the process heap.
using UnixToWindowsFn = WCHAR*(__cdecl*)(const char* unixPath);

// Wine's private name of the Unix code page.
constexpr UINT kUnixCodePage = 65010;

UnixToWindowsFn WineMapping()
{
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (kernel == nullptr)
        return nullptr;
    return reinterpret_cast<UnixToWindowsFn>(reinterpret_cast<void*>(GetProcAddress(kernel, "wine_get_dos_file_name")));
}

std::wstring Widened(const std::string& text, UINT codePage)
{
    const int length = MultiByteToWideChar(codePage, 0, text.c_str(), int(text.size()), nullptr, 0);
    std::wstring wide(std::size_t(length), L'\0');
    if (length > 0)
        MultiByteToWideChar(codePage, 0, text.c_str(), int(text.size()), &wide[0], length);
    return wide;
}

// Empty when a character has no form in `codePage`: a stand-in letter
// ("e" for "é") would name another file.
std::string Narrowed(const std::wstring& wide, UINT codePage)
{
    const int length = WideCharToMultiByte(codePage, 0, wide.c_str(), int(wide.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return std::string();
    std::string text(std::size_t(length), '\0');
    WideCharToMultiByte(codePage, 0, wide.c_str(), int(wide.size()), &text[0], length, nullptr, nullptr);
    return Widened(text, codePage) == wide ? text : std::string();
}

} // namespace

std::string WindowsPathOfArgument(const std::string& argument)
{
    const UnixToWindowsFn mapping = WineMapping();
    if (argument.empty() || argument[0] != '/' || mapping == nullptr)
        return argument;
    // The command line came in through the ANSI code page; Wine wants the
    // path back in the Unix one.
    const std::string unixPath = Narrowed(Widened(argument, CP_ACP), kUnixCodePage);
    if (unixPath.empty())
        return std::string();
    WCHAR* const mapped = mapping(unixPath.c_str());
    if (mapped == nullptr)
        return std::string();
    const std::string windowsPath = Narrowed(mapped, CP_ACP);
    HeapFree(GetProcessHeap(), 0, mapped);
    return windowsPath;
}
