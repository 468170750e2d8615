// The Windows names the develop command gives the paths on its command line:
// a Unix path as Wine maps it, whatever folders of it exist, and a Windows
// path as it was written.
#include "DevelopPaths.h"

#include "DevelopSameFile.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

// Wine's mapping the other way, for a file the test made under a Windows name.
std::string UnixPathOf(const std::string& windowsPath)
{
    using WindowsToUnixFn = char*(__cdecl*)(const WCHAR* windowsPath);
    const auto mapping = reinterpret_cast<WindowsToUnixFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (mapping == nullptr)
        return std::string();
    const std::wstring wide(windowsPath.begin(), windowsPath.end());
    char* const unixPath = mapping(wide.c_str());
    if (unixPath == nullptr)
        return std::string();
    std::string text(unixPath);
    HeapFree(GetProcessHeap(), 0, unixPath);
    return text;
}

// "café" in `codePage`; empty when the page lacks the letter.
std::string Cafe(UINT codePage)
{
    char text[16] = {};
    const int length = WideCharToMultiByte(codePage, 0, L"caf\u00e9", 4, text, sizeof text, nullptr, nullptr);
    std::wstring back(4, L'\0');
    if (length <= 0 || MultiByteToWideChar(codePage, 0, text, length, &back[0], 4) != 4 || back != L"caf\u00e9")
        return std::string();
    return std::string(text, std::size_t(length));
}

TEST(DevelopPathsTest, UnixPathsGetWinesWindowsNameAndWindowsPathsStayAsTheyAre)
{
    const struct {
        const char* form;
        std::string argument;
        std::string windowsPath;
    } cases[] = {
        {"a Unix path", "/tmp/developed.jpg", "Z:\\tmp\\developed.jpg"},
        {"the root", "/", "Z:\\"},
        {"folders that do not exist yet", "/no such folder/of the day/raw picture.qrf",
         "Z:\\no such folder\\of the day\\raw picture.qrf"},
        {"a detour through the parent", "/tmp/../tmp/developed.jpg", "Z:\\tmp\\developed.jpg"},
        {"a drive path", "C:\\pictures\\raw.qrf", "C:\\pictures\\raw.qrf"},
        {"a drive path with slashes", "Z:/tmp/developed.jpg", "Z:/tmp/developed.jpg"},
        {"a relative name", "raw picture.qrf", "raw picture.qrf"},
        {"a relative path", "pictures\\raw.qrf", "pictures\\raw.qrf"},
        {"a \\\\?\\ prefix", "\\\\?\\Z:\\tmp\\developed.jpg", "\\\\?\\Z:\\tmp\\developed.jpg"},
        {"a share", "\\\\server\\pictures\\raw.qrf", "\\\\server\\pictures\\raw.qrf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.form) + ": " + c.argument);
        EXPECT_EQ(WindowsPathOfArgument(c.argument), c.windowsPath);
    }
}

// The command line reaches the program in the ANSI code page and Wine reads
// Unix paths in the Unix one (the locale's): a letter beyond ASCII is handed
// on in the latter, or the path has no name when that one lacks the letter.
TEST(DevelopPathsTest, ALetterBeyondAsciiKeepsItsNameOrHasNone)
{
    // Wine's private name of the Unix code page.
    constexpr UINT kUnixCodePage = 65010;
    const std::string cafe = Cafe(CP_ACP);
    ASSERT_FALSE(cafe.empty()) << "the ANSI code page has no e acute";
    const std::string argument = "/tmp/" + cafe + ".jpg";
    if (Cafe(kUnixCodePage).empty()) {
        EXPECT_EQ(WindowsPathOfArgument(argument), "") << "a stand-in letter would name another file";
        return;
    }
    EXPECT_EQ(WindowsPathOfArgument(argument), "Z:\\tmp\\" + cafe + ".jpg");
}

// A file inside a drive's folder is named by that drive, as winepath names
// it: the Unix name of a file in the temporary folder (on C:) leads back to
// the same text and the same file.
TEST(DevelopPathsTest, AFileInsideADrivesFolderIsNamedByThatDrive)
{
    TempFolder temp;
    const std::string file = temp.Write("raw picture.qrf", "raw bytes");
    ASSERT_FALSE(temp.Path().empty()) << "no temporary folder";
    const std::string unixPath = UnixPathOf(file);
    ASSERT_EQ(unixPath.substr(0, 1), "/") << "no Unix name for " << file;

    const std::string windowsPath = WindowsPathOfArgument(unixPath);
    EXPECT_EQ(lstrcmpiA(windowsPath.c_str(), file.c_str()), 0) << unixPath << " became " << windowsPath;
    EXPECT_TRUE(NamesTheSameFile(windowsPath.c_str(), file.c_str()));
}

} // namespace
