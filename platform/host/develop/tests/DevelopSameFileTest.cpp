// The guard that keeps the develop command from writing over its input:
// every path that leads to the input is the input, whatever its text; a
// path to another file or to nothing is not.
#include "DevelopSameFile.h"

#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

namespace {

std::string ShortName(const std::string& path)
{
    char name[MAX_PATH] = {};
    const DWORD length = GetShortPathNameA(path.c_str(), name, MAX_PATH);
    return length != 0 && length < MAX_PATH ? std::string(name) : std::string();
}

std::string Upper(std::string text)
{
    CharUpperBuffA(&text[0], DWORD(text.size()));
    return text;
}

TEST(DevelopSameFileTest, EveryPathToTheInputIsTheInput)
{
    TempFolder temp;
    // A long name, so that the folder has an 8.3 short name of another text.
    const std::string folder = temp.MakeFolder("developed pictures of the day");
    const std::string input = temp.Write("developed pictures of the day\\raw picture.qrf", "raw bytes");
    const std::string other = temp.Write("developed pictures of the day\\other picture.qrf", "raw bytes");
    ASSERT_FALSE(temp.Path().empty()) << "no temporary folder";
    const std::string shortInput = ShortName(input);
    ASSERT_FALSE(shortInput.empty()) << "no short name for " << input << ": error " << GetLastError();
    ASSERT_NE(Upper(shortInput), Upper(input)) << "the short name is another text";

    const struct {
        const char* form;
        std::string output;
        bool same;
    } cases[] = {
        {"the same text", input, true},
        {"another case", Upper(input), true},
        {"the 8.3 short name", shortInput, true},
        {"a \\\\?\\ prefix", "\\\\?\\" + input, true},
        {"a detour through the parent", folder + "..\\developed pictures of the day\\raw picture.qrf", true},
        {"another file of the folder", other, false},
        {"a file not written yet", folder + "raw picture.jpg", false},
        {"the folder", folder, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.form) + ": " + c.output);
        EXPECT_EQ(NamesTheSameFile(input.c_str(), c.output.c_str()), c.same);
        EXPECT_EQ(NamesTheSameFile(c.output.c_str(), input.c_str()), c.same) << "either way round";
    }
    EXPECT_FALSE(NamesTheSameFile((folder + "missing.qrf").c_str(), (folder + "missing.qrf").c_str()))
        << "a file that does not exist is no file to replace";
}

} // namespace
