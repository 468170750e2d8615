// The picture's shooting values for dust analysis: the block's reader, the
// block made from tags and the aperture codes.
#include "DustTestSupport.h"

#include "filters/dust/TlDustShooting.h"

#include <array>
#include <cstring>
#include <functional>

using namespace dust_test;

namespace {

constexpr KelvraTag kDust = KelvraFourCC('d', 'u', 's', 't');

Bytes Block(std::uint32_t version, std::size_t words)
{
    Bytes bytes{'D', 's', 't', 'T'};
    PutWord(bytes, version);
    PutWord(bytes, 12);
    for (std::uint32_t w = 3; w < 15; ++w)
        PutWord(bytes, 1000 + w);
    bytes.resize(words * 4);
    return bytes;
}

TEST(DustShootingTest, ReaderFollowsTheVersionAndKeepsDefaults)
{
    struct Case {
        const char* name;
        Bytes bytes;
        std::uint32_t captureMode, curveId, gain0, toneBlock;
        std::int32_t sensitivity;
    };
    const Case cases[] = {
        {"version 4, whole", Block(4, 15), 1003, 1004, 1008, 1014, 1007},
        {"version 4, header only", Block(4, 3), 0, 0, 0x1000000, 2, 200},
        {"version 4, to word 8", Block(4, 9), 1003, 1004, 1008, 2, 1007},
        // Without words 4 to 7 the later words follow word 3 at once, and
        // word 14 is not read.
        {"version 2", Block(2, 15), 1003, 0, 1004, 2, 200},
        {"version 3", Block(3, 15), 1003, 0, 1004, 1010, 200},
        {"version 1", Block(1, 15), 0, 0, 1003, 2, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TlDustShooting shooting;
        ExpectOk(ReadDustShooting(c.bytes.data(), c.bytes.size(), &shooting));
        EXPECT_EQ(c.captureMode, shooting.captureMode);
        EXPECT_EQ(c.curveId, shooting.curveId);
        EXPECT_EQ(c.gain0, shooting.gains[0]);
        EXPECT_EQ(c.toneBlock, shooting.toneBlock);
        EXPECT_EQ(c.sensitivity, shooting.sensitivity);
    }
    TlDustShooting shooting;
    Bytes badMagic = WithWord(Block(4, 15), 0, 0x54747345);
    ExpectError(ReadDustShooting(badMagic.data(), badMagic.size(), &shooting), 1003, kDust);
    Bytes shortHeader = WithWord(Block(4, 15), 8, 11);
    ExpectError(ReadDustShooting(shortHeader.data(), shortHeader.size(), &shooting), 1003, kDust);
}

TEST(DustShootingTest, WrittenBlockReadsBack)
{
    TlDustShooting written;
    written.curveId = 1025;
    written.aperture = 72;
    written.lens = 35;
    written.sensitivity = -2;
    written.toneBlock = 5;
    unsigned char block[kDustShootingBytes];
    WriteDustShooting(written, block);
    TlDustShooting read;
    ExpectOk(ReadDustShooting(block, sizeof block, &read));
    EXPECT_EQ(1025u, read.curveId);
    EXPECT_EQ(72u, read.aperture);
    EXPECT_EQ(35u, read.lens);
    EXPECT_EQ(-2, read.sensitivity);
    EXPECT_EQ(5u, read.toneBlock);
}

TEST(DustShootingTest, ApertureCodes)
{
    const std::pair<double, std::uint32_t> cases[] = {{22, 108}, {8, 72}, {29, 116}, {1.1, 4},
                                                      {5.6, 60}, {2, 24},  {3.5, 44}};
    for (const auto& c : cases)
        EXPECT_EQ(c.second, DustApertureCode(c.first)) << "f/" << c.first;
}

TEST(DustShootingTest, BuiltFromTagsAndRefusals)
{
    {
        TagsHolder t;
        PutPictureTags(t, 1025, 8.0, 50);
        t.PutValue(0x80002, kKelvraTagTypeUShorts2, std::array<std::uint16_t, 2>{0, 400});
        t.PutValue(0x8000C, kKelvraTagTypeDoubles, std::array<double, 4>{2.0, 1.5, 1.0, 1.0});
        t.Put(41730, kKelvraTagTypeBytes, Bytes{0, 2, 0, 2, 1, 0, 2, 1});
        TlDustShooting shooting;
        ExpectOk(BuildDustShooting(t.tags, &shooting));
        EXPECT_EQ(3u, shooting.captureMode);
        EXPECT_EQ(1025u, shooting.curveId);
        EXPECT_EQ(72u, shooting.aperture);
        EXPECT_EQ(50u, shooting.lens);
        EXPECT_EQ(400, shooting.sensitivity);
        EXPECT_EQ(0x2000000u, shooting.gains[0]);
        EXPECT_EQ(0x1800000u, shooting.gains[1]);
        EXPECT_EQ(0x01000201u, shooting.cfaCodes);
    }
    const struct {
        const char* name;
        std::function<void(TagsHolder&)> spoil;
    } refusals[] = {
        {"pattern of 3 by 2", [](TagsHolder& t) { t.Put(41730, kKelvraTagTypeBytes, Bytes{0, 3, 0, 2, 1, 0, 2, 1, 0, 2}); }},
        {"unknown curve id", [](TagsHolder& t) { t.PutValue(0x80001, kKelvraTagTypeLong, std::int32_t(1027)); }},
        {"lens value 0",
         [](TagsHolder& t) {
             Bytes lens(31, 0);
             std::memcpy(lens.data(), "0101", 4);
             t.Put(0x80098, kKelvraTagTypeLensData, lens);
         }},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(r.name);
        TagsHolder t;
        PutPictureTags(t, 1025, 8.0, 50);
        r.spoil(t);
        TlDustShooting shooting;
        ExpectError(BuildDustShooting(t.tags, &shooting), 1013, kDust);
    }
}

} // namespace
