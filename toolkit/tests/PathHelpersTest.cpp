#include "files/TlPathHelpers.h"

#include <gtest/gtest.h>

namespace {

struct PathCase {
    const char* path;
    const char* fileName;      // kept extension
    const char* fileNameBare;  // extension cut
    const char* folder;
};

class PathHelpers : public ::testing::TestWithParam<PathCase> {};

TEST_P(PathHelpers, SplitsIntoFolderAndFileName)
{
    const PathCase& c = GetParam();
    EXPECT_EQ(c.fileName, GetFileName(c.path, true));
    EXPECT_EQ(c.fileNameBare, GetFileName(c.path, false));
    EXPECT_EQ(c.folder, GetFolder(c.path));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PathHelpers,
    ::testing::Values(PathCase{"C:\\Pictures\\holiday.jpg", "holiday.jpg", "holiday", "C:\\Pictures"},
                      PathCase{"C:holiday.jpg", "holiday.jpg", "holiday", "C"},
                      PathCase{"holiday.jpg", "holiday.jpg", "holiday", ""},
                      PathCase{"archive.tar.gz", "archive.tar.gz", "archive.tar", ""},
                      PathCase{"C:\\dir.v2\\readme", "readme", "readme", "C:\\dir.v2"},
                      PathCase{"C:\\Pictures\\", "", "", "C:\\Pictures"},
                      PathCase{"\\\\server\\share\\a.b", "a.b", "a", "\\\\server\\share"},
                      PathCase{"D:\\x\\y:z.txt", "z.txt", "z", "D:\\x"},
                      PathCase{".profile", ".profile", "", ""},
                      PathCase{"C:", "", "", "C"},
                      PathCase{"", "", "", ""}));

} // namespace
