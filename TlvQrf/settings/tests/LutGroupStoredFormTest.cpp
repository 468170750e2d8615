// The stored forms of the curve container: version 4 written, versions 1 to
// 3 read, element reuse on a same-shape load, and corrupt blocks that
// leave the container as it was.
#include "LutTestSupport.h"
#include "settings/curves/TlLutGroup.h"

#include <gtest/gtest.h>

using namespace lut_test;
using namespace lut_stored_test;
using tlstate_test::LoadBytes;
using tlstate_test::PutU32;
using tlstate_test::SaveWhole;

namespace {

const TlLutColour kBlack = {0, 0, 0};
const TlLutColour kRed = {255, 0, 0};

CTlLut& LutAt(CTlLutGroup& group, int index)
{
    return *static_cast<CTlLut*>(group.GetAt(index));
}

TEST(LutGroupStoredForm, NewContainerSavesItsHeaderAndMaster)
{
    CTlLutGroup group;
    EXPECT_EQ(176, group.GetSize());
    Bytes expected = {TL_LG_GROUP_ID, 0xFF, 0x04, 0x9E, 0x00, 0x00, 0x00, 0x01, 0x01, 0x00, TL_LG_ZERO};
    expected.insert(expected.end(), kLutStoredNewMaster.begin(), kLutStoredNewMaster.end());
    EXPECT_EQ(expected, SaveWhole(group));
}

TEST(LutGroupStoredForm, Version4ReadsAndWritesBack)
{
    CTlLutGroup group;
    ASSERT_EQ(335, LoadBytes(group, kLutGroupStoredV4));
    EXPECT_EQ(kTlLutGroupBrightnessContrast, group.GetKind());
    ASSERT_EQ(2, group.GetCount());
    EXPECT_EQ(1, group.GetCurrentElement());
    EXPECT_EQ(0.5, group.GetContrast());
    EXPECT_EQ(0, group.GetAt(0)->GetElementId());
    CTlLut& red = LutAt(group, 1);
    EXPECT_EQ(1, red.GetElementId());
    EXPECT_EQ(&group, red.GetOwner());
    EXPECT_EQ(0.25, red.GetParams().outputLow);
    EXPECT_EQ(3, red.GetCount());
    EXPECT_EQ(kLutGroupStoredV4, SaveWhole(group));
}

struct SVersionCase {
    const char* name;
    const Bytes* block;
    int result;
    const Bytes* writtenBack;
};

TEST(LutGroupStoredForm, OlderVersionsReadAndAreWrittenAsVersion4)
{
    const SVersionCase cases[] = {
        {"version 3", &kLutGroupStoredV3, 335, &kLutGroupStoredV4},
        {"version 2", &kLutGroupStoredV2, 299, &kLutGroupStoredV4FromOlder},
        {"version 2, fields after the marker", &kLutGroupStoredV2Packed, 298, &kLutGroupStoredV4FromOlder},
        {"version 1", &kLutGroupStoredV1, 290, &kLutGroupStoredV4FromOlder},
    };
    for (const SVersionCase& c : cases) {
        ASSERT_EQ(std::size_t(c.result), c.block->size()) << c.name;
        CTlLutGroup group;
        EXPECT_EQ(c.result, LoadBytes(group, *c.block)) << c.name;
        EXPECT_EQ(*c.writtenBack, SaveWhole(group)) << c.name;
    }
}

TEST(LutGroupStoredForm, OlderVersionsChangingOnlyBrightnessOrContrastAreOfKind2)
{
    CTlLutGroup group;
    ASSERT_EQ(29 + 127, LoadBytes(group, kLutGroupStoredV2BrightnessOnly));
    EXPECT_EQ(kTlLutGroupBrightnessContrast, group.GetKind());
    EXPECT_EQ(0.5, LutAt(group, 0).GetBrightness());

    CTlLutGroup curves;
    curves.SetKind(kTlLutGroupLch);
    ASSERT_EQ(299, LoadBytes(curves, kLutGroupStoredV2));
    EXPECT_EQ(kTlLutGroupLch, curves.GetKind()) << "a curve change keeps the kind as it was";
}

TEST(LutGroupStoredForm, Version3AndUpTakeTheStoredKind)
{
    CTlLutGroup group;
    group.SetKind(kTlLutGroupLch);
    Bytes block = kLutGroupStoredV3;
    block[22] = kTlLutGroupToneCurves;
    ASSERT_EQ(335, LoadBytes(group, block));
    EXPECT_EQ(kTlLutGroupToneCurves, group.GetKind());
}

TEST(LutGroupStoredForm, SameShapeKeepsTheElementObjects)
{
    CTlLutGroup group;
    for (int id = 1; id <= 3; ++id)
        group.AddLut(id, kRed, kBlack, kRed);
    LutAt(group, 2).AddPoint(0.4, 0.7);
    group.SetContrast(0.75);
    const Bytes stored = SaveWhole(group);

    std::vector<CTlCurveBase*> pointers;
    for (int i = 0; i < group.GetCount(); ++i)
        pointers.push_back(group.GetAt(i));
    const std::uint32_t bins[] = {1, 2, 3};
    LutAt(group, 1).SetHistogram(bins, 3);
    LutAt(group, 2).Reset(true, true);
    LutAt(group, 3).SetClampedParam(4.0);
    group.SetContrast(0.0);

    ASSERT_EQ(int(stored.size()), LoadBytes(group, stored));
    for (int i = 0; i < group.GetCount(); ++i)
        EXPECT_EQ(pointers[static_cast<std::size_t>(i)], group.GetAt(i)) << i;
    EXPECT_EQ(stored, SaveWhole(group));
    EXPECT_EQ(3u, LutAt(group, 1).GetHistogram().size()) << "what is not stored stays";
}

TEST(LutGroupStoredForm, SameShapeElementsEndAsANewContainersWould)
{
    // The channel stored with a version that is passed over: a new
    // container's channel keeps its defaults, and so does a kept one.
    Bytes block = kLutGroupStoredV4;
    block[33 + 143 + 21] = 0x04;
    CTlLutGroup fresh;
    ASSERT_EQ(33 + 143 + 23, LoadBytes(fresh, block));

    CTlLutGroup group;
    ASSERT_EQ(335, LoadBytes(group, kLutGroupStoredV4));
    CTlCurveBase* channel = group.GetAt(1);
    ASSERT_EQ(33 + 143 + 23, LoadBytes(group, block));
    EXPECT_EQ(channel, group.GetAt(1));
    EXPECT_EQ(2, channel->GetCount());
    EXPECT_EQ(1, channel->GetElementId());
    EXPECT_TRUE(group.IsEqual(fresh));
}

TEST(LutGroupStoredForm, VersionsAbove4ReadWithTheVersion4Layout)
{
    Bytes block = kLutGroupStoredV4;
    block[17] = 0x05;
    CTlLutGroup group;
    ASSERT_EQ(335, LoadBytes(group, block));
    EXPECT_EQ(kLutGroupStoredV4, SaveWhole(group));
}

TEST(LutGroupStoredForm, OtherShapeReplacesTheElements)
{
    CTlLutGroup group;
    group.AddLut(1, kRed, kBlack, kRed);
    group.AddPointCurve(2);
    ASSERT_EQ(335, LoadBytes(group, kLutGroupStoredV4));
    EXPECT_EQ(2, group.GetCount());
    EXPECT_EQ(kLutGroupStoredV4, SaveWhole(group));
    EXPECT_FALSE(group.GetAt(1)->IsPointCurve());
}

TEST(LutGroupStoredForm, CurrentElementOutsideTheListBecomesTheFirst)
{
    Bytes block = kLutGroupStoredV4;
    block[24] = 0xFF;
    CTlLutGroup group;
    ASSERT_EQ(335, LoadBytes(group, block));
    EXPECT_EQ(0, group.GetCurrentElement());
}

TEST(LutGroupStoredForm, SaveIntoAShortBufferWritesWholeItemsAndCountsThem)
{
    CTlLutGroup group;
    ASSERT_EQ(335, LoadBytes(group, kLutGroupStoredV4));
    // size, bytes written, length word (-1: none)
    const struct {
        int size;
        std::size_t written;
        long long length;
    } cases[] = {{16, 16, -1}, {21, 18, -1}, {22, 22, 4}, {33, 33, 15}, {175, 33, 15}, {176, 176, 158}, {334, 176, 158}};
    for (const auto& c : cases) {
        Bytes buffer(400, 0x5A);
        EXPECT_EQ(335, group.Save(buffer.data(), c.size)) << c.size;
        for (std::size_t i = 0; i < c.written; ++i) {
            if (i >= 18 && i < 22)
                continue;
            ASSERT_EQ(kLutGroupStoredV4[i], buffer[i]) << "size " << c.size << ", byte " << i;
        }
        EXPECT_EQ(0x5A, buffer[c.written]) << c.size;
        if (c.length >= 0) {
            std::uint32_t length = 0;
            std::memcpy(&length, buffer.data() + 18, sizeof length);
            EXPECT_EQ(std::uint32_t(c.length), length) << c.size;
        }
    }
}

struct SCorruptCase {
    const char* name;
    void (*make)(Bytes& block);
};

const SCorruptCase kCorruptGroups[] = {
    {"wrong id", [](Bytes& b) { b[0] ^= 0x01; }},
    {"a tone curve's id", [](Bytes& b) { b[3] = 0x03; }},
    {"shorter than the id", [](Bytes& b) { b.resize(15); }},
    {"id only", [](Bytes& b) { b.resize(16); }},
    {"id and marker", [](Bytes& b) { b.resize(17); }},
    {"cut in the header", [](Bytes& b) { b.resize(30); }},
    {"header only", [](Bytes& b) { b.resize(33); }},
    {"cut in the first element's id", [](Bytes& b) { b.resize(40); }},
    {"cut in the last element", [](Bytes& b) { b.pop_back(); }},
    {"length word beyond the block", [](Bytes& b) { PutU32(b, 18, std::uint32_t(b.size() - 17)); }},
    {"count one too many", [](Bytes& b) { b[23] = 3; }},
    {"count at its largest", [](Bytes& b) { b[23] = 0xFF; }},
    {"no elements", [](Bytes& b) { b[23] = 0; }},
    {"unknown element id", [](Bytes& b) { b[33 + 143 + 3] = 0x05; }},
    {"unknown first element id", [](Bytes& b) { b[33 + 3] = 0x01; }},
    {"marker with version 0", [](Bytes& b) { b[17] = 0x00; }},
    {"marker with version 1", [](Bytes& b) { b[17] = 0x01; }},
    {"version 2 with neither reading", [](Bytes& b) { b[17] = 0x02; }},
    {"corrupt channel", [](Bytes& b) { PutU32(b, 33 + 143 + kAtCount, 0x7FFFFFFF); }},
};

TEST(LutGroupStoredForm, CorruptBlocksFailWholeAndLeaveTheContainerAsItWas)
{
    for (const SCorruptCase& c : kCorruptGroups) {
        Bytes block = kLutGroupStoredV4;
        c.make(block);
        CTlLutGroup group;
        group.AddLut(1, kRed, kBlack, kRed);
        group.AddLut(2, kRed, kBlack, kRed);
        LutAt(group, 2).AddPoint(0.5, 0.1);
        group.SetKind(kTlLutGroupLch);
        group.SetContrast(-0.25);
        group.SetCurrentElement(2);
        const Bytes before = SaveWhole(group);
        CTlCurveBase* master = group.GetAt(0);

        EXPECT_EQ(0, LoadBytes(group, block)) << c.name;
        EXPECT_EQ(before, SaveWhole(group)) << c.name;
        EXPECT_EQ(kTlLutGroupLch, group.GetKind()) << c.name;
        EXPECT_EQ(-0.25, group.GetContrast()) << c.name;
        EXPECT_EQ(master, group.GetAt(0)) << c.name;
    }
    CTlLutGroup group;
    EXPECT_EQ(0, group.Load(nullptr, 335));
    EXPECT_EQ(1, group.GetCount());
}

TEST(LutGroupStoredForm, Version2CutOrCorruptFailsUnderBothReadings)
{
    for (const Bytes* golden : {&kLutGroupStoredV2, &kLutGroupStoredV2Packed}) {
        for (const std::size_t size : {std::size_t(18), std::size_t(28), std::size_t(40), golden->size() - 1}) {
            Bytes block(golden->begin(), golden->begin() + static_cast<std::ptrdiff_t>(size));
            CTlLutGroup group;
            EXPECT_EQ(0, LoadBytes(group, block)) << size;
            EXPECT_EQ(1, group.GetCount());
        }
    }
}

} // namespace
