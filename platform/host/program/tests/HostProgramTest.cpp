// TlHost.exe run as its own process on the test plug-in, loaded by name from
// a folder of its own.
#include "HostTestPictures.h"
#include "TestPluginCodes.h"
#include "TestPluginEnvironment.h"

#include "pellio/PellioFormats.h"
#include "support/SiblingProcess.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

// A trailing backslash would escape the closing quote.
std::string Quoted(std::string text)
{
    if (!text.empty() && text.back() == '\\')
        text.pop_back();
    return "\"" + text + "\"";
}

class HostProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(CopyFileA((ProgramFolder() + "TlTestModule.dll").c_str(), (modules + "TlTestModule.dll").c_str(),
                              FALSE));
        ASSERT_TRUE(WriteTestPicture(folder.File("a.jpg"), kPellioFormatJpeg, 120, 80));
        ASSERT_TRUE(WriteTestPicture(folder.File("b.jpg"), kPellioFormatJpeg, 90, 60));
    }

    long RunHost(const std::string& arguments)
    {
        return SiblingProcess("TlHost.exe", arguments).Wait();
    }

    // Runs the host with its output into a file; what it printed goes to `printed`.
    long RunHostPrinting(const std::string& arguments, std::string* printed)
    {
        const std::string path = folder.File("printed.txt");
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE output = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        if (output == INVALID_HANDLE_VALUE)
            return -1;
        const long code = SiblingProcess("TlHost.exe", arguments, output).Wait();
        CloseHandle(output);
        *printed = TempFolder::Read(path);
        return code;
    }

    std::string Module() const { return "--folder " + Quoted(modules) + " --module TlTestModule.dll"; }

    TempFolder folder;
    std::string modules = folder.MakeFolder("modules");
    std::string out = folder.MakeFolder("out");
    ScopedEnvironment render{kTestPluginRenderVariable, "30,0,0," + out};
};

TEST_F(HostProgram, RunsTheFunctionOnThePictures)
{
    EXPECT_EQ(0, RunHost(Module() + " --run 0x2101 " + Quoted(folder.File("a.jpg")) + " " +
                         Quoted(folder.File("b.jpg"))));
    EXPECT_TRUE(TempFolder::Exists(out + "rendition1.jpg"));
    EXPECT_TRUE(TempFolder::Exists(out + "rendition2.jpg"));
}

TEST_F(HostProgram, ListsWithoutRunning)
{
    EXPECT_EQ(0, RunHost(Module()));
    EXPECT_TRUE(TempFolder::Matching(out + "*").empty());
}

TEST_F(HostProgram, ExitsWithTheRunsFailure)
{
    const std::string whole = TempFolder::Read(folder.File("a.jpg"));
    const std::string cut = folder.Write("cut.jpg", whole.substr(0, whole.size() / 3));
    EXPECT_EQ(0x1008, RunHost(Module() + " --run 0x2101 " + Quoted(cut)));
    EXPECT_TRUE(TempFolder::Matching(out + "*").empty());
}

TEST_F(HostProgram, RefusesWhatItCannotRun)
{
    const std::string picture = " " + Quoted(folder.File("a.jpg"));
    const struct {
        const char* what;
        std::string arguments;
        const char* message;
    } cases[] = {
        {"missing module", "--folder " + Quoted(modules) + " --module TlNoSuchModule.dll --run 0x2101" + picture,
         "TlHost: the module TlNoSuchModule.dll did not load or start"},
        {"unknown id", Module() + " --run 0x2999" + picture, "TlHost: no loaded module offers function 0x2999"},
        {"missing picture", Module() + " --run 0x2101 " + Quoted(folder.File("none.jpg")), "TlHost: no picture at"},
        {"no module", "--run 0x2101" + picture, "TlHost: "},
    };
    for (const auto& c : cases) {
        std::string printed;
        EXPECT_EQ(1, RunHostPrinting(c.arguments, &printed)) << c.what;
        EXPECT_NE(std::string::npos, printed.find(c.message)) << c.what << ": " << printed;
    }
    EXPECT_TRUE(TempFolder::Matching(out + "*").empty());
}

} // namespace
