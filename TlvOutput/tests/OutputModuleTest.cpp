// The output module through the host library: the real TlvOutput.md7 finds
// real fake plug-ins in a services folder of the test's own.
#include "OutputTestFolder.h"

#include "TlHost.h"

#include "runbase/TlvMessageCodes.h"
#include "runbase/TlvResultCodes.h"

#include <gtest/gtest.h>

#include <map>

namespace {

const char kOutputModule[] = "TlvOutput.md7";
constexpr TlvWord kRequestDone = TLV_MSG_REQUEST_DONE; // one of the 0x2xxxxxxx family

// What each fake plug-in answers after its information query.
const std::map<std::string, unsigned long> kFakeAnswers = {
    {"FakeAlpha.tv7", 0x11}, {"FakeBeta.tv7", 0x22}, {"FakeGamma.tv7", 0x33}, {"FakeFailing.tv7", 0x1008}};

std::string TagOf(const std::string& fileName)
{
    std::string tag = fileName.substr(4, fileName.find('.') - 4);
    for (char& c : tag)
        c = char(tolower(c));
    return tag;
}

std::string Event(const std::string& tag, const char* event, unsigned long value)
{
    char text[32];
    snprintf(text, sizeof text, " 0x%lX", value);
    return tag + " " + event + text;
}

std::vector<int> AnnouncedIds(const CTlHost& host)
{
    std::vector<int> ids;
    for (const TlHostFunction& function : host.Functions())
        ids.push_back(function.id);
    return ids;
}

class OutputModule : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.IsReady()); }

    void Add(std::initializer_list<const char*> names)
    {
        for (const char* name : names)
            ASSERT_TRUE(folder.AddPlugin(name)) << name;
    }

    // Starts the output module in `host`; its answer.
    unsigned long Start(CTlHost& host)
    {
        module = nullptr;
        return host.AddModule(kOutputModule, &module);
    }

    unsigned long Send(CTlHost& host, TlvWord code, TlvWord functionId = 0)
    {
        return host.Send(*module, {code, functionId, 0, 0, 0, 0, 0, 0, 0});
    }

    OutputTestFolder folder;
    CTlHostModule* module = nullptr;
};

TEST(OutputModuleExports, InformationNeedsNoStart)
{
    CTlHostModule module;
    ASSERT_EQ(TLV_OK, module.Load(kOutputModule));
    int moduleType = 0, interfaceKind = 0;
    EXPECT_EQ(TLV_OK, module.GetInformation(&moduleType, &interfaceKind));
    EXPECT_EQ(80, moduleType);
    EXPECT_EQ(0x909, interfaceKind);
}

TEST_F(OutputModule, NoPluginStartsWithNothingToRoute)
{
    for (const bool valueMissing : {false, true}) {
        SCOPED_TRACE(valueMissing ? "no CommonFilesDir" : "empty services folder");
        if (valueMissing) {
            ASSERT_TRUE(folder.RemoveCommonFilesValue());
        }
        CTlHost host{CTlHostScript()};
        ASSERT_EQ(TLV_OK, Start(host));
        EXPECT_TRUE(host.Functions().empty());
        EXPECT_EQ(TLV_OK, Send(host, TLV_MSG_RUN_FUNCTION, 0x2012));
        EXPECT_EQ(TLV_OK, Send(host, kRequestDone));
        EXPECT_EQ(TLV_OK, Send(host, TLV_MSG_QUERY_ALL, 0x2012));
        EXPECT_EQ(TLV_ERR_NOT_FOUND, Send(host, TLV_MSG_QUERY_FUNCTION, 0x2012));
    }
}

TEST_F(OutputModule, TheFirstListedKeepsAnIdTheOtherIsRenumbered)
{
    Add({"FakeAlpha", "FakeBeta"});
    const std::vector<std::string> listed = folder.Listed();
    ASSERT_EQ(2u, listed.size());
    CTlHost host{CTlHostScript()};
    ASSERT_EQ(TLV_OK, Start(host));

    ASSERT_EQ((std::vector<int>{0x2012, 0x20FF}), AnnouncedIds(host));
    EXPECT_EQ(TagOf(listed[0]) + " function", host.Functions()[0].name);
    EXPECT_EQ(TagOf(listed[1]) + " function", host.Functions()[1].name);
    EXPECT_TRUE(HasFakeEvent(Event(TagOf(listed[1]), "newid", 0x20FF)));
    EXPECT_FALSE(HasFakeEvent(Event(TagOf(listed[0]), "newid", 0x20FF)));
    // The owner of the highest id is current.
    EXPECT_EQ(kFakeAnswers.at(listed[1]), Send(host, kRequestDone));
    EXPECT_TRUE(HasFakeEvent(Event(TagOf(listed[1]), "message", kRequestDone)));
}

// Whether the owner of 0x20FF is listed before the clash or after it, every
// plug-in gets an id of its own.
TEST_F(OutputModule, AnOwnerOfTheFirstFreshIdBlocksNoRenumbering)
{
    Add({"FakeAlpha", "FakeBeta", "FakeOwner"});
    CTlHost host{CTlHostScript()};
    ASSERT_EQ(TLV_OK, Start(host));
    EXPECT_EQ((std::vector<int>{0x2012, 0x20FF, 0x2100}), AnnouncedIds(host));
}

TEST_F(OutputModule, FailingFilesAreClosedUnloadedAndSkipped)
{
    Add({"FakeInitFails", "FakeNoMessage", "FakeGamma"});
    TempFolder::Overwrite(folder.Services() + "bad.tv7", "");
    ASSERT_TRUE(CreateDirectoryA((folder.Services() + "dir.tv7").c_str(), nullptr));
    CTlHost host{CTlHostScript()};
    ASSERT_EQ(TLV_OK, Start(host));

    EXPECT_EQ(std::vector<int>{0x2013}, AnnouncedIds(host));
    EXPECT_TRUE(HasFakeEvent("initfails init 0x1003"));
    EXPECT_TRUE(HasFakeEvent("initfails close 0x0"));
    EXPECT_TRUE(HasFakeEvent("nomessage close 0x0"));
    EXPECT_FALSE(HasFakeEvent("nomessage init 0x0"));
    EXPECT_FALSE(folder.IsLoaded("FakeInitFails.tv7"));
    EXPECT_FALSE(folder.IsLoaded("FakeNoMessage.tv7"));
    EXPECT_TRUE(folder.IsLoaded("FakeGamma.tv7"));
    EXPECT_EQ(0x33u, Send(host, TLV_MSG_QUERY_FUNCTION, 0x2013));
}

TEST_F(OutputModule, StartFailsWhenTheOnlyFilesFail)
{
    Add({"FakeInitFails"});
    TempFolder::Overwrite(folder.Services() + "bad.tv7", "");
    CTlHost host{CTlHostScript()};
    EXPECT_EQ(TLV_ERR_FAILED, Start(host));
    EXPECT_FALSE(folder.IsLoaded("FakeInitFails.tv7"));
    EXPECT_EQ(2, host.Services().TakenCount());
    EXPECT_EQ(0, host.Services().OpenCount());
}

TEST_F(OutputModule, RoutesByFunctionAndKeepsTheCurrentPlugin)
{
    Add({"FakeAlpha", "FakeGamma", "FakeFailing"});
    const std::vector<std::string> listed = folder.Listed();
    ASSERT_EQ(3u, listed.size());
    CTlHost host{CTlHostScript()};
    ASSERT_EQ(TLV_OK, Start(host));
    ASSERT_EQ((std::vector<int>{0x2012, 0x2013, 0x2014}), AnnouncedIds(host));

    // Current after start-up: the owner of 0x2014.
    EXPECT_EQ(TLV_ERR_FAILED, Send(host, kRequestDone));
    EXPECT_EQ(0x11u, Send(host, TLV_MSG_RUN_FUNCTION, 0x2012));
    EXPECT_TRUE(HasFakeEvent("alpha function 0x2012"));
    EXPECT_EQ(0x11u, Send(host, kRequestDone));
    EXPECT_EQ(TLV_ERR_UNSUPPORTED_SOURCE, Send(host, TLV_MSG_RUN_FUNCTION, 0x3000));
    EXPECT_EQ(0x11u, Send(host, kRequestDone));
    // A query reaches the owner and leaves the current plug-in.
    EXPECT_EQ(0x33u, Send(host, TLV_MSG_QUERY_FUNCTION, 0x2013));
    EXPECT_EQ(TLV_ERR_NOT_FOUND, Send(host, TLV_MSG_QUERY_FUNCTION, 0x3000));
    EXPECT_EQ(0x11u, Send(host, kRequestDone));

    ClearFakeEvents();
    EXPECT_EQ(kFakeAnswers.at(listed[2]), Send(host, TLV_MSG_QUERY_ALL, 0x2012));
    const std::vector<std::string> events = FakeEvents();
    ASSERT_EQ(3u, events.size());
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(Event(TagOf(listed[i]), "message", TLV_MSG_QUERY_ALL), events[i]);

    // Codes outside the routed ones reach nobody.
    ClearFakeEvents();
    EXPECT_EQ(TLV_OK, Send(host, TLV_MSG_DEACTIVATE));
    EXPECT_EQ(TLV_OK, Send(host, 0x40000001));
    EXPECT_TRUE(FakeEvents().empty());
}

TEST_F(OutputModule, AnnouncedRecordsCarryTheEntryAndItsCells)
{
    Add({"FakeAlpha", "FakeGamma"});
    CTlHost host{CTlHostScript()};
    ASSERT_EQ(TLV_OK, Start(host));
    ASSERT_EQ(2u, host.Functions().size());

    const CTlvFunctionData& alpha = host.Functions()[0].record;
    EXPECT_EQ(80u, host.Functions()[0].owner);
    EXPECT_EQ(0x2012, alpha.m_id);
    EXPECT_EQ("alpha function", alpha.m_name);
    EXPECT_EQ(80, alpha.m_ownerModule);
    EXPECT_EQ(0x201u, alpha.m_flags);
    ASSERT_EQ(4u, alpha.m_bitmaps.size());
    const std::pair<DWORD, int> cells[] = {{1, 0}, {2, 32}, {3, 64}, {256, 96}};
    for (const auto& cell : cells) {
        const CTlvBitmapData* found = alpha.FindBitmap(cell.first);
        ASSERT_NE(nullptr, found) << cell.first;
        EXPECT_EQ(reinterpret_cast<HBITMAP>(UINT_PTR(0x5150)), found->m_bitmap);
        EXPECT_EQ(32, found->m_width);
        EXPECT_EQ(32, found->m_height);
        EXPECT_EQ(cell.second, found->m_left);
        EXPECT_EQ(0, found->m_top);
    }

    const CTlvFunctionData& gamma = host.Functions()[1].record;
    EXPECT_EQ(0x2013, gamma.m_id);
    EXPECT_EQ(80, gamma.m_ownerModule);
    EXPECT_TRUE(gamma.m_bitmaps.empty());
}

// Each function of a plug-in with several is announced once, under its own id.
TEST_F(OutputModule, SeveralFunctionsOfOnePluginAreEachAnnouncedOnce)
{
    Add({"FakePair", "FakeGamma"});
    CTlHost host{CTlHostScript()};
    ASSERT_EQ(TLV_OK, Start(host));
    EXPECT_EQ((std::vector<int>{0x2012, 0x2013, 0x2030}), AnnouncedIds(host));
    // The owner of 0x2030 is current.
    EXPECT_EQ(0x55u, Send(host, kRequestDone));
}

TEST_F(OutputModule, ARefusedAnnouncementFailsTheStart)
{
    Add({"FakeAlpha"});
    CTlHostScript script;
    script.answers[TLV_MSG_REGISTER_FUNCTIONS] = TLV_ERR_FAILED;
    CTlHost host(script);
    EXPECT_EQ(TLV_ERR_FAILED, Start(host));
    // The host closed the module, which unloaded what it had loaded.
    EXPECT_TRUE(HasFakeEvent("alpha close 0x0"));
    EXPECT_FALSE(folder.IsLoaded("FakeAlpha.tv7"));
    EXPECT_EQ(0, host.Services().OpenCount());
}

TEST_F(OutputModule, CloseUnloadsEveryPluginAndReleasesTheServices)
{
    Add({"FakeAlpha", "FakeGamma"});
    CTlHost host{CTlHostScript()};
    ASSERT_EQ(TLV_OK, Start(host));
    EXPECT_TRUE(folder.IsLoaded("FakeAlpha.tv7"));
    EXPECT_EQ(2, host.Services().OpenCount());
    host.CloseModules();
    EXPECT_TRUE(HasFakeEvent("alpha close 0x0"));
    EXPECT_TRUE(HasFakeEvent("gamma close 0x0"));
    EXPECT_FALSE(folder.IsLoaded("FakeAlpha.tv7"));
    EXPECT_FALSE(folder.IsLoaded("FakeGamma.tv7"));
    EXPECT_EQ(2, host.Services().TakenCount());
    EXPECT_EQ(0, host.Services().OpenCount());
}

TEST_F(OutputModule, RefusedServicesFailTheStart)
{
    for (const int service : {TLV_SERVICE_ITEMS, TLV_SERVICE_SELECTION}) {
        CTlHostScript script;
        script.refusedServices[service] = TLV_ERR_NOT_FOUND;
        CTlHost host(script);
        EXPECT_EQ(TLV_ERR_NOT_FOUND, Start(host)) << service;
        EXPECT_EQ(0, host.Services().OpenCount()) << service;
    }
}

} // namespace
