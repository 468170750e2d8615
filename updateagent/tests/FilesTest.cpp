#include "files/Connection.h"
#include "files/FileHelpers.h"
#include "files/Log.h"
#include "support/LogFolder.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <regex>
#include <string>

namespace {
std::wstring Of(const TPath& path)
{
    const TWideString text = path.Text();
    return std::wstring(text.Text(), text.Length());
}

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFile(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}

TEST(TPath, GivesItsTextOnlyForLocalPaths)
{
    TPath path;
    EXPECT_EQ(path.Kind(), TPath::kEmpty);
    EXPECT_TRUE(path.Text().IsEmpty());
    path.Set(TWideString(L"C:\\x"));
    EXPECT_EQ(path.Kind(), TPath::kLocal);
    EXPECT_EQ(Of(path), L"C:\\x");
}

TEST(Folders, WorkingFolderLiesUnderTheTemporaryFolder)
{
    TPath temp;
    EXPECT_TRUE(GetTempFolder(temp));
    ASSERT_FALSE(Of(temp).empty());
    EXPECT_EQ(Of(temp).back(), L'\\');

    TPath working;
    EXPECT_TRUE(GetWorkingFolder(working));
    EXPECT_EQ(Of(working), Of(temp) + L"Talvo\\Corvane\\");
    EXPECT_TRUE(IsFolder(Of(working)));
    EXPECT_EQ(Of(LogFilePath()), Of(working) + L"logs\\log.txt");
}

TEST(Folders, ModuleFolderEndsWithASeparator)
{
    TPath folder;
    EXPECT_FALSE(GetModuleFolder(nullptr, folder));
    ASSERT_TRUE(GetModuleFolder(GetModuleHandleW(nullptr), folder));
    wchar_t name[MAX_PATH];
    GetModuleFileNameW(nullptr, name, MAX_PATH);
    const std::wstring full(name);
    EXPECT_EQ(Of(folder), full.substr(0, full.rfind(L'\\') + 1));
}

TEST(Folders, EnsureFolderMakesMissingFoldersOnly)
{
    ScratchFolder scratch(L"files-test");
    const std::wstring made = scratch.Path() + L"made";
    EXPECT_TRUE(EnsureFolder(TPath(TWideString((made + L"\\").c_str()))));
    EXPECT_TRUE(IsFolder(made));
    EXPECT_TRUE(EnsureFolder(TPath(TWideString(made.c_str())))) << "already there";
    RemoveDirectoryW(made.c_str());

    const std::wstring file = scratch.Write(L"plain", "x");
    EXPECT_FALSE(EnsureFolder(TPath(TWideString(file.c_str())))) << "a file of that name";
}

TEST(Files, ReadWholeFileInTextMode)
{
    ScratchFolder scratch(L"files-test");
    struct Case {
        const char* name;
        const wchar_t* file;
        const char* bytes;
        bool exists;
        bool result;
        const char* text;
    };
    const Case cases[] = {
        {"empty", L"empty.md5", "", true, true, ""},
        {"line ends shrink", L"lines.md5", "ab\r\ncd\r\n", true, true, "ab\ncd\n"},
        {"digest", L"digest.md5", "0123456789abcdef0123456789abcdef", true, true, "0123456789abcdef0123456789abcdef"},
        {"missing", L"missing.md5", nullptr, false, false, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::wstring path = c.exists ? scratch.Write(c.file, c.bytes) : scratch.Path() + c.file;
        std::unique_ptr<char[]> text(new char[1]);
        EXPECT_EQ(ReadWholeFile(TPath(TWideString(path.c_str())), text), c.result);
        if (c.text) {
            ASSERT_NE(text, nullptr);
            EXPECT_STREQ(text.get(), c.text);
        } else {
            EXPECT_EQ(text, nullptr);
        }
    }
}

TEST(Files, DeletePathRemovesReadOnlyFilesButNoFolders)
{
    ScratchFolder scratch(L"files-test");
    const std::wstring file = scratch.Write(L"readonly.exe", "MZ");
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    const TPath path(TWideString(file.c_str()));
    EXPECT_TRUE(FileExists(path));
    EXPECT_TRUE(DeletePath(path));
    EXPECT_FALSE(IsFile(file));
    EXPECT_FALSE(FileExists(path));

    const std::wstring folder = scratch.Path() + L"folder";
    CreateDirectoryW(folder.c_str(), nullptr);
    EXPECT_TRUE(DeletePath(TPath(TWideString(folder.c_str()))));
    EXPECT_TRUE(IsFolder(folder));
    RemoveDirectoryW(folder.c_str());
}

TEST(Files, OpenFileRefusesAnEmptyPath)
{
    EXPECT_EQ(OpenFile(TPath(), "rb"), nullptr);
    EXPECT_FALSE(FileExists(TPath()));
}

TEST(Connection, TestsCanReplaceTheSystemsAnswer)
{
    SetConnectionStateQuery([] { return false; });
    EXPECT_FALSE(IsConnected());
    SetConnectionStateQuery([] { return true; });
    EXPECT_TRUE(IsConnected());
    SetConnectionStateQuery(nullptr);
}

TEST(WriteLog, WritesNothingWithoutTheLogsFolder)
{
    LogFolder::Remove();
    WriteLog(TWideString(L"lost"), 1);
    EXPECT_FALSE(IsFolder(LogFolder::FolderPath())) << "the agent never makes the folder";
    EXPECT_FALSE(IsFile(LogFolder::LogPath()));
}

TEST(WriteLog, AppendsOneLineInTheAsctimeForm)
{
    LogFolder log;
    WriteLog(TWideString(L"Hostname could not be resolved"), 12007);
    WriteLog(TWideString(L"Received HTTP status code is in ErrorCode."), -200);
    const std::vector<std::string> lines = log.Lines();
    ASSERT_EQ(lines.size(), 2u);
    const std::regex first("(Sun|Mon|Tue|Wed|Thu|Fri|Sat) (Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec)"
                           " [ 123][0-9] [0-2][0-9]:[0-5][0-9]:[0-6][0-9] [0-9]{4}  "
                           "Message: Hostname could not be resolved ErrorCode: 12007");
    EXPECT_TRUE(std::regex_match(lines[0], first)) << lines[0];
    EXPECT_EQ(log.Messages()[1], "Message: Received HTTP status code is in ErrorCode. ErrorCode: -200");

    // The file itself holds text-mode line ends.
    std::ifstream in(LogFolder::LogPath().c_str(), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
}

TEST(WriteLog, CutsLongMessagesAt1023Bytes)
{
    LogFolder log;
    struct Case {
        size_t length;
        size_t kept;
    };
    const Case cases[] = {{1022, 1022}, {1023, 1023}, {1024, 1023}, {2000, 1023}};
    for (const Case& c : cases)
        WriteLog(TWideString(std::wstring(c.length, L'x').c_str()), 5);
    const std::vector<std::string> messages = log.Messages();
    ASSERT_EQ(messages.size(), 4u);
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(cases[i].length);
        EXPECT_EQ(messages[i], "Message: " + std::string(cases[i].kept, 'x') + " ErrorCode: 5");
    }
}

TEST(WriteLog, NeverCutsACharacterInTwo)
{
    // A surrogate pair that the code page cannot hold becomes one byte; the
    // cut comes before the pair, not inside it.
    std::wstring message(1022, L'x');
    message += L"\xD83D\xDE00";
    message += L"tail";
    const TAnsiString narrow = NarrowForLog(TWideString(message.c_str()), 1023);
    EXPECT_LE(narrow.Length(), 1023);
    EXPECT_EQ(std::string(narrow.Text(), 1022), std::string(1022, 'x'));
    const TAnsiString cut = NarrowForLog(TWideString(message.c_str()), 1022);
    EXPECT_EQ(cut.Length(), 1022);
}
