#include "net/InternetErrors.h"

namespace {
struct KnownError {
    DWORD code;
    const wchar_t* text;
};

const wchar_t kCertificateText[] = L"SSL Certificate is invalid.";

const KnownError kKnownErrors[] = {
    {12001, L"Memory unavailable"},
    {12002, L"Network operation timed out"},
    {12007, L"Hostname could not be resolved"},
    {12012, L"Internet connection shutdown"},
    {12017, L"Network operation was cancelled"},
    {12029, L"Cannot connect to destination host"},
    {12030, L"Internet connection was aborted"},
    {12031, L"Internet connection was reset"},
    {12037, kCertificateText},
    {12038, kCertificateText},
    {12045, kCertificateText},
    {12055, kCertificateText},
    {12056, kCertificateText},
    {12057, kCertificateText},
    {12169, kCertificateText},
    {12170, kCertificateText},
    {12152, L"Web server sent back and invalid response"},
};

const DWORD kHttpsToHttpRedirect = 12040;
}

TWideString SystemMessageText(DWORD code)
{
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0 || !buffer)
        return TWideString();
    TWideString text(buffer, static_cast<int>(length));
    LocalFree(buffer);
    return text;
}

TWideString InternetErrorText(DWORD code)
{
    if (code == kHttpsToHttpRedirect) {
        TWideString system = SystemMessageText(code);
        return system.IsEmpty() ? TWideString(L"Moving from an SSL to an non-SSL connection because of a redirect.")
                                : system;
    }
    for (const KnownError& known : kKnownErrors) {
        if (known.code == code)
            return TWideString(known.text);
    }
    return SystemMessageText(code);
}
