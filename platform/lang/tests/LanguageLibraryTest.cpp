// The language libraries load as data files and hold a text under every id
// their users look up.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct LanguageLibrary {
    const char* file;
    std::vector<UINT> ids;
};

const LanguageLibrary kLibraries[] = {
    {"TlvPDALang.dll",
     {31207, 31232, 31234, 31235, 31242, 31250, 31252, 31253, 31254, 31265, 31271, 31272, 31278, 31279, 31316,
      31322, 31325}},
    {"TlbUploaderLang.dll",
     {31207, 31232, 31234, 31235, 31246, 31252, 31253, 31265, 31271, 31272, 31276, 31277, 31278, 31319}},
};

std::string TextOf(HMODULE library, UINT id)
{
    char text[512] = {};
    const int length = LoadStringA(library, id, text, sizeof text);
    return std::string(text, length > 0 ? length : 0);
}

// The installed copy when the install layout is there, else the built one.
std::string LibraryPath(const char* file)
{
    char common[MAX_PATH] = {};
    DWORD size = sizeof common;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "CommonFilesDir",
                     RRF_RT_REG_SZ, nullptr, common, &size) == ERROR_SUCCESS) {
        const std::string installed = std::string(common) + "\\Talvo\\Uploader\\" + file;
        if (GetFileAttributesA(installed.c_str()) != INVALID_FILE_ATTRIBUTES)
            return installed;
    }
    return file;
}

TEST(LanguageLibraries, LoadAsDataFilesWithEveryText)
{
    for (const LanguageLibrary& library : kLibraries) {
        HMODULE module = LoadLibraryExA(LibraryPath(library.file).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(nullptr, module) << library.file;
        for (UINT id : library.ids)
            EXPECT_FALSE(TextOf(module, id).empty()) << library.file << " " << id;
        FreeLibrary(module);
    }
}

// The uploader's counters are formatted with two integers each.
TEST(LanguageLibraries, CountersTakeTwoIntegers)
{
    HMODULE module = LoadLibraryExA(LibraryPath("TlbUploaderLang.dll").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, module);
    for (UINT id : {31276u, 31277u}) {
        const std::string format = TextOf(module, id);
        char formatted[256] = {};
        std::snprintf(formatted, sizeof formatted, format.c_str(), 2, 5);
        const std::string text(formatted);
        EXPECT_NE(std::string::npos, text.find('2')) << id;
        EXPECT_NE(std::string::npos, text.find('5')) << id;
        EXPECT_EQ(std::string::npos, text.find('%')) << id;
    }
    FreeLibrary(module);
}

} // namespace
