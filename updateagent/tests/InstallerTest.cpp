#include "base/TAnsiString.h"
#include "files/FileHelpers.h"
#include "install/InstallerFile.h"
#include "install/Md5.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <string>
#include <vector>

namespace {
TPath PathOf(const std::wstring& text)
{
    return TPath(TWideString(text.c_str()));
}

std::string Pattern(std::size_t size)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i % 251);
    return bytes;
}

struct DigestCase {
    std::string content;
    const char* digest;
};

// RFC 1321's test suite, and files around the 4096-byte read size.
const std::vector<DigestCase>& DigestCases()
{
    static const std::vector<DigestCase> cases = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57edf4a22be3c955ac49da2e2107b67a"},
        {Pattern(8192), "5756928d3feb9c830c61f92b56416d95"},
        {Pattern(10000), "bbf1c77538f97ceeb1e03126edaa3594"},
    };
    return cases;
}

const std::string kZeroDigest(32, '0');

// Waits for a file another process writes; the agent does not wait for its
// installer, so the test has to.
std::string AwaitFile(const std::wstring& path)
{
    for (int i = 0; i < 600 && !PathExists(path); ++i)
        Sleep(50);
    return ReadFileBytes(path);
}

void AwaitDeletion(const std::wstring& path)
{
    for (int i = 0; i < 600 && !DeleteFileW(path.c_str()); ++i)
        Sleep(50);
}

std::string Narrow(const std::wstring& text)
{
    return std::string(TAnsiString(text.c_str()).Text());
}
}

TEST(Md5, GivesTheReferenceDigests)
{
    for (const DigestCase& c : DigestCases()) {
        TMd5 md5;
        md5.Update(c.content.data(), c.content.size());
        EXPECT_EQ(md5.FinishHex(), c.digest) << c.content.size() << " bytes";
    }
}

TEST(VerifyMd5, MatchesOnlyTheExactLowerCaseDigestOfTheWholeFile)
{
    ScratchFolder folder(L"verify digest");
    for (const DigestCase& c : DigestCases()) {
        const TPath path = PathOf(folder.Write(L"setup.exe", c.content));
        std::string upper = c.digest;
        for (char& ch : upper)
            ch = static_cast<char>(toupper(static_cast<unsigned char>(ch)));
        TInstallerFile installer;
        EXPECT_TRUE(VerifyMd5(installer, path, c.digest)) << c.content.size() << " bytes";
        EXPECT_FALSE(VerifyMd5(installer, path, upper)) << c.content.size() << " bytes";
        EXPECT_FALSE(VerifyMd5(installer, path, kZeroDigest));
        EXPECT_FALSE(VerifyMd5(installer, path, std::string(c.digest).substr(0, 31)));
    }
}

TEST(VerifyMd5, AnInstallerThatCannotBeReadMatchesNoDigest)
{
    ScratchFolder folder(L"verify unreadable");
    const std::string emptyDigest = "d41d8cd98f00b204e9800998ecf8427e";
    TInstallerFile installer;

    const std::wstring missing = folder.Path() + L"missing.exe";
    EXPECT_FALSE(VerifyMd5(installer, PathOf(missing), kZeroDigest));
    EXPECT_FALSE(VerifyMd5(installer, PathOf(missing), emptyDigest));
    EXPECT_FALSE(VerifyMd5(installer, TPath(), kZeroDigest));

    // Someone still writing the installer: its content is not settled.
    const std::wstring busy = folder.Write(L"busy.exe", "");
    HANDLE writer = CreateFileW(busy.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(VerifyMd5(installer, PathOf(busy), kZeroDigest));
    EXPECT_FALSE(VerifyMd5(installer, PathOf(busy), emptyDigest));
    EXPECT_FALSE(installer.IsOpen());
    CloseHandle(writer);
    EXPECT_TRUE(VerifyMd5(installer, PathOf(busy), emptyDigest));
}

TEST(VerifyMd5, AVerifiedInstallerCannotBeChangedOrDeletedUntilItStarts)
{
    ScratchFolder folder(L"verify held");
    const std::wstring path = folder.Write(L"setup.exe", "abc");
    TInstallerFile installer;
    ASSERT_TRUE(VerifyMd5(installer, PathOf(path), "900150983cd24fb0d6963f7d28e17f72"));

    HANDLE writer = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
    if (writer != INVALID_HANDLE_VALUE)
        CloseHandle(writer);
    EXPECT_FALSE(DeleteFileW(path.c_str()));

    installer.Close();
    EXPECT_TRUE(DeleteFileW(path.c_str()));
}

TEST(InstallerCommandLine, QuotesBothArgumentsAndKeepsTheFolderBackslash)
{
    struct Case {
        const wchar_t* installer;
        const wchar_t* folder;
        const char* commandLine;
    } cases[] = {
        {L"C:\\temp\\Talvo\\setup.exe", L"C:\\Program Files\\Corvane\\",
         "\"C:\\temp\\Talvo\\setup.exe\" \"C:\\Program Files\\Corvane\\\\\""},
        {L"C:\\t\\setup.exe", L"C:\\", "\"C:\\t\\setup.exe\" \"C:\\\\\""},
        {L"C:\\t\\setup.exe", L"C:\\agent", "\"C:\\t\\setup.exe\" \"C:\\agent\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BuildInstallerCommandLine(PathOf(c.installer), PathOf(c.folder)), c.commandLine);
    EXPECT_EQ(BuildInstallerCommandLine(PathOf(L"C:\\t\\setup.exe"), TPath()), "\"C:\\t\\setup.exe\" \"\"");
}

TEST(InstallerStart, TheInstallerReceivesItsPathAndTheFolderWithOneTrailingBackslash)
{
    TPath programFolder;
    ASSERT_TRUE(GetModuleFolder(GetModuleHandleW(nullptr), programFolder));
    const std::wstring recorder = std::wstring(programFolder.Text().Text()) + L"TlRecordingInstaller.exe";
    const std::string program = ReadFileBytes(recorder);
    ASSERT_FALSE(program.empty());

    ScratchFolder folder(L"start installer");
    const std::wstring installerPath = folder.Write(L"setup.exe", program);
    TMd5 md5;
    md5.Update(program.data(), program.size());
    const std::wstring agentFolder = folder.Path() + L"agent folder\\";

    TInstallerFile installer;
    ASSERT_TRUE(VerifyMd5(installer, PathOf(installerPath), md5.FinishHex()));
    ASSERT_TRUE(installer.Start(PathOf(agentFolder)));
    EXPECT_FALSE(installer.IsOpen());

    const std::string record = AwaitFile(installerPath + L".args");
    const std::vector<std::string> expected = {Narrow(installerPath), Narrow(agentFolder)};
    EXPECT_EQ(LinesWithPrefix(record, "c:"), expected);
    EXPECT_EQ(LinesWithPrefix(record, "w:"), expected);
    AwaitDeletion(installerPath);
}

TEST(InstallerStart, NothingStartsWithoutAVerifiedFile)
{
    TInstallerFile installer;
    EXPECT_FALSE(installer.Start(TPath(TWideString(L"C:\\"))));
}
