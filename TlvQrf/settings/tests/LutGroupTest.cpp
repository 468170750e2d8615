// The curve container: its master, appending, lookup, copies, comparison,
// reset and what it reports as modified.
#include "BumpCurveTestSupport.h"
#include "LutTestSupport.h"
#include "settings/curves/TlLinearCurve.h"
#include "settings/curves/TlLutGroup.h"
#include "settings/curves/TlPointCurve.h"

#include <gtest/gtest.h>

using namespace lut_test;

namespace {

const TlLutColour kBlack = {0, 0, 0};
const TlLutColour kRed = {255, 0, 0};

CTlLut& Master(CTlLutGroup& group)
{
    return *static_cast<CTlLut*>(group.GetAt(0));
}

// Master plus red, green and blue channels (ids 1-3).
void AddChannels(CTlLutGroup& group)
{
    for (int id = 1; id <= 3; ++id)
        ASSERT_NE(nullptr, group.AddLut(id, kRed, kBlack, kRed));
}

TEST(LutGroup, NewContainerHoldsADefaultMaster)
{
    CTlLutGroup group;
    ASSERT_EQ(1, group.GetCount());
    auto* master = dynamic_cast<CTlLut*>(group.GetAt(0));
    ASSERT_NE(nullptr, master);
    EXPECT_EQ(kTlElementMaster, master->GetElementId());
    EXPECT_EQ(&group, master->GetOwner());
    EXPECT_EQ(0, master->GetColours()[2].red);
    EXPECT_EQ(kTlLutGroupToneCurves, group.GetKind());
    EXPECT_EQ(0, group.GetCurrentElement());
    EXPECT_EQ(0.0, group.GetContrast());
    EXPECT_EQ(0.0, group.GetSnapshotContrast());
    EXPECT_TRUE(group.IsDefault());
}

TEST(LutGroup, AppendedElementsGoToTheEndWithTheirIds)
{
    CTlLutGroup group;
    CTlLut* lut = group.AddLut(1, kRed, kBlack, kRed);
    CTlLinearCurve* chroma = group.AddLinearCurve(2, nullptr);
    CTlPointCurve* hue = group.AddPointCurve(3);
    ASSERT_EQ(4, group.GetCount());
    EXPECT_EQ(lut, group.GetAt(1));
    EXPECT_EQ(chroma, group.GetAt(2));
    EXPECT_EQ(hue, group.GetAt(3));
    EXPECT_EQ(2, chroma->GetElementId());
    EXPECT_EQ(&group, hue->GetOwner());
    EXPECT_EQ(255, lut->GetColours()[0].red);
    EXPECT_EQ(0, group.GetCurrentElement()) << "a current element stays";
}

TEST(LutGroup, LinearCurveAddedFromASourceTakesItsCalibration)
{
    CTlLutGroup group;
    CTlLinearCurve* source = group.AddLinearCurve(1, nullptr);
    ASSERT_NE(nullptr, source);
    const tlstate_test::Points calibration = {{0.2, 0.5, 0.1}, {0.7, -0.25, 0.2}};
    const Bytes file = tlstate_test::CalibrationBytes(calibration, 0.125);
    ASSERT_EQ(int(file.size()), source->ParseCalibration(file.data(), file.size()));
    tlstate_test::LoadBytes(*source, tlstate_test::LinearCurveBlock({{0.4, 0.3, 0.2}}, -0.5));

    CTlLinearCurve* added = group.AddLinearCurve(2, source);
    ASSERT_NE(nullptr, added);
    EXPECT_EQ(added, group.GetAt(2));
    EXPECT_TRUE(tlstate_test::SamePoints(calibration, added->GetSecondList()));
    EXPECT_NE(source->GetSecondList().data(), added->GetSecondList().data()) << "a copy of its own";
    EXPECT_EQ(0.125, added->GetSecondOffset());
    EXPECT_EQ(0, added->GetCount()) << "the edited curve starts empty";
    EXPECT_EQ(0.0, added->GetFirstOffset());
    EXPECT_EQ(2, added->GetElementId());
}

TEST(LutGroup, AppendingWithoutACurrentElementMakesTheNewOneCurrent)
{
    CTlLutGroup group;
    group.SetCurrentElement(-1);
    group.AddPointCurve(5);
    EXPECT_EQ(1, group.GetCurrentElement());
    group.AddPointCurve(6);
    EXPECT_EQ(1, group.GetCurrentElement());
}

struct SLookupCase {
    const char* name;
    int current;
    int argument;
    int expectedIndex; // -1: null
};

TEST(LutGroup, GetAtAndFind)
{
    CTlLutGroup group;
    AddChannels(group);
    group.GetAt(2)->SetElementId(7);
    const SLookupCase at[] = {
        {"first", 0, 0, 0}, {"last", 0, 3, 3}, {"past the end", 0, 4, -1}, {"below", 0, -2, -1},
        {"current", 2, -1, 2}, {"no current", -1, -1, -1}, {"current past the end", 9, -1, -1},
    };
    for (const SLookupCase& c : at) {
        group.SetCurrentElement(c.current);
        CTlCurveBase* expected = c.expectedIndex < 0 ? nullptr : group.GetAt(c.expectedIndex);
        group.SetCurrentElement(c.current);
        EXPECT_EQ(expected, group.GetAt(c.argument)) << c.name;
    }
    const SLookupCase find[] = {
        {"master", 0, 0, 0}, {"by id", 0, 7, 2}, {"unknown id", 0, 2, -1}, {"current", 3, -1, 3},
        {"no current", -1, -1, -1},
    };
    for (const SLookupCase& c : find) {
        group.SetCurrentElement(0);
        CTlCurveBase* expected = c.expectedIndex < 0 ? nullptr : group.GetAt(c.expectedIndex);
        group.SetCurrentElement(c.current);
        EXPECT_EQ(expected, group.Find(c.argument)) << c.name;
    }
}

TEST(LutGroup, RemoveChannelsKeepsTheMaster)
{
    CTlLutGroup group;
    AddChannels(group);
    CTlCurveBase* master = group.GetAt(0);
    group.SetCurrentElement(3);
    group.RemoveChannels();
    EXPECT_EQ(1, group.GetCount());
    EXPECT_EQ(master, group.GetAt(0));
    EXPECT_EQ(0, group.GetCurrentElement());
}

TEST(LutGroup, RemoveAllDropsTheMasterAndTheNextElementBecomesCurrent)
{
    CTlLutGroup group;
    AddChannels(group);
    group.SetCurrentElement(2);
    group.RemoveAll();
    EXPECT_EQ(0, group.GetCount());
    EXPECT_EQ(-1, group.GetCurrentElement());
    EXPECT_EQ(nullptr, group.GetAt(-1));
    CTlLut* master = group.AddLut(0, kRed, kBlack, kRed);
    ASSERT_NE(nullptr, master);
    EXPECT_EQ(master, group.GetAt(-1));
}

TEST(LutGroup, ModifiedFlagsAreTheOrOfEveryElement)
{
    CTlLutGroup group;
    AddChannels(group);
    static_cast<CTlLut*>(group.GetAt(2))->AddPoint(0.5, 0.6);
    static_cast<CTlLut*>(group.GetAt(3))->SetClampedParam(2.0);
    EXPECT_EQ(0x23, group.GetModifiedFlags(~0));
    EXPECT_EQ(0x20, group.GetModifiedFlags(0x20));
    EXPECT_FALSE(group.IsDefault());
    group.Reset(false);
    EXPECT_TRUE(group.IsDefault());
}

TEST(LutGroup, ResetClearsContrastAndBrightnessOnlyWhenAsked)
{
    CTlLutGroup group;
    AddChannels(group);
    group.SetContrast(0.5);
    Master(group).SetBrightness(0.5);
    static_cast<CTlLut*>(group.GetAt(1))->AddPoint(0.3, 0.6);
    group.Reset(false);
    EXPECT_EQ(0.5, group.GetContrast());
    EXPECT_EQ(0.5, Master(group).GetBrightness());
    EXPECT_EQ(2, group.GetAt(1)->GetCount());
    EXPECT_EQ(0x01, group.GetModifiedFlags(~0));
    group.Reset(true);
    EXPECT_EQ(0.0, group.GetContrast());
    EXPECT_EQ(0.0, Master(group).GetBrightness());
    EXPECT_TRUE(group.IsDefault());
}

TEST(LutGroup, AssignCopiesDeeplyAndOwnsTheCopies)
{
    CTlLutGroup source;
    AddChannels(source);
    source.AddPointCurve(4);
    source.SetContrast(0.25);
    source.SetSnapshotContrast(-0.5);
    source.SetCurrentElement(2);
    source.SetKind(kTlLutGroupBrightnessContrast);
    static_cast<CTlLut*>(source.GetAt(1))->AddPoint(0.5, 0.9);

    CTlLutGroup target;
    target.Assign(source);
    ASSERT_EQ(5, target.GetCount());
    EXPECT_TRUE(target.IsEqual(source));
    EXPECT_EQ(2, target.GetCurrentElement());
    EXPECT_EQ(-0.5, target.GetSnapshotContrast());
    EXPECT_EQ(kTlLutGroupToneCurves, target.GetKind()) << "the kind is the owner's to set";
    for (int i = 0; i < target.GetCount(); ++i) {
        EXPECT_NE(source.GetAt(i), target.GetAt(i)) << i;
        EXPECT_EQ(&target, target.GetAt(i)->GetOwner()) << i;
    }
    EXPECT_TRUE(target.GetAt(4)->IsPointCurve());
    static_cast<CTlLut*>(source.GetAt(1))->AddPoint(0.2, 0.1);
    EXPECT_FALSE(target.IsEqual(source));

    CTlCurveBase* before = target.GetAt(0);
    target.Assign(target);
    EXPECT_EQ(before, target.GetAt(0)) << "assigning itself changes nothing";
}

TEST(LutGroup, IsEqualComparesContrastCountsAndEachElementByClass)
{
    CTlLutGroup a;
    CTlLutGroup b;
    EXPECT_TRUE(a.IsEqual(b));
    b.SetContrast(0.1);
    EXPECT_FALSE(a.IsEqual(b));
    b.SetContrast(0.0);
    a.SetKind(kTlLutGroupLch);
    a.SetCurrentElement(-1);
    EXPECT_TRUE(a.IsEqual(b)) << "kind and current element take no part";
    a.AddLut(1, kRed, kBlack, kRed);
    EXPECT_FALSE(a.IsEqual(b));
    b.AddLut(1, kBlack, kBlack, kBlack);
    EXPECT_TRUE(a.IsEqual(b)) << "colours take no part";
    a.AddPointCurve(2);
    b.AddLinearCurve(2, nullptr);
    EXPECT_FALSE(a.IsEqual(b)) << "different classes at one place";
    Master(a).SetBrightness(1.0);
    EXPECT_FALSE(a.IsEqual(b));
}

} // namespace
