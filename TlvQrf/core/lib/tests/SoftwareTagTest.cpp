// The software tag that saves write: built from the library's FileVersion.
#include "lib/TlSoftwareTag.h"

#include <gtest/gtest.h>

namespace {

TEST(SoftwareTagTest, TheFileVersionLosesBlanksAndItsLastPart)
{
    struct Case {
        const char* fileVersion;
        const char* expected;
    };
    const Case cases[] = {
        {"1, 0, 0, 3012", "Imagora 1.0.0 W"},
        {"2,5,1,7", "Imagora 2.5.1 W"},
        {"1, 0", "Imagora 1 W"},
        {"3012", "Imagora  W"}, // no comma: nothing of it remains
        {"", "Imagora  W"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, FormatSoftwareTag("Imagora", c.fileVersion)) << c.fileVersion;
}

TEST(SoftwareTagTest, TheLibraryFileGivesItsTag)
{
    HMODULE library = LoadLibraryA("TlbQrf.dll");
    ASSERT_NE(nullptr, library);
    std::string tag;
    EXPECT_EQ(0u, BuildSoftwareTagOf(library, tag));
    EXPECT_EQ("Imagora 1.0.0 W", tag);
    FreeLibrary(library);
}

TEST(SoftwareTagTest, AFileWithoutVersionFailsAndLeavesTheTagUntouched)
{
    HMODULE unversioned = LoadLibraryA("TlSmokeModule.dll"); // has no version block
    ASSERT_NE(nullptr, unversioned);
    std::string tag = "unchanged";
    EXPECT_EQ(0x1008u, BuildSoftwareTagOf(unversioned, tag));
    EXPECT_EQ("unchanged", tag);
    FreeLibrary(unversioned);
}

} // namespace
