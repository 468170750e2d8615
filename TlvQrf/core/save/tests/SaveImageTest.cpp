// The save through a temporary file: fake writers fill the temporary file
// (or fail, or stop half-way), and the target must end up either replaced
// or untouched, with no temporary file left behind.
#include "load/TlImageSaveHook.h"
#include "save/TlSaveImage.h"
#include "save/TlSaveState.h"
#include "save/TlSaveWriters.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

namespace {

// The names of the files in a scratch folder.
std::vector<std::string> FilesIn(const TempFolder& folder)
{
    return TempFolder::Matching(folder.File("*"));
}

constexpr int kWriterFailed = 3;
constexpr int kWriterCancelled = 6;

// What the fake writers were asked, and what they answer.
struct FakeWriter {
    int result = 0;
    int calls = 0;
    bool exported = false;
    std::string tempPath;
    std::uint32_t channelLayout = 0;
    std::uint32_t fileFormat = 0;
    std::uint32_t option = 0;
    bool directImage = false;
    std::string tempPathInState;
};
FakeWriter g_writer;

// Writes the new content, then answers as told; a failing writer leaves its
// half-written file, as a careless one would.
int WriteFake(const char* tempPath)
{
    ++g_writer.calls;
    g_writer.tempPath = tempPath;
    g_writer.tempPathInState = SaveState().tempPath;
    TempFolder::Overwrite(tempPath, g_writer.result == 0 ? "new" : "half");
    return g_writer.result;
}

int FakeExport(CTlvParamSet*, const char* tempPath, std::uint32_t channelLayout, std::uint32_t fileFormat,
               std::uint32_t formatOption, bool directImage)
{
    g_writer.exported = true;
    g_writer.channelLayout = channelLayout;
    g_writer.fileFormat = fileFormat;
    g_writer.option = formatOption;
    g_writer.directImage = directImage;
    return WriteFake(tempPath);
}

int FakeSettingsSave(CTlvParamSet*, const char* tempPath, std::uint32_t option)
{
    g_writer.exported = false;
    g_writer.option = option;
    return WriteFake(tempPath);
}

class SaveImageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_writer = FakeWriter();
        SetExportImageHook(&FakeExport);
        SetSaveSettingsHook(&FakeSettingsSave);
    }
    void TearDown() override
    {
        SetExportImageHook(nullptr);
        SetSaveSettingsHook(nullptr);
    }

    int Save(const std::string& target, std::uint32_t format = 1, std::uint32_t option = 0)
    {
        return SaveImageToFile(nullptr, target.c_str(), 2, format, option, false);
    }

    TempFolder m_folder;
};

TEST_F(SaveImageTest, NewContentReplacesTheTargetOrBecomesIt)
{
    for (const bool targetExists : {true, false}) {
        SCOPED_TRACE(targetExists ? "existing target" : "new target");
        const char* name = targetExists ? "old.jpg" : "fresh.jpg";
        const std::string target = m_folder.File(name);
        if (targetExists)
            TempFolder::Overwrite(target, "old");

        EXPECT_EQ(Save(target), 0);
        EXPECT_EQ(TempFolder::Read(target), "new");
        EXPECT_EQ(FilesIn(m_folder), std::vector<std::string>{name});
        DeleteFileA(target.c_str());
    }
}

TEST_F(SaveImageTest, TheTemporaryFileIsBesideTheTargetAndNamedInTheSaveState)
{
    const std::string target = m_folder.File("out.tif");
    ASSERT_EQ(Save(target), 0);

    const std::size_t slash = g_writer.tempPath.find_last_of('\\');
    ASSERT_NE(slash, std::string::npos);
    EXPECT_EQ(g_writer.tempPath.substr(0, slash + 1), m_folder.Path());
    EXPECT_EQ(g_writer.tempPath.substr(slash + 1, 3), "Tln");
    EXPECT_EQ(g_writer.tempPathInState, g_writer.tempPath);
    EXPECT_TRUE(SaveState().tempPath.empty());
}

TEST_F(SaveImageTest, ABareFileNameSavesInTheCurrentFolder)
{
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(m_folder.Path().c_str()));
    const int result = Save("bare.jpg");
    SetCurrentDirectoryA(previous);

    EXPECT_EQ(result, 0);
    EXPECT_EQ(TempFolder::Read(m_folder.File("bare.jpg")), "new");
    EXPECT_EQ(FilesIn(m_folder), std::vector<std::string>{"bare.jpg"});
}

TEST_F(SaveImageTest, AFailedOrCancelledWriteLeavesTheTargetAndNoTemporaryFile)
{
    for (const int code : {kWriterFailed, kWriterCancelled}) {
        SCOPED_TRACE(code);
        const std::string target = m_folder.File("keep.jpg");
        TempFolder::Overwrite(target, "old");
        g_writer.result = code;

        EXPECT_EQ(Save(target), code);
        EXPECT_EQ(TempFolder::Read(target), "old");
        EXPECT_EQ(FilesIn(m_folder), std::vector<std::string>{"keep.jpg"});
    }
}

// Held open elsewhere without delete sharing (whether or not others may
// still read it): the replace fails, and the user keeps the old file.
TEST_F(SaveImageTest, ALockedTargetFailsAndKeepsItsOldContent)
{
    for (const DWORD sharing : {DWORD(0), DWORD(FILE_SHARE_READ | FILE_SHARE_WRITE)}) {
        SCOPED_TRACE(sharing);
        const std::string target = m_folder.File("locked.jpg");
        TempFolder::Overwrite(target, "old");
        HANDLE lock = CreateFileA(target.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(lock, INVALID_HANDLE_VALUE);

        const int result = Save(target);
        CloseHandle(lock);

        EXPECT_EQ(result, kTlSaveTargetNotReplaced);
        EXPECT_EQ(TempFolder::Read(target), "old");
        EXPECT_EQ(FilesIn(m_folder), std::vector<std::string>{"locked.jpg"});
    }
}

TEST_F(SaveImageTest, ABadTargetFailsBeforeAnyWrite)
{
    const std::string missingFolder = m_folder.File("missing\\out.jpg");
    struct Case {
        const char* target;
        int result;
    };
    const Case cases[] = {
        {missingFolder.c_str(), kTlSaveNoTemporaryFile},
        {"", kTlSaveNoTarget},
        {nullptr, kTlSaveNoTarget},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.target != nullptr ? c.target : "null");
        EXPECT_EQ(SaveImageToFile(nullptr, c.target, 2, 1, 0, false), c.result);
        EXPECT_EQ(g_writer.calls, 0);
        EXPECT_TRUE(FilesIn(m_folder).empty());
    }
}

TEST_F(SaveImageTest, TheFormatChoosesTheWriterAndTheSettingsOption)
{
    struct Case {
        std::uint32_t format;
        std::uint32_t option;
        bool exported;
        std::uint32_t optionPassed;
    };
    const Case cases[] = {
        {1, 4096, true, 4096},
        {kTlSaveSettingsFormat, 4096, false, 32},
        {kTlSaveSettingsFormat, 7, false, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        ASSERT_EQ(Save(m_folder.File("out"), c.format, c.option), 0);
        EXPECT_EQ(g_writer.exported, c.exported);
        EXPECT_EQ(g_writer.option, c.optionPassed);
    }
}

TEST_F(SaveImageTest, TheExportGetsTheRequestedLayoutFormatAndMode)
{
    const std::string target = m_folder.File("direct");
    ASSERT_EQ(SaveImageToFile(nullptr, target.c_str(), 4, 1024, 9, true), 0);
    EXPECT_EQ(g_writer.channelLayout, 4u);
    EXPECT_EQ(g_writer.fileFormat, 1024u);
    EXPECT_EQ(g_writer.option, 9u);
    EXPECT_TRUE(g_writer.directImage);
}

// A direct-image save hands its image to a destination; what its saver
// wrote into the temporary file is no picture and must never take the
// target's place, nor stay behind.
TEST_F(SaveImageTest, ADirectImageSaveLeavesItsTargetAloneAndNoTemporaryFile)
{
    const struct {
        const char* name;
        bool targetExists;
        int writerResult;
    } cases[] = {
        {"existing target", true, 0},
        {"absent target", false, 0},
        {"existing target, failed write", true, kWriterFailed},
        {"absent target, failed write", false, kWriterFailed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string target = m_folder.File("direct.jpg");
        DeleteFileA(target.c_str());
        if (c.targetExists)
            TempFolder::Overwrite(target, "old picture");
        g_writer = FakeWriter();
        g_writer.result = c.writerResult;

        EXPECT_EQ(SaveImageToFile(nullptr, target.c_str(), 0, 1024, 0, true), c.writerResult);
        EXPECT_EQ(g_writer.calls, 1);
        EXPECT_TRUE(g_writer.directImage);
        if (c.targetExists) {
            EXPECT_EQ(TempFolder::Read(target), "old picture");
            EXPECT_EQ(FilesIn(m_folder), std::vector<std::string>{"direct.jpg"});
        } else {
            EXPECT_TRUE(FilesIn(m_folder).empty());
        }
        EXPECT_TRUE(SaveState().tempPath.empty());
    }
}

TEST_F(SaveImageTest, WithoutWritersEverySaveFailsAndLeavesNothing)
{
    SetExportImageHook(nullptr);
    SetSaveSettingsHook(nullptr);
    const std::string target = m_folder.File("keep.jpg");
    TempFolder::Overwrite(target, "old");
    for (const std::uint32_t format : {1u, kTlSaveSettingsFormat}) {
        EXPECT_EQ(Save(target, format), kTlSaveWriterMissing);
        EXPECT_EQ(TempFolder::Read(target), "old");
        EXPECT_EQ(FilesIn(m_folder), std::vector<std::string>{"keep.jpg"});
    }
}

TEST_F(SaveImageTest, TheImageJobsSaveRunsThroughTheInstalledSave)
{
    InstallImageSave();
    const std::string target = m_folder.File("job.jpg");
    const STlImageSave save{nullptr, target.c_str(), 2, 1, 0, false};
    const int result = RunImageSave(save);
    SetImageSaveHook(nullptr);

    EXPECT_EQ(result, 0);
    EXPECT_EQ(TempFolder::Read(target), "new");
}

} // namespace
