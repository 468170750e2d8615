// The stored forms of the tone curve: the written version 3, the read-only
// version 2 and oldest form, passed-over versions, partial writes and
// corrupt blocks.
#include "LutTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace lut_test;
using namespace lut_stored_test;
using tlstate_test::LoadBytes;
using tlstate_test::SaveWhole;

namespace {

const TlLutColour kBlack = {0, 0, 0};

CTlLut NewLut()
{
    return CTlLut(nullptr, kTlElementUnread, kBlack, kBlack, kBlack);
}

// The values every golden red channel holds (output levels aside).
void ExpectRedChannel(const CTlLut& lut)
{
    EXPECT_EQ(1, lut.GetElementId());
    EXPECT_EQ(255, lut.GetColours()[0].red);
    EXPECT_EQ(0, lut.GetColours()[1].red);
    EXPECT_EQ(255, lut.GetColours()[2].red);
    const TlLutParams& p = lut.GetParams();
    EXPECT_EQ(0.125, p.black);
    EXPECT_EQ(0.875, p.white);
    EXPECT_EQ(2.0, p.gamma);
    ASSERT_EQ(3, lut.GetCount());
    EXPECT_EQ(0.5, p.points[1].x);
    EXPECT_EQ(0.75, p.points[1].y);
    EXPECT_EQ(0.5, p.brightness);
    EXPECT_EQ(-1, lut.GetCurrentPoint());
    EXPECT_TRUE(lut.IsChanged());
    EXPECT_TRUE(p.slopesStale);
}

struct SFormCase {
    const char* name;
    const Bytes* block;
    int result;
    double outputLow;
    double outputHigh;
    const Bytes* writtenBack;
};

TEST(LutStoredForm, EveryStoredVersionReadsAndIsWrittenAsVersion3)
{
    const SFormCase cases[] = {
        {"version 3", &kLutStoredV3, 159, 0.25, 0.75, &kLutStoredV3},
        {"version 2", &kLutStoredV2, 143, 0.0, 1.0, &kLutStoredV3DefaultOutput},
        {"oldest", &kLutStoredOldest, 140, 0.0, 1.0, &kLutStoredV3DefaultOutput},
    };
    for (const SFormCase& c : cases) {
        ASSERT_EQ(std::size_t(c.result), c.block->size()) << c.name;
        CTlLut lut = NewLut();
        LoadFields(lut, {{kAtOutputLow, 0.4}, {kAtOutputHigh, 0.6}});
        EXPECT_EQ(c.result, LoadBytes(lut, *c.block)) << c.name;
        ExpectRedChannel(lut);
        EXPECT_EQ(c.outputLow, lut.GetParams().outputLow) << c.name;
        EXPECT_EQ(c.outputHigh, lut.GetParams().outputHigh) << c.name;
        EXPECT_EQ(*c.writtenBack, SaveWhole(lut)) << c.name;
    }
}

TEST(LutStoredForm, NewElementStoresItsTwoPoints)
{
    CTlLut lut(nullptr, 0, kBlack, kBlack, kBlack);
    EXPECT_EQ(143, lut.GetSize());
    EXPECT_EQ(kLutStoredNewMaster, SaveWhole(lut));
}

TEST(LutStoredForm, LoadKeepsWhatIsNotStored)
{
    CTlLut lut = NewLut();
    const std::uint32_t bins[] = {4, 5};
    lut.SetHistogram(bins, 2);
    lut.SetMaxPoints(4);
    lut.Snapshot();
    ASSERT_EQ(159, LoadBytes(lut, kLutStoredV3));
    EXPECT_EQ(std::vector<std::uint32_t>({4, 5}), lut.GetHistogram());
    EXPECT_EQ(2u, lut.GetSnapshotParams().points.size()) << "the snapshot is not touched";
    EXPECT_EQ(2, lut.AddPoint(0.6, 0.9));
    EXPECT_EQ(0, lut.AddPoint(0.7, 0.9)) << "the maximum stays";
}

TEST(LutStoredForm, SaveWritesOnlyWholeFields)
{
    CTlLut lut = NewLut();
    ASSERT_EQ(159, LoadBytes(lut, kLutStoredV3));
    // Sizes and how many leading bytes of the golden block they hold.
    const std::pair<int, std::size_t> cases[] = {{0, 0},    {15, 0},   {16, 16},  {19, 16},
                                                 {20, 20},  {22, 21},  {23, 23},  {58, 55},
                                                 {59, 59},  {110, 103}, {158, 151}, {159, 159}};
    for (const auto& c : cases) {
        Bytes buffer(200, 0x5A);
        EXPECT_EQ(159, lut.Save(buffer.data(), c.first)) << c.first;
        for (std::size_t i = 0; i < buffer.size(); ++i) {
            const unsigned char expected = i < c.second ? kLutStoredV3[i] : 0x5A;
            ASSERT_EQ(expected, buffer[i]) << "size " << c.first << ", byte " << i;
        }
    }
    EXPECT_EQ(159, lut.Save(nullptr, 500));
}

struct SVersionCase {
    unsigned char low;
    unsigned char high;
    int result;
    bool readsFields; // false: passed over
};

TEST(LutStoredForm, VersionsFourTo199ArePassedOverAndOthersReadAsTheOldestForm)
{
    // The oldest block's red colour starts FF 00 00: bytes 21 and 22 read as
    // a version of 0. Other values there give other versions.
    const SVersionCase cases[] = {
        {0x00, 0x00, 140, true}, {0x01, 0x00, 140, true}, {0x04, 0x00, 23, false},
        {0xC7, 0x00, 23, false}, {0xC8, 0x00, 140, true}, {0xFF, 0xFF, 140, true},
    };
    for (const SVersionCase& c : cases) {
        Bytes block = kLutStoredOldest;
        block[21] = c.low;
        block[22] = c.high;
        CTlLut lut = NewLut();
        EXPECT_EQ(c.result, LoadBytes(lut, block)) << int(c.low);
        EXPECT_EQ(1, lut.GetElementId()) << "the header is always read";
        EXPECT_EQ(c.readsFields ? 3 : 2, lut.GetCount()) << int(c.low);
        const std::int32_t red = 0xFF | c.low << 8 | c.high << 16;
        EXPECT_EQ(c.readsFields ? red : 0, lut.GetColours()[0].red) << int(c.low);
    }
}

TEST(LutStoredForm, FewerThanTwoStoredPointsLoadAsTheIdentityPair)
{
    for (const std::int32_t count : {0, 1}) {
        Bytes block = kLutStoredV3;
        block.erase(block.begin() + kAtPoints + 16 * count, block.begin() + kAtPoints + 48);
        std::memcpy(block.data() + kAtCount, &count, sizeof count);
        CTlLut lut = NewLut();
        EXPECT_EQ(111 + 16 * count, LoadBytes(lut, block)) << count;
        ASSERT_EQ(2, lut.GetCount()) << count;
        EXPECT_EQ(0, lut.GetModifiedFlags(0x02)) << count;
        EXPECT_EQ(0.5, lut.GetBrightness()) << "the fields after the points are read";
    }
}

TEST(LutStoredForm, GammaIsKeptWithinItsLimitsAndNaNLevelsTakeTheirDefaults)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    CTlLut lut = NewLut();
    LoadFields(lut, {{kAtGamma, 100.0}, {kAtBlack, nan}, {kAtOutputHigh, nan}});
    EXPECT_EQ(20.0, lut.GetParams().gamma);
    EXPECT_EQ(0.0, lut.GetParams().black);
    EXPECT_EQ(1.0, lut.GetParams().outputHigh);
    LoadFields(lut, {{kAtGamma, nan}});
    EXPECT_EQ(1.0, lut.GetParams().gamma);
    LoadFields(lut, {{kAtGamma, 0.0}});
    EXPECT_EQ(0.05, lut.GetParams().gamma);
}

struct SCorruptCase {
    const char* name;
    void (*make)(Bytes& block);
};

void PutCount(Bytes& block, std::int32_t count)
{
    std::memcpy(block.data() + kAtCount, &count, sizeof count);
}

const SCorruptCase kCorruptLuts[] = {
    {"wrong id", [](Bytes& b) { b[3] = 0x02; }},
    {"container id", [](Bytes& b) { b[3] = 0x00; }},
    {"shorter than the id", [](Bytes& b) { b.resize(15); }},
    {"no element id", [](Bytes& b) { b.resize(19); }},
    {"header only", [](Bytes& b) { b.resize(20); }},
    {"cut in the version", [](Bytes& b) { b.resize(22); }},
    {"cut in the colours", [](Bytes& b) { b.resize(40); }},
    {"cut in the levels", [](Bytes& b) { b.resize(90); }},
    {"cut in the count", [](Bytes& b) { b.resize(101); }},
    {"cut in the points", [](Bytes& b) { b.resize(130); }},
    {"cut in the brightness", [](Bytes& b) { b.resize(158); }},
    {"count one too many", [](Bytes& b) { PutCount(b, 4); }},
    {"negative count", [](Bytes& b) { PutCount(b, -1); }},
    {"huge count", [](Bytes& b) { PutCount(b, 0x7FFFFFFF); }},
    {"count that overflows 32 bits of bytes", [](Bytes& b) { PutCount(b, 0x10000001); }},
    {"version 2 cut", [](Bytes& b) { b = kLutStoredV2; b.pop_back(); }},
    {"oldest cut", [](Bytes& b) { b = kLutStoredOldest; b.pop_back(); }},
};

TEST(LutStoredForm, CorruptBlocksAreRefusedAndChangeNothing)
{
    for (const SCorruptCase& c : kCorruptLuts) {
        Bytes block = kLutStoredV3;
        c.make(block);
        CTlLut lut(nullptr, 2, kBlack, kBlack, kBlack);
        lut.AddPoint(0.5, 0.25);
        lut.SetCurrentPoint(1);
        const Bytes before = SaveWhole(lut);
        EXPECT_EQ(0, LoadBytes(lut, block)) << c.name;
        EXPECT_EQ(before, SaveWhole(lut)) << c.name;
        EXPECT_EQ(1, lut.GetCurrentPoint()) << c.name;
    }
    CTlLut lut = NewLut();
    EXPECT_EQ(0, lut.Load(nullptr, 159));
}

} // namespace
