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
    } cases[] = {
        {"missing module", "--folder " + Quoted(modules) + " --module TlNoSuchModule.dll --run 0x2101" + picture},
        {"unknown id", Module() + " --run 0x2999" + picture},
        {"missing picture", Module() + " --run 0x2101 " + Quoted(folder.File("none.jpg"))},
        {"no module", "--run 0x2101" + picture},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(1, RunHost(c.arguments)) << c.what;
    }
    EXPECT_TRUE(TempFolder::Matching(out + "*").empty());
}

} // namespace
