// The LCH set of a curve container (kind 3: master, lightness, chroma by
// hue, hue) with its bump curves in their stored forms: the hue and chroma
// curves of older records change places, chroma curves stored before
// version 4 are replaced by empty ones, and a same-shape load keeps the
// bump-curve objects.
#include "LutStoredGoldens.h"
#include "StateTestSupport.h"
#include "settings/curves/TlLinearCurve.h"
#include "settings/curves/TlLutGroup.h"
#include "settings/curves/TlPointCurve.h"

#include <gtest/gtest.h>

using namespace lut_stored_test;
using tlstate_test::LoadBytes;
using tlstate_test::SaveWhole;

namespace {

#define TL_LCH_POINT_ID 0x9d, 0xdc, 0x7d, 0x02, 0x65, 0xd4, 0x11, 0xd1, 0x91, 0x94, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00
#define TL_LCH_LINEAR_ID 0x9d, 0xdc, 0x7d, 0x04, 0x65, 0xd4, 0x11, 0xd1, 0x91, 0x94, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00

// Hue curve, version 2: one point (0.5, 0.25, 0.125), offset 0, scale 1.
// 39 + 24 bytes.
#define TL_LCH_HUE(id)                                                                                        \
    TL_LCH_POINT_ID, TL_LG_INT32(id), 0xFF, 0x02, 0x00, TL_LG_INT32(0x01), TL_LG_DOUBLE(0xE0, 0x3F),           \
        TL_LG_DOUBLE(0xD0, 0x3F), TL_LG_DOUBLE(0xC0, 0x3F), TL_LG_ZERO, TL_LG_INT32(0x01)
// Chroma curve, version 1: one point (0.25, 0.5, 0.25), offset 0, the
// reserved byte. 33 + 24 bytes.
#define TL_LCH_CHROMA(id)                                                                                     \
    TL_LCH_LINEAR_ID, TL_LG_INT32(id), 0x01, 0x00, 0x01, 0x00, TL_LG_DOUBLE(0xD0, 0x3F), TL_LG_DOUBLE(0xE0, 0x3F), \
        TL_LG_DOUBLE(0xD0, 0x3F), TL_LG_ZERO, 0x00

// Kind 3, four elements, current 0, contrast 0: 33 + 143 + 159 + 57 + 63 =
// 455 bytes, length word 437.
#define TL_LCH_HEADER(version) TL_LG_GROUP_ID, 0xFF, version, 0xB5, 0x01, 0x00, 0x00, 0x03, 0x04, 0x00, TL_LG_ZERO
#define TL_LCH_LUTS TL_LG_MASTER_V3(TL_LG_ZERO), TL_LG_RED_V3

const Bytes kLchStoredV4 = {TL_LCH_HEADER(0x04), TL_LCH_LUTS, TL_LCH_CHROMA(0x02), TL_LCH_HUE(0x03)};
// The order of older records: hue before chroma.
const Bytes kLchStoredV4HueFirst = {TL_LCH_HEADER(0x04), TL_LCH_LUTS, TL_LCH_HUE(0x02), TL_LCH_CHROMA(0x03)};
const Bytes kLchStoredV3HueFirst = {TL_LCH_HEADER(0x03), TL_LCH_LUTS, TL_LCH_HUE(0x02), TL_LCH_CHROMA(0x03)};
const Bytes kLchStoredV3 = {TL_LCH_HEADER(0x03), TL_LCH_LUTS, TL_LCH_CHROMA(0x02), TL_LCH_HUE(0x03)};

CTlLinearCurve* Chroma(CTlLutGroup& group)
{
    return dynamic_cast<CTlLinearCurve*>(group.GetAt(2));
}

CTlPointCurve* Hue(CTlLutGroup& group)
{
    return dynamic_cast<CTlPointCurve*>(group.GetAt(3));
}

void ExpectStoredHue(CTlLutGroup& group)
{
    CTlPointCurve* hue = Hue(group);
    ASSERT_NE(nullptr, hue);
    EXPECT_EQ(3, hue->GetElementId());
    ASSERT_EQ(1, hue->GetCount());
    EXPECT_EQ(0.25, hue->GetPoints()[0].y);
    EXPECT_EQ(Hue(group), group.Find(3));
}

TEST(LutGroupLch, Version4ReadsAndWritesBack)
{
    ASSERT_EQ(455u, kLchStoredV4.size());
    CTlLutGroup group;
    ASSERT_EQ(455, LoadBytes(group, kLchStoredV4));
    EXPECT_EQ(kTlLutGroupLch, group.GetKind());
    ASSERT_NE(nullptr, Chroma(group));
    EXPECT_EQ(2, Chroma(group)->GetElementId());
    EXPECT_EQ(1, Chroma(group)->GetCount());
    ExpectStoredHue(group);
    EXPECT_EQ(kLchStoredV4, SaveWhole(group));
}

TEST(LutGroupLch, HueBeforeChromaChangePlaces)
{
    CTlLutGroup group;
    ASSERT_EQ(455, LoadBytes(group, kLchStoredV4HueFirst));
    ASSERT_NE(nullptr, Chroma(group));
    EXPECT_EQ(2, Chroma(group)->GetElementId());
    ASSERT_EQ(1, Chroma(group)->GetCount());
    EXPECT_EQ(0.5, Chroma(group)->GetFirstList()[0].y);
    ExpectStoredHue(group);
    EXPECT_EQ(kLchStoredV4, SaveWhole(group));
}

TEST(LutGroupLch, Version3ChromaCurveIsReplacedByAnEmptyOne)
{
    for (const Bytes* block : {&kLchStoredV3HueFirst, &kLchStoredV3}) {
        CTlLutGroup group;
        ASSERT_EQ(455, LoadBytes(group, *block));
        ASSERT_NE(nullptr, Chroma(group));
        EXPECT_EQ(2, Chroma(group)->GetElementId()) << "found by its id";
        EXPECT_EQ(0, Chroma(group)->GetCount());
        EXPECT_EQ(Chroma(group), group.Find(2));
        ExpectStoredHue(group);
    }
}

TEST(LutGroupLch, OnlyTheLchSetIsAdapted)
{
    CTlLutGroup group;
    Bytes block = kLchStoredV3HueFirst;
    block[22] = kTlLutGroupToneCurves;
    ASSERT_EQ(455, LoadBytes(group, block));
    EXPECT_TRUE(group.GetAt(2)->IsPointCurve());
    EXPECT_EQ(1, group.GetAt(3)->GetCount());
}

TEST(LutGroupLch, SameShapeKeepsTheBumpCurveObjects)
{
    CTlLutGroup group;
    ASSERT_EQ(455, LoadBytes(group, kLchStoredV4));
    CTlLinearCurve* chroma = Chroma(group);
    CTlPointCurve* hue = Hue(group);
    hue->Reset(true, true);
    chroma->Reset(true, false);
    ASSERT_EQ(455, LoadBytes(group, kLchStoredV4HueFirst));
    EXPECT_EQ(chroma, Chroma(group));
    EXPECT_EQ(hue, Hue(group));
    EXPECT_EQ(kLchStoredV4, SaveWhole(group));
}

TEST(LutGroupLch, Version3IntoTheSameShapeEmptiesTheChromaCurveItKeeps)
{
    CTlLutGroup group;
    ASSERT_EQ(455, LoadBytes(group, kLchStoredV4));
    CTlLinearCurve* chroma = Chroma(group);
    ASSERT_EQ(1, chroma->GetCount());
    ASSERT_EQ(455, LoadBytes(group, kLchStoredV3HueFirst));
    EXPECT_EQ(chroma, Chroma(group));
    EXPECT_EQ(0, chroma->GetCount()) << "not the previous record's curve";
    EXPECT_EQ(2, chroma->GetElementId());
    ExpectStoredHue(group);
}

TEST(LutGroupLch, ContainerWhoseFirstElementIsNoToneCurveIsRefused)
{
    const Bytes block = {TL_LG_GROUP_ID, 0xFF, 0x04, 0x3C, 0x00, 0x00, 0x00, 0x03, 0x01, 0x00, TL_LG_ZERO,
                         TL_LCH_HUE(0x00)};
    CTlLutGroup group;
    CTlCurveBase* master = group.GetAt(0);
    EXPECT_EQ(0, LoadBytes(group, block));
    EXPECT_EQ(master, group.GetAt(0));
}

} // namespace
