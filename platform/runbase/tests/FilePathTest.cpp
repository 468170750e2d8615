#include "runbase/TlvFileHandle.h"
#include "runbase/TlvFilePath.h"

#include "support/TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

struct SplitCase {
    const char* path;
    const char* folder;
    const char* fileName;
    const char* fullPath;
};

void PrintTo(const SplitCase& c, std::ostream* out)
{
    *out << c.path;
}

class FilePathInitialize : public ::testing::TestWithParam<SplitCase> {};

TEST_P(FilePathInitialize, MakesTheFullPathAndSplitsIt)
{
    const SplitCase& c = GetParam();
    CTlvFilePath path;
    ASSERT_EQ(0u, path.Initialize(c.path));
    EXPECT_EQ(c.folder, path.GetFolder());
    EXPECT_EQ(c.fileName, path.GetFileName());
    EXPECT_EQ(c.fullPath, path.GetFullPath());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, FilePathInitialize,
    ::testing::Values(SplitCase{"C:\\Pictures\\a.jpg", "C:\\Pictures", "a.jpg", "C:\\Pictures\\a.jpg"},
                      SplitCase{"C:\\a.jpg", "C:\\", "a.jpg", "C:\\a.jpg"},
                      SplitCase{"C:\\p\\..\\q\\.\\b.tif", "C:\\q", "b.tif", "C:\\q\\b.tif"},
                      SplitCase{"C:/p/c.qrf", "C:\\p", "c.qrf", "C:\\p\\c.qrf"},
                      SplitCase{"C:\\Pictures\\", "C:\\Pictures", "", "C:\\Pictures"},
                      SplitCase{"\\\\server\\share\\d.jpg", "\\\\server\\share", "d.jpg", "\\\\server\\share\\d.jpg"}));

// Runs a test with the current folder set to a fresh temporary folder.
class FilePathInFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        GetCurrentDirectoryA(MAX_PATH, m_previous);
        ASSERT_TRUE(SetCurrentDirectoryA(m_folder.Path().c_str()));
    }
    void TearDown() override { SetCurrentDirectoryA(m_previous); }

    // The temporary folder without its trailing backslash.
    std::string Folder() const { return m_folder.Path().substr(0, m_folder.Path().size() - 1); }

    TempFolder m_folder;
    char m_previous[MAX_PATH] = {};
};

TEST_F(FilePathInFolder, RelativePathsStartAtTheCurrentFolder)
{
    CTlvFilePath path;
    ASSERT_EQ(0u, path.Initialize("sub\\e.jpg"));
    EXPECT_EQ(Folder() + "\\sub", path.GetFolder());
    EXPECT_EQ("e.jpg", path.GetFileName());
}

TEST(FilePath, NoPathFailsAndEmptiesTheRecord)
{
    for (const char* text : {static_cast<const char*>(nullptr), ""}) {
        CTlvFilePath path;
        path.SetFolder("C:\\old");
        path.SetFileName("old.jpg");
        EXPECT_EQ(0x1008u, path.Initialize(text));
        EXPECT_TRUE(path.IsEmpty());
        EXPECT_EQ("", path.GetFullPath());
    }
}

struct JoinCase {
    const char* folder;
    const char* fileName;
    const char* fullPath;
};

class FilePathJoin : public ::testing::TestWithParam<JoinCase> {};

TEST_P(FilePathJoin, PutsOneSeparatorBetweenFolderAndName)
{
    CTlvFilePath path;
    path.SetFolder(GetParam().folder);
    path.SetFileName(GetParam().fileName);
    EXPECT_EQ(GetParam().fullPath, path.GetFullPath());
}

INSTANTIATE_TEST_SUITE_P(Parts, FilePathJoin,
                         ::testing::Values(JoinCase{"C:\\Temp\\TalvoServices", "a.jpg", "C:\\Temp\\TalvoServices\\a.jpg"},
                                           JoinCase{"C:\\Temp\\", "a.jpg", "C:\\Temp\\a.jpg"},
                                           JoinCase{"C:/Temp/", "a.jpg", "C:/Temp/a.jpg"},
                                           JoinCase{"", "a.jpg", "a.jpg"}, JoinCase{"C:\\Temp", "", "C:\\Temp"},
                                           JoinCase{"", "", ""}));

TEST(FilePath, WritesTheFullPathIntoABufferOnlyWhenItFits)
{
    CTlvFilePath path;
    path.SetFolder("C:\\p");
    path.SetFileName("a.jpg");
    char exact[sizeof "C:\\p\\a.jpg"];
    EXPECT_TRUE(path.GetFullPath(exact, sizeof exact));
    EXPECT_STREQ("C:\\p\\a.jpg", exact);

    char tooSmall[sizeof exact - 1] = "x";
    EXPECT_FALSE(path.GetFullPath(tooSmall, sizeof tooSmall));
    EXPECT_STREQ("", tooSmall);

    char empty[MAX_PATH] = "x";
    EXPECT_FALSE(CTlvFilePath().GetFullPath(empty, sizeof empty));
    EXPECT_STREQ("", empty);
}

TEST_F(FilePathInFolder, FileHandleNamesAnExistingFile)
{
    const std::string file = m_folder.Write("plugin.tv7", "MZ");
    CTlvFileHandle handle;
    EXPECT_EQ(0u, handle.Initialize(file.c_str()));
    EXPECT_EQ(file, handle.GetFullPath());

    // Found relative to the current folder as well.
    EXPECT_EQ(0u, handle.Initialize("plugin.tv7"));
    EXPECT_EQ(file, handle.GetFullPath());
}

TEST_F(FilePathInFolder, FileHandleKeepsAPathThatNamesNoFile)
{
    const std::string missing = m_folder.File("missing.tv7");
    std::string folder = m_folder.MakeFolder("folder.tv7");
    folder.pop_back(); // the trailing backslash
    for (const std::string& path : {missing, folder}) {
        CTlvFileHandle handle;
        EXPECT_EQ(0x1101u, handle.Initialize(path.c_str()));
        const CTlvFilePath& asPath = handle;
        EXPECT_EQ(path, asPath.GetFullPath());
    }
}

} // namespace
