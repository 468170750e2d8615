// The Qrf tag block: values round-trip; unsound blocks are refused.
#include "PellioTestSupport.h"
#include "pellio/src/QrfTagBlock.h"

#include <functional>

namespace pelliotest {
namespace {

std::vector<PellioTagValue> SampleValues()
{
    return {{258, 1, {12, 0, 0, 0, 0, 0, 0, 0}}, {0x80001, 3, {1, 1, 0, 0}}, {0x80E01, 1, Bytes(37, 9)},
            {0x80E0A, 270, Bytes(20, 4)}, {0x90000, 2, {'h', 'i', 0}}};
}

TEST(QrfTagBlockTest, ValuesRoundTrip)
{
    const std::vector<PellioTagValue> values = SampleValues();
    std::vector<PellioTagValue> back;
    ASSERT_TRUE(Succeeded(QrfDecodeTagBlock(QrfEncodeTagBlock(values), &back)));
    ASSERT_EQ(values.size(), back.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        EXPECT_EQ(values[i].id, back[i].id);
        EXPECT_EQ(values[i].type, back[i].type);
        EXPECT_EQ(values[i].bytes, back[i].bytes);
    }
}

TEST(QrfTagBlockTest, EmptyBlockHoldsNothing)
{
    std::vector<PellioTagValue> back;
    ASSERT_TRUE(Succeeded(QrfDecodeTagBlock(QrfEncodeTagBlock({}), &back)));
    EXPECT_TRUE(back.empty());
}

struct BadBlock {
    const char* name;
    std::function<void(Bytes&)> damage;
};

class QrfTagBlockDamageTest : public ::testing::TestWithParam<BadBlock> {};

void PutWord(Bytes& b, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}

TEST_P(QrfTagBlockDamageTest, IsRefused)
{
    Bytes block = QrfEncodeTagBlock(SampleValues());
    GetParam().damage(block);
    std::vector<PellioTagValue> back;
    EXPECT_EQ(kPellioCorrupt, CodeOf(QrfDecodeTagBlock(block, &back)));
}

// Entries start at byte 12 and take 16 bytes: id, type, length, offset.
INSTANTIATE_TEST_SUITE_P(
    Damages, QrfTagBlockDamageTest,
    ::testing::Values(BadBlock{"short", [](Bytes& b) { b.resize(8); }},
                      BadBlock{"magic", [](Bytes& b) { b[0] = 'X'; }},
                      BadBlock{"version", [](Bytes& b) { PutWord(b, 4, 2); }},
                      BadBlock{"count", [](Bytes& b) { PutWord(b, 8, 1000); }},
                      BadBlock{"length", [](Bytes& b) { PutWord(b, 12 + 8, 0xFFFFFFF0u); }},
                      BadBlock{"offset", [](Bytes& b) { PutWord(b, 12 + 12, 0xFFFFFFF0u); }},
                      BadBlock{"offset into the entries", [](Bytes& b) { PutWord(b, 12 + 12, 4); }},
                      BadBlock{"ids out of order", [](Bytes& b) { PutWord(b, 12 + 16, 1); }},
                      BadBlock{"type 0", [](Bytes& b) { PutWord(b, 12 + 4, 0); }}),
    [](const ::testing::TestParamInfo<BadBlock>& info) { return TestName(info.param.name); });

} // namespace
} // namespace pelliotest
