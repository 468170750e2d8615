// The plug-in record: its stored form, the installed and the missing
// plug-in, and the host it shares by use count.
#include "DustPluginGoldens.h"
#include "PluginHostFakes.h"
#include "StateTestSupport.h"

#include "settings/plugins/TlPluginState.h"

#include <gtest/gtest.h>

using namespace tlstate_test;
using namespace plugin_test;

namespace {

constexpr const char* kBlurPath = "C:\\Plug-ins\\Blur.8bf";
constexpr const char* kGlowPath = "C:\\Plug-ins\\Glow.8bf";

class PluginState : public ::testing::Test {
protected:
    void SetUp() override
    {
        world.Install(kBlurPath, 0x1234, "Blur");
        world.Install(kGlowPath, 0x9ABC, "Glow");
    }

    // A record holding a new host for `path`.
    FakePluginHost* Hold(CTlPluginState& record, const char* path)
    {
        auto* host = static_cast<FakePluginHost*>(world.CreateHost());
        EXPECT_TRUE(record.SetPlugin(path, host));
        return host;
    }

    FakePluginWorld world;
};

TEST_F(PluginState, SavesTheHostsIdParametersAndName)
{
    CTlPluginState record;
    FakePluginHost* host = Hold(record, kBlurPath);
    host->parameters = {1, 2, 3};
    record.enabled = 0;
    EXPECT_EQ(SaveWhole(record), Hex(kPluginStateV1));
    EXPECT_EQ(record.GetSize(), 39);
}

TEST_F(PluginState, ARecordWithoutPluginSavesAnEmptyForm)
{
    EXPECT_EQ(SaveWhole(CTlPluginState()), Hex(kPluginStateEmptyV1));
}

TEST_F(PluginState, LoadsAnInstalledPluginIntoANewHostWithItsParameters)
{
    CTlPluginState record;
    EXPECT_EQ(LoadBytes(record, Hex(kPluginStateV1)), 39);
    auto* host = static_cast<FakePluginHost*>(record.GetPlugin());
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host, world.lastHost);
    EXPECT_TRUE(host->loaded);
    EXPECT_STREQ(host->GetPath(), kBlurPath);
    EXPECT_EQ(host->GetRefCount(), 1);
    EXPECT_EQ(host->parameters, (Bytes{1, 2, 3}));
    EXPECT_EQ(record.GetPluginId(), 0x1234);
    EXPECT_EQ(record.enabled, 0) << "the stored enabled byte outlives taking the host";
    EXPECT_FALSE(record.IsUnresolved());
    EXPECT_EQ(SaveWhole(record), Hex(kPluginStateV1));
}

TEST_F(PluginState, AnInstalledPluginWithoutParametersKeepsTheHostsOwn)
{
    Bytes block = Hex(kPluginListStateThreeV1);
    block.erase(block.begin(), block.begin() + 24 + 39 + 40);
    CTlPluginState record;
    EXPECT_EQ(LoadBytes(record, block), 36);
    ASSERT_NE(world.lastHost, nullptr);
    EXPECT_EQ(world.lastHost->parameterSets, 0);
    EXPECT_EQ(record.GetPluginId(), 0x9ABC);
}

TEST_F(PluginState, AMissingPluginKeepsItsStoredFormAndWritesItBack)
{
    world.installed.clear();
    CTlPluginState record;
    Hold(record, kGlowPath);
    EXPECT_EQ(LoadBytes(record, Hex(kPluginStateV1)), 39);
    EXPECT_TRUE(record.IsEmpty());
    EXPECT_TRUE(record.IsUnresolved());
    EXPECT_STREQ(record.GetHeldName().GetData(), "Blur");
    EXPECT_EQ(record.GetPluginId(), 0x1234);
    EXPECT_EQ(world.hostsDeleted, 1) << "the record's own host was released";
    EXPECT_EQ(SaveWhole(record), Hex(kPluginStateV1));

    CTlPluginState copy(record);
    EXPECT_EQ(SaveWhole(copy), Hex(kPluginStateV1));
    EXPECT_STREQ(copy.GetHeldName().GetData(), "Blur");
}

TEST_F(PluginState, AMissingPluginOfANewerVersionIsWrittenBackWithItsVersion)
{
    world.installed.clear();
    Bytes block = Hex(kPluginStateV1);
    PutU16(block, 16, 2);
    CTlPluginState record;
    EXPECT_EQ(LoadBytes(record, block), 39);
    EXPECT_EQ(SaveWhole(record), block);
}

TEST_F(PluginState, AnInstalledPluginThatDoesNotLoadIsKeptLikeAMissingOne)
{
    world.files.clear();
    CTlPluginState record;
    EXPECT_EQ(LoadBytes(record, Hex(kPluginStateV1)), 39);
    EXPECT_TRUE(record.IsUnresolved());
    EXPECT_EQ(world.hostsMade, world.hostsDeleted);
    EXPECT_EQ(SaveWhole(record), Hex(kPluginStateV1));
}

TEST_F(PluginState, VersionZeroEmptiesTheRecord)
{
    CTlPluginState record;
    Hold(record, kBlurPath);
    record.enabled = 0;
    Bytes block = Hex(kPluginStateV1);
    PutU16(block, 16, 0);
    EXPECT_EQ(LoadBytes(record, block), 22);
    EXPECT_TRUE(record.IsEmpty());
    EXPECT_EQ(record.enabled, 1);
    EXPECT_EQ(world.hostsDeleted, 1);
    EXPECT_EQ(SaveWhole(record), Hex(kPluginStateEmptyV1));
}

TEST_F(PluginState, CopiesShareTheHostAndTheLastReleaseUnloadsAndDeletesIt)
{
    CTlPluginState first;
    FakePluginHost* host = Hold(first, kBlurPath);
    first.enabled = 0;
    {
        CTlPluginState second(first);
        EXPECT_EQ(second.GetPlugin(), host);
        EXPECT_EQ(second.enabled, 0);
        EXPECT_EQ(host->GetRefCount(), 2);
        EXPECT_TRUE(second.IsEqual(first));

        first.ReleasePlugin();
        EXPECT_TRUE(first.IsEmpty());
        EXPECT_EQ(first.enabled, 1);
        EXPECT_EQ(host->GetRefCount(), 1);
        EXPECT_EQ(world.unloads, 0);
        EXPECT_FALSE(second.IsEqual(first));
    }
    EXPECT_EQ(world.unloads, 1);
    EXPECT_EQ(world.hostsDeleted, 1);
}

TEST_F(PluginState, CopyingARecordOntoItselfChangesNothing)
{
    CTlPluginState record;
    FakePluginHost* host = Hold(record, kBlurPath);
    record.enabled = 0;
    CTlPluginState& same = record;
    record = same;
    EXPECT_EQ(record.GetPlugin(), host);
    EXPECT_EQ(host->GetRefCount(), 1);
    EXPECT_EQ(record.enabled, 0);
    EXPECT_EQ(world.hostsDeleted, 0);
}

TEST_F(PluginState, CopyingAnEmptyRecordReleasesTheHost)
{
    CTlPluginState record;
    Hold(record, kBlurPath);
    const CTlPluginState empty;
    record = empty;
    EXPECT_TRUE(record.IsEmpty());
    EXPECT_EQ(world.hostsDeleted, 1);
}

TEST_F(PluginState, SetPluginThatFailsLeavesTheHostToItsCaller)
{
    CTlPluginState record;
    FakePluginHost* held = Hold(record, kBlurPath);
    auto* host = static_cast<FakePluginHost*>(world.CreateHost());
    EXPECT_FALSE(record.SetPlugin("C:\\missing.8bf", host));
    EXPECT_TRUE(record.IsEmpty());
    EXPECT_EQ(record.GetPluginId(), 0);
    EXPECT_EQ(host->GetRefCount(), 0);
    EXPECT_EQ(world.hostsDeleted, 1) << "only the held host went";
    EXPECT_NE(held, host);
    delete host;
}

TEST_F(PluginState, SettingTheHeldHostAgainReloadsItWithoutDroppingIt)
{
    CTlPluginState record;
    FakePluginHost* host = Hold(record, kBlurPath);
    EXPECT_TRUE(record.SetPlugin(kGlowPath, host));
    EXPECT_EQ(host->GetRefCount(), 1);
    EXPECT_EQ(record.GetPluginId(), 0x9ABC);
    EXPECT_EQ(world.hostsDeleted, 0);
}

TEST_F(PluginState, NoMemoryForAHostKeepsThePluginAsMissing)
{
    world.outOfMemory = true;
    CTlPluginState record;
    EXPECT_EQ(LoadBytes(record, Hex(kPluginStateV1)), 39);
    EXPECT_TRUE(record.IsUnresolved());
    EXPECT_EQ(SaveWhole(record), Hex(kPluginStateV1));
}

TEST(PluginStateWithoutServices, EveryStoredPluginCountsAsMissing)
{
    ASSERT_EQ(GetPluginServices().installed, nullptr);
    CTlPluginState record;
    EXPECT_EQ(LoadBytes(record, Hex(kPluginStateV1)), 39);
    EXPECT_TRUE(record.IsUnresolved());
    EXPECT_EQ(SaveWhole(record), Hex(kPluginStateV1));
}

} // namespace
