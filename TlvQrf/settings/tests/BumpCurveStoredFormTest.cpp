// The stored forms of the bump curves: the forms written, the older form
// and the passed-over versions that are read, partial writes, and corrupt
// blocks that must be refused without reading past them.
#include "BumpCurveGoldens.h"
#include "BumpCurveTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>

using namespace tlstate_test;

namespace {

const Points kGoldenPoints = {{0.25, 0.5, 0.125}, {0.75, -0.25, 0.0625}};
const Points kOtherPoints = {{0.5, 0.1, 0.2}};

TEST(BumpCurveStoredForm, HueCurveWritesVersion2)
{
    CTlPointCurve curve(nullptr, 5);
    EXPECT_EQ(87, LoadBytes(curve, Hex(kPointCurveV2)));
    EXPECT_EQ(3, curve.GetElementId());
    EXPECT_TRUE(SamePoints(kGoldenPoints, curve.GetPoints()));
    EXPECT_EQ(-0.5, curve.GetOffset());
    EXPECT_EQ(2, curve.GetScale());
    EXPECT_EQ(0, curve.GetCurrentPoint());
    EXPECT_TRUE(curve.IsChanged());

    EXPECT_EQ(87, curve.GetSize());
    EXPECT_EQ(Hex(kPointCurveV2), SaveWhole(curve));
    EXPECT_EQ(39, CTlPointCurve(nullptr, 3).GetSize());
}

TEST(BumpCurveStoredForm, HueCurveReadsTheOlderFormAndWritesItAnew)
{
    CTlPointCurve curve(nullptr, 5);
    EXPECT_EQ(84, LoadBytes(curve, Hex(kPointCurveOlder)));
    EXPECT_TRUE(SamePoints(kGoldenPoints, curve.GetPoints()));
    EXPECT_EQ(-0.5, curve.GetOffset());
    EXPECT_EQ(2, curve.GetScale());
    EXPECT_EQ(Hex(kPointCurveV2), SaveWhole(curve));
}

// Behind the marker, versions 0, 1 and 200 and up are the older form: the
// count then starts with the marker byte, so it is large.
TEST(BumpCurveStoredForm, MarkedOlderVersionsAreReadAsTheOlderForm)
{
    for (std::uint16_t version : {0, 1, 200}) {
        const std::int32_t count = 0xFF | version << 8;
        Bytes block = ElementHeader(kTlIdPointCurve, 4);
        Append<std::uint8_t>(block, 0xFF);
        Append(block, version);
        Append<std::uint8_t>(block, 0);
        AppendPoints(block, Points(count, TlBumpPoint{0.5, 0.25, 0.125}));
        Append(block, 0.75);
        Append<std::int32_t>(block, 3);

        CTlPointCurve curve(nullptr, 3);
        EXPECT_EQ(int(block.size()), LoadBytes(curve, block)) << version;
        EXPECT_EQ(count, curve.GetCount()) << version;
        EXPECT_EQ(0.75, curve.GetOffset()) << version;
    }
}

TEST(BumpCurveStoredForm, HueCurvePassesOverNewerVersions)
{
    for (std::uint16_t version : {3, 4, 199}) {
        CTlPointCurve curve = MakePointCurve(kOtherPoints, 0.25, 3);
        Bytes block = Hex(kPointCurveV2);
        PutU16(block, 21, version);
        PutU32(block, 16, 9);
        EXPECT_EQ(23, LoadBytes(curve, block)) << version;
        EXPECT_TRUE(SamePoints(kOtherPoints, curve.GetPoints())) << version;
        EXPECT_EQ(0.25, curve.GetOffset()) << version;
        EXPECT_EQ(3, curve.GetScale()) << version;
        EXPECT_EQ(9, curve.GetElementId()) << "the header is read";
        EXPECT_EQ(-1, curve.GetCurrentPoint());
    }
}

TEST(BumpCurveStoredForm, ChromaCurveWritesVersion1)
{
    CTlLinearCurve curve(nullptr, 7);
    EXPECT_EQ(81, LoadBytes(curve, Hex(kLinearCurveV1)));
    EXPECT_EQ(2, curve.GetElementId());
    EXPECT_TRUE(SamePoints(kGoldenPoints, curve.GetFirstList()));
    EXPECT_TRUE(curve.GetSecondList().empty());
    EXPECT_EQ(-0.5, curve.GetFirstOffset());
    EXPECT_EQ(0, curve.GetCurrentPoint());

    EXPECT_EQ(81, curve.GetSize());
    EXPECT_EQ(Hex(kLinearCurveV1), SaveWhole(curve));
    EXPECT_EQ(Hex(kLinearCurveEmptyV1), SaveWhole(CTlLinearCurve(nullptr, 2)));
}

TEST(BumpCurveStoredForm, ChromaCurveKeepsItsCalibrationOutOfTheStoredForm)
{
    CTlLinearCurve curve = MakeLinearCurve(kGoldenPoints, -0.5, kOtherPoints, 0.375);
    EXPECT_EQ(Hex(kLinearCurveV1), SaveWhole(curve));
    EXPECT_EQ(33, LoadBytes(curve, Hex(kLinearCurveEmptyV1)));
    EXPECT_EQ(0, curve.GetCount());
    EXPECT_EQ(-1, curve.GetCurrentPoint()) << "no point to act on";
    EXPECT_TRUE(SamePoints(kOtherPoints, curve.GetSecondList()));
    EXPECT_EQ(0.375, curve.GetSecondOffset());
}

TEST(BumpCurveStoredForm, ChromaCurvePassesOverOtherVersions)
{
    const Bytes golden = Hex(kLinearCurveV1);
    std::vector<Bytes> blocks;
    for (std::uint16_t version : {0, 2, 0xFFFF}) {
        blocks.push_back(golden);
        PutU16(blocks.back(), 20, version);
    }
    blocks.emplace_back(golden.begin(), golden.begin() + 22); // version not held with a byte to spare
    blocks.emplace_back(golden.begin(), golden.begin() + 16);
    for (const Bytes& block : blocks) {
        CTlLinearCurve curve = MakeLinearCurve(kOtherPoints, 0.25);
        EXPECT_EQ(23, LoadBytes(curve, block)) << block.size();
        EXPECT_TRUE(SamePoints(kOtherPoints, curve.GetFirstList())) << block.size();
        EXPECT_EQ(0.25, curve.GetFirstOffset());
    }
}

// How many bytes of the golden form a Save into `size` bytes writes.
struct PartialWrite {
    int size;
    int written;
};

void ExpectPartialWrites(ITlState& curve, const Bytes& golden, const std::vector<PartialWrite>& cases)
{
    for (const PartialWrite& c : cases) {
        Bytes buffer(golden.size() + 4, 0xEE);
        EXPECT_EQ(int(golden.size()), curve.Save(buffer.data(), c.size)) << c.size;
        for (std::size_t i = 0; i < buffer.size(); ++i) {
            const int expected = int(i) < c.written ? golden[i] : 0xEE;
            ASSERT_EQ(expected, buffer[i]) << "byte " << i << " of a save into " << c.size;
        }
    }
    EXPECT_EQ(int(golden.size()), curve.Save(nullptr, 1000));
}

TEST(BumpCurveStoredForm, HueCurveWritesWholeFieldsThatEndWithinTheSize)
{
    CTlPointCurve curve(nullptr, 3);
    LoadBytes(curve, Hex(kPointCurveV2));
    ExpectPartialWrites(curve, Hex(kPointCurveV2),
                        {{0, 0}, {15, 0}, {16, 16}, {19, 16}, {20, 20}, {21, 21}, {22, 21}, {23, 23}, {26, 23},
                         {27, 27}, {34, 27}, {35, 35}, {82, 75}, {83, 83}, {86, 83}, {87, 87}});
}

TEST(BumpCurveStoredForm, ChromaCurveWritesFieldsOnlyWithAByteToSpare)
{
    CTlLinearCurve curve(nullptr, 2);
    LoadBytes(curve, Hex(kLinearCurveV1));
    ExpectPartialWrites(curve, Hex(kLinearCurveV1),
                        {{16, 16}, {20, 20}, {22, 20}, {23, 22}, {24, 22}, {25, 24}, {32, 24}, {33, 32},
                         {72, 64}, {73, 72}, {80, 72}, {81, 81}});
}

TEST(BumpCurveStoredForm, MissingTrailingFieldsTakeTheirDefaults)
{
    // Cut after the points: offset 0, scale 1; the result is the nominal size.
    const Bytes hueBlock = Hex(kPointCurveV2);
    CTlPointCurve hue = MakePointCurve(kOtherPoints, 0.25, 3);
    EXPECT_EQ(87, hue.Load(hueBlock.data(), 75));
    EXPECT_TRUE(SamePoints(kGoldenPoints, hue.GetPoints()));
    EXPECT_EQ(0.0, hue.GetOffset());
    EXPECT_EQ(1, hue.GetScale());

    const Bytes chromaBlock = Hex(kLinearCurveV1);
    CTlLinearCurve chroma = MakeLinearCurve(kOtherPoints, 0.25);
    EXPECT_EQ(81, chroma.Load(chromaBlock.data(), 80));
    EXPECT_TRUE(SamePoints(kGoldenPoints, chroma.GetFirstList()));
    EXPECT_EQ(0.0, chroma.GetFirstOffset()) << "the offset needs a byte to spare";

    // The id alone: an empty hue curve, the element id kept.
    CTlPointCurve fromId = MakePointCurve(kOtherPoints, 0.25, 3);
    EXPECT_EQ(36, fromId.Load(hueBlock.data(), 16));
    EXPECT_EQ(0, fromId.GetCount());
    EXPECT_EQ(3, fromId.GetElementId());
}

TEST(BumpCurveStoredForm, StoredScaleIsKeptWithinTheEditorsRange)
{
    const std::pair<std::int32_t, int> cases[] = {{0, 1}, {-5, 1}, {1, 1}, {3, 3}, {4, 3}, {INT32_MAX, 3}};
    for (const auto& c : cases)
        EXPECT_EQ(c.second, MakePointCurve(kGoldenPoints, 0, c.first).GetScale()) << c.first;
}

// A corrupt block is refused and the curve keeps what it held.
struct Corruption {
    const char* name;
    Bytes block;
};

template <typename Curve>
void ExpectRefused(Curve curve, const std::vector<Corruption>& corruptions)
{
    const Bytes before = SaveWhole(curve);
    for (const Corruption& c : corruptions) {
        Curve loaded(curve);
        EXPECT_EQ(0, LoadBytes(loaded, c.block)) << c.name;
        EXPECT_EQ(before, SaveWhole(loaded)) << c.name;
        EXPECT_EQ(curve.GetElementId(), loaded.GetElementId()) << c.name;
    }
}

Bytes With(Bytes block, std::size_t offset, std::uint32_t value, int width = 4)
{
    if (width == 2)
        PutU16(block, offset, std::uint16_t(value));
    else
        PutU32(block, offset, value);
    return block;
}

Bytes Cut(const char* golden, std::size_t size)
{
    Bytes block = Hex(golden);
    block.resize(size);
    return block;
}

TEST(BumpCurveStoredForm, CorruptHueCurvesAreRefused)
{
    Bytes wrongId = Hex(kPointCurveV2);
    wrongId[3] = 0x04;
    ExpectRefused(MakePointCurve(kOtherPoints, 0.25, 3),
                  {{"wrong id", wrongId},
                   {"shorter than an id", Cut(kPointCurveV2, 15)},
                   {"cut within the points", Cut(kPointCurveV2, 74)},
                   {"cut within the older form's points", Cut(kPointCurveOlder, 40)},
                   {"one point more than held", With(Hex(kPointCurveV2), 23, 3)},
                   {"largest count", With(Hex(kPointCurveV2), 23, INT32_MAX)},
                   {"count that overflows 32 bits", With(Hex(kPointCurveV2), 23, 0x0AAAAAAB)},
                   {"negative count", With(Hex(kPointCurveV2), 23, 0xFFFFFFFF)},
                   {"older form's count beyond the block", With(Hex(kPointCurveOlder), 20, 0x7FFFFFF0)}});
}

TEST(BumpCurveStoredForm, CorruptChromaCurvesAreRefused)
{
    ExpectRefused(MakeLinearCurve(kOtherPoints, 0.25),
                  {{"shorter than an id", Cut(kLinearCurveV1, 15)},
                   {"cut within the points", Cut(kLinearCurveV1, 60)},
                   {"the last point without a byte to spare", Cut(kLinearCurveV1, 72)},
                   {"one point more than held", With(Hex(kLinearCurveV1), 22, 3, 2)},
                   {"largest count", With(Hex(kLinearCurveV1), 22, 0xFFFF, 2)}});
}

} // namespace
