// The plug-in list: installed plug-ins become entries, missing ones are
// reported by name and written back in their stored places.
#include "DustPluginGoldens.h"
#include "PluginHostFakes.h"
#include "StateTestSupport.h"

#include "settings/plugins/TlPluginListState.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace tlstate_test;
using namespace plugin_test;

namespace {

constexpr const char* kBlurPath = "C:\\Plug-ins\\Blur.8bf";
constexpr const char* kSharpenPath = "C:\\Plug-ins\\Sharpen.8bf";
constexpr const char* kGlowPath = "C:\\Plug-ins\\Glow.8bf";

std::vector<std::string> Names(const CTlPluginListState& list)
{
    std::vector<std::string> names;
    for (const CTlString& name : list.GetUnresolvedNames())
        names.push_back(name.GetData());
    return names;
}

class PluginListState : public ::testing::Test {
protected:
    FakePluginWorld world;
};

TEST_F(PluginListState, SavesItsEntriesBackToBack)
{
    world.Install(kBlurPath, 0x1234, "Blur");
    world.Install(kSharpenPath, 0x5678, "Sharpen");
    CTlPluginListState list;
    list.entries.resize(2);
    ASSERT_TRUE(list.entries[0].SetPlugin(kBlurPath, world.CreateHost()));
    world.lastHost->parameters = {1, 2, 3};
    ASSERT_TRUE(list.entries[1].SetPlugin(kSharpenPath, world.CreateHost()));
    world.lastHost->parameters = {9};
    EXPECT_EQ(SaveWhole(list), Hex(kPluginListStateV1));
    EXPECT_EQ(list.GetSize(), 103);
    EXPECT_EQ(SaveWhole(CTlPluginListState()), Hex(kPluginListStateEmptyV1));
}

TEST_F(PluginListState, LoadsEveryInstalledPlugin)
{
    world.Install(kBlurPath, 0x1234, "Blur");
    world.Install(kSharpenPath, 0x5678, "Sharpen");
    CTlPluginListState list;
    EXPECT_EQ(LoadBytes(list, Hex(kPluginListStateV1)), 103);
    ASSERT_EQ(list.entries.size(), 2u);
    EXPECT_EQ(list.entries[0].GetPluginId(), 0x1234);
    EXPECT_EQ(list.entries[1].GetPluginId(), 0x5678);
    EXPECT_TRUE(list.GetUnresolvedNames().empty());
    EXPECT_FALSE(list.IsDefault());
    EXPECT_EQ(SaveWhole(list), Hex(kPluginListStateV1));
}

TEST_F(PluginListState, AMissingPluginIsNamedAndItsStoredFormIsSavedAgain)
{
    world.Install(kBlurPath, 0x1234, "Blur");
    CTlPluginListState list;
    EXPECT_EQ(LoadBytes(list, Hex(kPluginListStateV1)), 103);
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(list.entries[0].GetPluginId(), 0x1234);
    EXPECT_EQ(Names(list), std::vector<std::string>{"Sharpen"});
    EXPECT_FALSE(list.IsDefault()) << "a kept plug-in is a setting";
    EXPECT_EQ(SaveWhole(list), Hex(kPluginListStateV1));
}

TEST_F(PluginListState, MissingPluginsKeepTheirPlacesAmongTheEntries)
{
    const Bytes golden = Hex(kPluginListStateThreeV1);
    struct Case {
        const char* installed;
        std::vector<std::string> missing;
    };
    for (const Case& c : {Case{"Blur", {"Sharpen", "Glow"}}, Case{"Sharpen", {"Blur", "Glow"}},
                          Case{"Glow", {"Blur", "Sharpen"}}, Case{"", {"Blur", "Sharpen", "Glow"}}}) {
        FakePluginWorld only;
        if (std::string(c.installed) == "Blur")
            only.Install(kBlurPath, 0x1234, "Blur");
        else if (std::string(c.installed) == "Sharpen")
            only.Install(kSharpenPath, 0x5678, "Sharpen");
        else if (std::string(c.installed) == "Glow")
            only.Install(kGlowPath, 0x9ABC, "Glow");
        CTlPluginListState list;
        EXPECT_EQ(LoadBytes(list, golden), 139) << c.installed;
        EXPECT_EQ(Names(list), c.missing) << c.installed;
        EXPECT_EQ(SaveWhole(list), golden) << c.installed;
    }
}

TEST_F(PluginListState, RemovingEntriesKeepsTheMissingPlugins)
{
    world.Install(kBlurPath, 0x1234, "Blur");
    CTlPluginListState list;
    ASSERT_GT(LoadBytes(list, Hex(kPluginListStateV1)), 0);
    list.entries.erase(list.entries.begin());
    EXPECT_TRUE(list.entries.empty());
    Bytes saved = SaveWhole(list);
    const Bytes golden = Hex(kPluginListStateV1);
    // The count, then Sharpen's record as stored.
    EXPECT_EQ(saved.size(), 24u + 40u);
    EXPECT_TRUE(std::equal(saved.begin() + 24, saved.end(), golden.begin() + 24 + 39));
}

TEST_F(PluginListState, IsDefaultWhileNoEntryHoldsAPlugin)
{
    world.Install(kBlurPath, 0x1234, "Blur");
    CTlPluginListState list;
    EXPECT_TRUE(list.IsDefault());
    list.entries.resize(2);
    EXPECT_TRUE(list.IsDefault());
    ASSERT_TRUE(list.entries[1].SetPlugin(kBlurPath, world.CreateHost()));
    EXPECT_FALSE(list.IsDefault());
}

TEST_F(PluginListState, CopiesShareHostsAndReloadingReleasesTheOldOnes)
{
    world.Install(kBlurPath, 0x1234, "Blur");
    world.Install(kSharpenPath, 0x5678, "Sharpen");
    CTlPluginListState list;
    ASSERT_EQ(LoadBytes(list, Hex(kPluginListStateV1)), 103);
    {
        CTlPluginListState copy(list);
        ASSERT_EQ(copy.entries.size(), 2u);
        EXPECT_EQ(copy.entries[0].GetPlugin(), list.entries[0].GetPlugin());
        EXPECT_EQ(static_cast<FakePluginHost*>(list.entries[0].GetPlugin())->GetRefCount(), 2);
    }
    EXPECT_EQ(static_cast<FakePluginHost*>(list.entries[0].GetPlugin())->GetRefCount(), 1);
    EXPECT_EQ(world.hostsDeleted, 0);

    ASSERT_EQ(LoadBytes(list, Hex(kPluginListStateV1)), 103);
    EXPECT_EQ(world.hostsMade, 4);
    EXPECT_EQ(world.hostsDeleted, 2);
    EXPECT_EQ(world.unloads, 2);
}

TEST_F(PluginListState, AssignCopiesThroughTheStoredForm)
{
    world.Install(kBlurPath, 0x1234, "Blur");
    CTlPluginListState source;
    ASSERT_GT(LoadBytes(source, Hex(kPluginListStateV1)), 0);
    CTlPluginListState target;
    target.Assign(source);
    EXPECT_EQ(target.entries.size(), 1u);
    EXPECT_EQ(Names(target), std::vector<std::string>{"Sharpen"});
    EXPECT_EQ(SaveWhole(target), Hex(kPluginListStateV1));
}

} // namespace
