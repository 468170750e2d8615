// The default channels of each kind of curve container, and emptying one.
#include "settings/curves/TlLut.h"
#include "settings/curves/TlLutGroup.h"
#include "settings/curves/TlLutGroupDefaults.h"

#include <gtest/gtest.h>

namespace {

const TlLutColour kGrey = {128, 128, 128};

bool Same(const TlLutColour& a, const TlLutColour& b)
{
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

TEST(LutGroupDefaultsTest, EachKindGetsItsChannelsInPlaceOfWhatWasThere)
{
    const struct {
        int kind;
        int count;
        TlLutColour lastEnd; // end colour of the last channel
    } cases[] = {
        {kTlLutGroupToneCurves, 4, {0, 0, 255}},
        {kTlLutGroupBrightnessContrast, 4, {0, 0, 0}},
        {kTlLutGroupLch, 1, {255, 255, 255}},
    };
    for (const auto& c : cases) {
        CTlLutGroup group;
        for (int id = 1; id <= 5; ++id)
            ASSERT_NE(group.AddLut(id, kGrey, kGrey, kGrey), nullptr);
        group.SetCurrentElement(3);
        ASSERT_TRUE(TlSetDefaultChannels(group, c.kind)) << c.kind;
        ASSERT_EQ(group.GetCount(), c.count) << c.kind;
        EXPECT_EQ(group.GetCurrentElement(), 0) << c.kind;
        for (int i = 0; i < c.count; ++i) {
            const auto* lut = dynamic_cast<const CTlLut*>(group.GetAt(i));
            ASSERT_NE(lut, nullptr);
            EXPECT_EQ(lut->GetElementId(), i) << c.kind;
            EXPECT_EQ(lut->GetOwner(), &group) << c.kind;
        }
        const auto* last = static_cast<const CTlLut*>(group.GetAt(c.count - 1));
        EXPECT_TRUE(Same(last->GetColours()[2], c.lastEnd)) << c.kind;
        EXPECT_TRUE(group.IsDefault()) << c.kind;
    }
}

TEST(LutGroupDefaultsTest, AnotherKindLeavesTheContainerAlone)
{
    CTlLutGroup group;
    ASSERT_NE(group.AddLut(1, kGrey, kGrey, kGrey), nullptr);
    EXPECT_FALSE(TlSetDefaultChannels(group, 4));
    EXPECT_FALSE(TlSetDefaultChannels(group, 0));
    ASSERT_EQ(group.GetCount(), 2);
    EXPECT_TRUE(Same(static_cast<const CTlLut*>(group.GetAt(1))->GetColours()[0], kGrey));
}

// A loaded container rebuilt with its channels keeps the user's contrast.
TEST(LutGroupDefaultsTest, ContrastsAndKindStay)
{
    CTlLutGroup group;
    group.SetKind(kTlLutGroupBrightnessContrast);
    group.SetContrast(0.75);
    group.SetSnapshotContrast(-0.5);
    ASSERT_TRUE(TlSetDefaultChannels(group, kTlLutGroupBrightnessContrast));
    EXPECT_EQ(group.GetContrast(), 0.75);
    EXPECT_EQ(group.GetSnapshotContrast(), -0.5);
    EXPECT_EQ(group.GetKind(), kTlLutGroupBrightnessContrast);
}

TEST(LutGroupDefaultsTest, RemoveAllEmptiesTheContainer)
{
    CTlLutGroup group;
    ASSERT_NE(group.AddLut(1, kGrey, kGrey, kGrey), nullptr);
    group.RemoveAll();
    EXPECT_EQ(group.GetCount(), 0);
    EXPECT_EQ(group.GetAt(-1), nullptr);
    EXPECT_EQ(group.GetAt(0), nullptr);
    // The first element added afterwards is the current one.
    ASSERT_NE(group.AddLut(0, kGrey, kGrey, kGrey), nullptr);
    EXPECT_EQ(group.GetCurrentElement(), 0);
}

} // namespace
