// The panorama plug-in reached through the output module, as the host
// reaches it, starting the stand-in for the panorama program.
#include "OutputTestFolder.h"

#include "TlHost.h"

#include "runbase/TlvMessageCodes.h"
#include "runbase/TlvResultCodes.h"
#include "support/MessageBoxWatcher.h"
#include "support/RegistrySandbox.h"
#include "support/RegistryValues.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

const char kPanoramaKey[] = "SOFTWARE\\Arcsoft\\Panorama Maker\\3.5";
const char kProgramValue[] = "AppName";
const char kRecordVariable[] = "TL_PANORAMA_RECORD";
const char kPrefix[] = " -NV 268435592 0 0 0 0 0 0";
constexpr int kPanoramaFunction = 0x2012;
// Long enough for a process start under Wine on a busy machine.
constexpr DWORD kRecordTimeoutMs = 20000;

std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string program(path);
    return program.substr(0, program.find_last_of('\\') + 1);
}

struct Picture {
    std::string path;
    DWORD fileKind;
};

// The pictures, selected in this order; the first is current.
CTlHostScript Selecting(const std::vector<Picture>& pictures)
{
    CTlHostScript script;
    TlvItemId id = 0;
    for (const Picture& picture : pictures) {
        TlHostItem item;
        item.id = ++id;
        item.path = picture.path;
        item.fileKind = picture.fileKind;
        item.width = item.height = 10; // no picture file is read
        script.items.push_back(item);
        script.selectedItems.push_back(item.id);
    }
    script.currentItem = script.selectedItems.empty() ? 0 : 1;
    return script;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);)
        lines.push_back(line);
    return lines;
}

class Panorama : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.IsReady());
        ASSERT_TRUE(folder.AddPlugin("TlvPanorama"));
        registry.OwnKey(HKEY_LOCAL_MACHINE, kPanoramaKey);
        ASSERT_TRUE(StoreText(HKEY_LOCAL_MACHINE, kPanoramaKey, kProgramValue, standIn));
        SetEnvironmentVariableA(kRecordVariable, record.c_str());
    }

    void TearDown() override { SetEnvironmentVariableA(kRecordVariable, nullptr); }

    // Starts the output module over the panorama plug-in and runs the function.
    unsigned long Run(const CTlHostScript& script)
    {
        CTlHost host(script);
        CTlHostModule* module = nullptr;
        const unsigned long started = host.AddModule("TlvOutput.md7", &module);
        EXPECT_EQ(TLV_OK, started);
        if (started != TLV_OK)
            return started;
        EXPECT_EQ(1u, host.Functions().size());
        return host.Send(*module, {TLV_MSG_RUN_FUNCTION, kPanoramaFunction, 0, 0, 0, 0, 0, 0, 0});
    }

    // What the stand-in recorded, once it has; empty when it never ran.
    std::string WaitForRecord(DWORD timeoutMs) const
    {
        const DWORD start = GetTickCount();
        while (!TempFolder::Exists(record) && GetTickCount() - start < timeoutMs)
            Sleep(20);
        return TempFolder::Exists(record) ? TempFolder::Read(record) : std::string();
    }

    bool StartedNothing() const { return WaitForRecord(300).empty(); }

    OutputTestFolder folder;
    RegistrySandbox registry;
    TempFolder records;
    const std::string record = records.File("record.txt");
    const std::string standIn = ProgramFolder() + "TlStandInPanorama.exe";
};

TEST_F(Panorama, HandsThePicturesOverInSelectionOrder)
{
    const std::vector<std::vector<Picture>> cases = {
        {{"C:\\p\\a.jpg", 2}},
        {{"C:\\p\\first shot.jpg", 2}, {"D:\\second\\b.tif", 0x10000}, {"C:\\p\\c.jpg", 1}},
    };
    for (const std::vector<Picture>& pictures : cases) {
        SCOPED_TRACE(pictures.size());
        DeleteFileA(record.c_str());
        EXPECT_EQ(TLV_OK_HANDLED, Run(Selecting(pictures)));
        std::string expected = kPrefix;
        for (const Picture& picture : pictures)
            expected += " \"" + picture.path + "\"";
        const std::vector<std::string> lines = Lines(WaitForRecord(kRecordTimeoutMs));
        ASSERT_GE(lines.size(), 1 + pictures.size());
        EXPECT_EQ(expected, lines[0]);
        // The program's own arguments end with the paths, unquoted.
        for (std::size_t i = 0; i < pictures.size(); ++i)
            EXPECT_EQ(pictures[i].path, lines[lines.size() - pictures.size() + i]);
    }
}

TEST_F(Panorama, AcceptsEachOfTheFourteenFileTypes)
{
    for (const DWORD kind : {1u, 2u, 4u, 8u, 16u, 32u, 256u, 512u, 1024u, 2048u, 0x10000u, 0x20000u, 0x40000u,
                             0x80000u}) {
        SCOPED_TRACE(kind);
        DeleteFileA(record.c_str());
        EXPECT_EQ(TLV_OK_HANDLED, Run(Selecting({{"C:\\p\\a.jpg", kind}})));
        EXPECT_FALSE(WaitForRecord(kRecordTimeoutMs).empty());
    }
}

TEST_F(Panorama, OtherFileTypesAreShownAndStartNothing)
{
    for (const DWORD kind : {0u, 64u, 128u, 0xFFu, 0x100000u}) {
        SCOPED_TRACE(kind);
        MessageBoxWatcher watcher(10000);
        EXPECT_EQ(TLV_ERR_UNSUPPORTED_FORMAT, Run(Selecting({{"C:\\p\\a.jpg", 2}, {"C:\\p\\odd.raw", kind}})));
        const WatchedBox& box = watcher.Result();
        EXPECT_TRUE(box.found);
        EXPECT_EQ("Format Not Supported:C:\\p\\odd.raw", box.text);
        EXPECT_TRUE(StartedNothing());
    }
}

TEST_F(Panorama, RegistryFailures)
{
    const struct {
        const char* name;
        DWORD type;
        bool keyMissing;
        unsigned long expected;
    } cases[] = {
        {"key absent", REG_SZ, true, TLV_ERR_FAILED},
        {"program value of another type", REG_BINARY, false, TLV_ERR_NOT_FOUND},
        {"program missing", REG_SZ, false, TLV_ERR_FAILED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kPanoramaKey);
        if (!c.keyMissing) {
            const std::string program =
                c.type == REG_SZ ? ProgramFolder() + "NoSuchProgram.exe" : standIn;
            ASSERT_TRUE(StoreValue(HKEY_LOCAL_MACHINE, kPanoramaKey, kProgramValue, c.type, program.c_str(),
                                   DWORD(program.size() + 1)));
        }
        MessageBoxWatcher watcher(300);
        EXPECT_EQ(c.expected, Run(Selecting({{"C:\\p\\a.jpg", 2}})));
        EXPECT_FALSE(watcher.Result().found);
        EXPECT_TRUE(StartedNothing());
    }
}

TEST_F(Panorama, AProgramNameStoredWithoutItsTerminatorStillStartsTheProgram)
{
    // Wine's narrow registry reads end such a text themselves, so what the
    // plug-in reads here is terminated either way; the read stays bounded by
    // the stored data whatever the system does.
    ASSERT_TRUE(StoreValue(HKEY_LOCAL_MACHINE, kPanoramaKey, kProgramValue, REG_SZ, standIn.data(),
                           DWORD(standIn.size())));
    EXPECT_EQ(TLV_OK_HANDLED, Run(Selecting({{"C:\\p\\a.jpg", 2}})));
    EXPECT_FALSE(WaitForRecord(kRecordTimeoutMs).empty());
}

TEST_F(Panorama, NothingToHandOverStartsNothing)
{
    CTlHostScript script;
    script.currentItem = 7;
    EXPECT_EQ(TLV_OK_HANDLED, Run(script));
    EXPECT_TRUE(StartedNothing());
}

TEST_F(Panorama, ARefusedSaveOfTheCurrentItemEndsTheRun)
{
    CTlHostScript script = Selecting({{"C:\\p\\a.jpg", 2}});
    script.answers[TLV_MSG_SAVE_CURRENT_ITEM] = TLV_ERR_FAILED;
    EXPECT_EQ(TLV_ERR_NOT_FOUND, Run(script));
    EXPECT_TRUE(StartedNothing());
}

TEST_F(Panorama, InformationAndANewIdLeaveTheFunctionAsItIs)
{
    CTlHost host{CTlHostScript()};
    CTlHostModule* module = nullptr;
    ASSERT_EQ(TLV_OK, host.AddModule(folder.Services() + "TlvPanorama.tv7", &module));
    int moduleType = 0, interfaceKind = 0;
    EXPECT_EQ(TLV_OK, module->GetInformation(&moduleType, &interfaceKind));
    EXPECT_EQ(38, moduleType);
    EXPECT_EQ(0x10000000, interfaceKind);
    int fresh = 0x20FF;
    EXPECT_EQ(TLV_OK, host.Send(*module, {TLV_MSG_FUNCTION_ID, 0, 0, TlvWord(&fresh), 1, 2, 0, 0, 0}));
    ASSERT_EQ(TLV_OK, module->QueryInformation());
    const TlvModuleInfo& info = module->GetInfo();
    EXPECT_EQ(38, info.moduleId);
    EXPECT_EQ(0, info.flags);
    EXPECT_EQ(0x10000000, info.interfaceKind);
    ASSERT_EQ(1u, info.functions.size());
    EXPECT_EQ(0x2012, info.functions[0].functionId);
    EXPECT_EQ("Panorama", info.functions[0].name);
    EXPECT_EQ(0x201, info.functions[0].flags);
    EXPECT_EQ(nullptr, info.functions[0].bitmap);
}

} // namespace
