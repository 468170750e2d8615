#include "files/TlFile.h"
#include "files/TlRenditionNames.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

std::string SystemTemporaryFolder()
{
    char path[MAX_PATH];
    GetTempPathA(MAX_PATH, path);
    return path;
}

// Files made for one test in the rendition folder, deleted afterwards.
class TemporaryFilesTest : public ::testing::Test {
protected:
    ~TemporaryFilesTest() override
    {
        for (const std::string& path : m_made)
            DeleteFileA(path.c_str());
    }

    void Place(const std::string& fileName)
    {
        const std::string path = GetRenditionFolder() + "\\" + fileName;
        const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file) << path;
        CloseHandle(file);
        m_made.push_back(path);
    }

    void Made(const std::string& folder, const std::string& fileName) { m_made.push_back(folder + "\\" + fileName); }

private:
    std::vector<std::string> m_made;
};

TEST_F(TemporaryFilesTest, TheFolderIsMadeUnderTheTemporaryFolder)
{
    const std::string folder = GetRenditionFolder();
    EXPECT_EQ(SystemTemporaryFolder() + "TalvoServices", folder);
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, attributes);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(TemporaryFilesTest, TheFirstFreeNumberIsChosen)
{
    Place("TlRenditionTest.jpg");
    Place("TlRenditionTest1.jpg");
    struct Case {
        const char* source;
        const char* expected;
    } const cases[] = {
        {"D:\\pictures\\TlRenditionTest.tif", "TlRenditionTest2.jpg"},
        {"TlRenditionTest.x.jpg", "TlRenditionTest.x.jpg"},
        {"D:\\pictures\\TlRenditionTestNoExtension", "TlRenditionTestNoExtension.jpg"},
    };
    for (const Case& c : cases) {
        std::string folder, fileName;
        EXPECT_EQ(0ul, MakeRenditionName(c.source, folder, fileName)) << c.source;
        EXPECT_EQ(GetRenditionFolder(), folder);
        EXPECT_EQ(c.expected, fileName) << c.source;
    }
}

TEST_F(TemporaryFilesTest, AnEmptySourceNameMakesATemporaryFile)
{
    std::string folder, fileName;
    ASSERT_EQ(0ul, MakeRenditionName("", folder, fileName));
    Made(folder, fileName);
    EXPECT_EQ(GetRenditionFolder(), folder);
    EXPECT_EQ(0, fileName.compare(0, 3, "Tln")) << fileName;
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA((folder + "\\" + fileName).c_str()));
}

TEST_F(TemporaryFilesTest, NoNameAtAllFails)
{
    std::string folder = "kept", fileName = "kept";
    EXPECT_EQ(0x1008ul, MakeRenditionName(nullptr, folder, fileName));
    EXPECT_EQ("kept", folder);
    EXPECT_EQ("kept", fileName);
}

// Points the temporary folder somewhere else for one test.
class MovedTemporaryFolder {
public:
    explicit MovedTemporaryFolder(const char* folder)
    {
        for (const char* name : {"TMP", "TEMP"}) {
            char value[MAX_PATH] = {};
            GetEnvironmentVariableA(name, value, MAX_PATH);
            m_saved.emplace_back(name, value);
            SetEnvironmentVariableA(name, folder);
        }
    }
    ~MovedTemporaryFolder()
    {
        for (const auto& saved : m_saved)
            SetEnvironmentVariableA(saved.first.c_str(), saved.second.empty() ? nullptr : saved.second.c_str());
    }

private:
    std::vector<std::pair<std::string, std::string>> m_saved;
};

TEST_F(TemporaryFilesTest, AFolderThatCannotBeMadeIsEmpty)
{
    const MovedTemporaryFolder moved("C:\\TlNoSuchParent\\deeper");
    EXPECT_EQ("", GetRenditionFolder());
    std::string folder, fileName;
    EXPECT_EQ(0x1008ul, MakeRenditionName("a.jpg", folder, fileName));
}

TEST_F(TemporaryFilesTest, ATemporaryFileIsClosedWithItsObject)
{
    std::string folder, fileName;
    ASSERT_EQ(0ul, MakeRenditionName("TlRenditionTestFile.jpg", folder, fileName));
    const std::string path = folder + "\\" + fileName;
    Made(folder, fileName);
    {
        CTlFile file(path);
        EXPECT_EQ(path, file.GetPath());
        EXPECT_EQ(nullptr, file.GetFile());
        ASSERT_TRUE(file.Open(std::ios::out | std::ios::binary));
        *file.GetFile() << "ItemCount=0\n";
    }
    std::ifstream back(path);
    std::string line;
    EXPECT_TRUE(std::getline(back, line));
    EXPECT_EQ("ItemCount=0", line);

    CTlFile missing("C:\\TlNoSuchFolder\\task.txt");
    EXPECT_FALSE(missing.Open(std::ios::in));
    EXPECT_EQ(nullptr, missing.GetFile());
}

} // namespace
