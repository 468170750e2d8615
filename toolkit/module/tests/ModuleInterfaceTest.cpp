// The plug-in entry object and the four exports, through a real plug-in
// loaded by name by the host library.
#include "TestPluginCodes.h"
#include "TestPluginEnvironment.h"

#include "TlHost.h"

#include "afxwin.h"
#include "runbase/TlvResultCodes.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const char kPlugin[] = "TlTestModule.dll";
const char kPluginText[] = "text of the plug-in";
const char kHostText[] = "text of the host";

using CloseFn = void(__cdecl*)();
using MessageFn = unsigned long(__cdecl*)(TlvWord, TlvWord, TlvWord, TlvWord, TlvWord, TlvWord, TlvWord, TlvWord,
                                          TlvWord);

TEST(PluginExports, InformationNeedsNoInitialisation)
{
    CTlHostModule module;
    ASSERT_EQ(TLV_OK, module.Load(kPlugin));
    int moduleType = 0, interfaceKind = 0;
    EXPECT_EQ(TLV_OK, module.GetInformation(&moduleType, &interfaceKind));
    EXPECT_EQ(6, moduleType);
    EXPECT_EQ(0x10000000, interfaceKind);
}

TEST(PluginExports, FoundByNameAndByOrdinal)
{
    HMODULE library = LoadLibraryA(kPlugin);
    ASSERT_NE(nullptr, library);
    const char* names[] = {"TlvClose", "TlvGetInformation", "TlvInitialize", "TlvMessage"};
    for (WORD ordinal = 1; ordinal <= 4; ++ordinal) {
        FARPROC byName = GetProcAddress(library, names[ordinal - 1]);
        EXPECT_NE(nullptr, byName) << names[ordinal - 1];
        EXPECT_EQ(byName, GetProcAddress(library, MAKEINTRESOURCEA(ordinal))) << names[ordinal - 1];
    }
    FreeLibrary(library);
}

// The output module closes plug-ins it never started: nothing to close, and
// messages fail plainly.
TEST(PluginExports, CloseAndMessageWithoutEntryObject)
{
    HMODULE library = LoadLibraryA(kPlugin);
    ASSERT_NE(nullptr, library);
    auto close = reinterpret_cast<CloseFn>(reinterpret_cast<void*>(GetProcAddress(library, "TlvClose")));
    auto message = reinterpret_cast<MessageFn>(reinterpret_cast<void*>(GetProcAddress(library, "TlvMessage")));
    ASSERT_TRUE(close != nullptr && message != nullptr);
    close();
    EXPECT_EQ(TLV_ERR_FAILED, message(TLV_MSG_RUN_FUNCTION, kTestFunctionId, 0, 0, 0, 0, 0, 0, 0));
    close();
    FreeLibrary(library);
}

TEST(PluginEntry, InformationQueryFillsIdentityAndTaskAppendsItsEntry)
{
    CTlHost host{CTlHostScript()};
    CTlHostModule* module = nullptr;
    ASSERT_EQ(TLV_OK, host.AddModule(kPlugin, &module));
    const TlvModuleInfo& info = module->GetInfo();
    EXPECT_EQ(6, info.moduleId);
    EXPECT_EQ(1, info.flags);
    EXPECT_EQ(0x10000000, info.interfaceKind);
    // The plug-in grew the host's vector; the host frees it.
    ASSERT_EQ(1u, info.functions.size());
    EXPECT_EQ(kTestFunctionId, info.functions[0].functionId);
    EXPECT_EQ("Test", info.functions[0].name);
    EXPECT_EQ(513, info.functions[0].flags);
}

TEST(PluginEntry, InformationQueryRefusesOtherRecordsUntouched)
{
    CTlHost host{CTlHostScript()};
    CTlHostModule* module = nullptr;
    ASSERT_EQ(TLV_OK, host.AddModule(kPlugin, &module));
    int record = 1234;
    EXPECT_EQ(TLV_ERR_FAILED, host.Send(*module, {TLV_MSG_QUERY_INFO, 0, 0, TlvWord(&record), 1, 2, 0, 0, 0}));
    EXPECT_EQ(1234, record);
    EXPECT_EQ(TLV_ERR_FAILED, host.Send(*module, {TLV_MSG_QUERY_INFO, 0, 0, 0, 0, 136, 0, 0, 0}));
}

// The task's start result as TlvInitialize answers it; a failed start is
// closed, which lets the task release what it took.
TEST(PluginEntry, TaskInitialisationResults)
{
    const struct {
        const char* taskResult;
        unsigned long expected;
    } cases[] = {{"0", TLV_OK}, {"1", TLV_OK}, {"2", TLV_OK}, {"0x1101", TLV_ERR_NOT_FOUND}, {"0x1003", 0x1003}};
    for (const auto& c : cases) {
        ScopedEnvironment wanted(kTestPluginInitVariable, c.taskResult);
        CTlHost host{CTlHostScript()};
        CTlHostModule module;
        ASSERT_EQ(TLV_OK, module.Load(kPlugin));
        EXPECT_EQ(c.expected, module.Initialize(CTlHost::GetCallback(), &host)) << c.taskResult;
        module.Close();
        EXPECT_EQ(1, host.Services().TakenCount()) << c.taskResult;
        EXPECT_EQ(0, host.Services().OpenCount()) << c.taskResult;
    }
}

TEST(PluginEntry, RefusedServiceFailsTheStartAndCloseCopes)
{
    CTlHostScript script;
    script.refusedServices[TLV_SERVICE_SELECTION] = TLV_ERR_NOT_FOUND;
    CTlHost host(script);
    EXPECT_EQ(TLV_ERR_NOT_FOUND, host.AddModule(kPlugin));
    EXPECT_EQ(0, host.Services().OpenCount());
}

// Inside every export the plug-in's resources, outside (and in the host's
// callback) the host's own.
TEST(PluginEntry, ModuleStateInsideAndOutsideTheExports)
{
    EXPECT_EQ(kHostText, AfxLoadString(kTestStringId));
    CTlHostScript script;
    script.selectedItems = {};
    {
        CTlHost host(script);
        CTlHostModule* module = nullptr;
        ASSERT_EQ(TLV_OK, host.AddModule(kPlugin, &module));
        EXPECT_EQ(kHostText, AfxLoadString(kTestStringId));
        EXPECT_EQ(TLV_OK_HANDLED, host.RunFunction(*module, kTestFunctionId));
        host.CloseModules();
        const std::vector<TlHostCall> texts = host.CallsWithCode(kTestTextNotice);
        // Initialisation, the information query, the run and the close.
        ASSERT_EQ(4u, texts.size());
        for (const TlHostCall& call : texts)
            EXPECT_EQ(kPluginText, call.text);
    }
    EXPECT_EQ(kHostText, AfxLoadString(kTestStringId));
}

TEST(PluginEntry, RunAsksTheHostToSaveTheCurrentItemFirst)
{
    CTlHostScript script;
    script.answers[TLV_MSG_SAVE_CURRENT_ITEM] = TLV_ERR_FAILED;
    CTlHost host(script);
    CTlHostModule* module = nullptr;
    ASSERT_EQ(TLV_OK, host.AddModule(kPlugin, &module));
    EXPECT_EQ(TLV_ERR_NOT_FOUND, host.RunFunction(*module, kTestFunctionId));
    ASSERT_EQ(1u, host.CallsWithCode(TLV_MSG_SAVE_CURRENT_ITEM).size());
    EXPECT_EQ(TLV_ERR_FAILED, host.CallsWithCode(TLV_MSG_SAVE_CURRENT_ITEM)[0].answer);
}

} // namespace
