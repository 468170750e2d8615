#include "net/InternetErrors.h"
#include "net/UrlDownloader.h"

#include <gtest/gtest.h>

#include <string>

TEST(InternetErrors, TextsAndDownloadResults)
{
    struct Case {
        DWORD code;
        const wchar_t* text;
        unsigned downloadResult;
    };
    const wchar_t* const certificate = L"SSL Certificate is invalid.";
    const Case cases[] = {
        {12001, L"Memory unavailable", 3},
        {12002, L"Network operation timed out", 4},
        {12007, L"Hostname could not be resolved", 3},
        {12012, L"Internet connection shutdown", 4},
        {12017, L"Network operation was cancelled", 4},
        {12029, L"Cannot connect to destination host", 3},
        {12030, L"Internet connection was aborted", 4},
        {12031, L"Internet connection was reset", 4},
        {12037, certificate, 4},
        {12038, certificate, 4},
        {12045, certificate, 4},
        {12055, certificate, 4},
        {12056, certificate, 4},
        {12057, certificate, 4},
        {12169, certificate, 4},
        {12170, certificate, 4},
        {12152, L"Web server sent back and invalid response", 4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const TWideString text = InternetErrorText(c.code);
        EXPECT_EQ(std::wstring(text.Text()), c.text);
        EXPECT_EQ(DownloadResultForError(c.code), c.downloadResult);
    }
}

TEST(InternetErrors, OtherCodesTakeTheSystemsText)
{
    EXPECT_EQ(DownloadResultForError(12040), 3u);
    EXPECT_FALSE(InternetErrorText(12040).IsEmpty()) << "the system's text or the redirect text";
    EXPECT_EQ(DownloadResultForError(12999), 3u);
    EXPECT_EQ(std::wstring(InternetErrorText(ERROR_ACCESS_DENIED).Text()),
              std::wstring(SystemMessageText(ERROR_ACCESS_DENIED).Text()));
}
