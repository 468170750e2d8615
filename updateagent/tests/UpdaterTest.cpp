// The updater dialog against the loopback server: it downloads the MD5 file
// and the installer, checks the digest and starts the installer, or ends
// with the failure's box and starts nothing.
#include "app/TUpdaterDlg.h"
#include "base/TAnsiString.h"
#include "files/FileHelpers.h"
#include "install/Md5.h"
#include "support/AgentDialogs.h"
#include "support/ScratchFolder.h"
#include "support/TestServer.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cctype>
#include <string>
#include <vector>

namespace {
std::wstring Wide(const std::string& text)
{
    return std::wstring(TWideString(text.c_str()).Text());
}

std::string Narrow(const std::wstring& text)
{
    return std::string(TAnsiString(text.c_str()).Text());
}

std::wstring WorkingFolder()
{
    TPath folder;
    GetWorkingFolder(folder);
    return folder.Text().Text();
}

std::wstring ProgramFolder()
{
    TPath folder;
    GetModuleFolder(GetModuleHandleW(nullptr), folder);
    return folder.Text().Text();
}

// Places a file where the server's "file=" option finds it.
void Serve(const std::string& name, const std::string& bytes)
{
    const std::wstring folder = Wide(TestServer::Folder()) + L"\\files\\";
    CreateDirectoryW(folder.c_str(), nullptr);
    WriteFileBytes(folder + Wide(name), bytes);
}

std::string Upper(std::string text)
{
    for (char& ch : text)
        ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
    return text;
}

void RemoveWhenFree(const std::wstring& path)
{
    for (int i = 0; i < 600 && PathExists(path) && !DeleteFileW(path.c_str()); ++i)
        Sleep(50);
}

class Updater : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.IsReady());
        ASSERT_NE(library.module, nullptr);
        installer = ReadFileBytes(ProgramFolder() + L"TlRecordingInstaller.exe");
        ASSERT_FALSE(installer.empty());
        TMd5 md5;
        md5.Update(installer.data(), installer.size());
        digest = md5.FinishHex();
        Serve("CorvaneSetup.exe", installer);
    }

    // Runs the dialog; answers the text of the box it showed, if any.
    std::wstring Run(const std::wstring& md5Address, const std::wstring& installerAddress, int& endCode)
    {
        TUpdaterDlg dialog;
        dialog.Resource().SetInstance(library.module);
        dialog.SetProgramInstance(GetModuleHandleW(nullptr));
        dialog.SetMd5Address(md5Address.c_str());
        dialog.SetInstallerAddress(installerAddress.c_str());
        DialogPresser box(kBoxTextControl, IDOK);
        endCode = dialog.DoModal(TUpdaterDlg::kTemplateId, nullptr);
        return box.Result().window ? box.Result().text : L"(no box)";
    }

    std::wstring Served(const std::string& name) const { return server.Address("http", "file=" + name, name); }

    TestServer server;
    LanguageLibrary library;
    std::string installer;
    std::string digest;
};
}

TEST_F(Updater, StartsAVerifiedInstallerWithTheAgentsFolder)
{
    const std::wstring installed = WorkingFolder() + L"CorvaneSetup.exe";
    const std::wstring record = installed + L".args";
    RemoveWhenFree(record);
    Serve("match.md5", digest + "  CorvaneSetup.exe\n");

    TUpdaterDlg dialog;
    dialog.Resource().SetInstance(library.module);
    dialog.SetProgramInstance(GetModuleHandleW(nullptr));
    dialog.SetMd5Address(Served("match.md5").c_str());
    dialog.SetInstallerAddress(Served("CorvaneSetup.exe").c_str());
    DialogPresser window(1036, 0);
    EXPECT_EQ(dialog.DoModal(TUpdaterDlg::kTemplateId, nullptr), 0);
    EXPECT_TRUE(window.Result().topmost);
    EXPECT_EQ(window.Result().text, library.Text(1076));

    for (int i = 0; i < 600 && !PathExists(record); ++i)
        Sleep(50);
    const std::string args = ReadFileBytes(record);
    const std::vector<std::string> expected = {Narrow(installed), Narrow(ProgramFolder())};
    EXPECT_EQ(LinesWithPrefix(args, "c:"), expected);
    EXPECT_EQ(LinesWithPrefix(args, "w:"), expected);
    EXPECT_FALSE(PathExists(WorkingFolder() + L"match.md5"));
    RemoveWhenFree(installed);
    RemoveWhenFree(record);
}

TEST_F(Updater, FailuresShowTheirBoxAndStartNothing)
{
    Serve("upper.md5", Upper(digest));
    Serve("wrong.md5", std::string(32, '0'));
    Serve("short.md5", digest.substr(0, 31));
    Serve("exact.md5", digest);
    const struct {
        const char* md5File;
        std::wstring installerAddress;
        UINT text;
        bool md5FileStays;
    } cases[] = {
        {"upper.md5", Served("CorvaneSetup.exe"), 1080, false},
        {"wrong.md5", Served("CorvaneSetup.exe"), 1080, false},
        {"short.md5", Served("CorvaneSetup.exe"), 1080, true},
        {"exact.md5", server.Address("http", "get=404", "CorvaneSetup.exe"), 1072, true},
    };
    for (const auto& c : cases) {
        const std::wstring installed = WorkingFolder() + L"CorvaneSetup.exe";
        RemoveWhenFree(installed + L".args");
        int endCode = -1;
        EXPECT_EQ(Run(Served(c.md5File), c.installerAddress, endCode), library.Text(c.text)) << c.md5File;
        EXPECT_EQ(endCode, 0);
        const std::wstring md5Path = WorkingFolder() + Wide(c.md5File);
        EXPECT_EQ(PathExists(md5Path), c.md5FileStays) << c.md5File;
        EXPECT_FALSE(PathExists(installed + L".args")) << c.md5File;
        RemoveWhenFree(md5Path);
        RemoveWhenFree(installed);
    }
}
