// Which tag values travel as TIFF and Exif fields: only those that come back
// from the field bit for bit.
#include "PellioTestSupport.h"
#include "pellio/src/TiffTagRules.h"

#include <cstring>

namespace pelliotest {
namespace {

Bytes DoubleBytes(double value)
{
    return ValueBytes(value);
}

Bytes WordBytes(std::uint32_t value)
{
    return ValueBytes(value);
}

Bytes Shorts3(std::int16_t a, std::int16_t b, std::int16_t c)
{
    Bytes bytes(6);
    std::memcpy(bytes.data(), &a, 2);
    std::memcpy(bytes.data() + 2, &b, 2);
    std::memcpy(bytes.data() + 4, &c, 2);
    return bytes;
}

struct RuleCase {
    const char* name;
    std::uint32_t id;
    Bytes value;
    bool asField;
    std::uint16_t fieldType;
};

std::ostream& operator<<(std::ostream& out, const RuleCase& c)
{
    return out << c.name;
}

class TiffTagRulesTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(TiffTagRulesTest, EncodesOnlyExactValues)
{
    const TiffTagRule* rule = TiffFindRule(GetParam().id);
    ASSERT_NE(nullptr, rule);
    TiffField field;
    ASSERT_EQ(GetParam().asField, TiffEncodeTag(*rule, GetParam().value, &field));
    if (!GetParam().asField)
        return;
    EXPECT_EQ(GetParam().fieldType, field.type);
    Bytes back;
    ASSERT_TRUE(TiffDecodeTag(*rule, field, TiffOrder::Little, &back));
    EXPECT_EQ(GetParam().value, back);
}

INSTANTIATE_TEST_SUITE_P(
    Values, TiffTagRulesTest,
    ::testing::Values(RuleCase{"text", 305, TextBytes("Talvo"), true, kTiffAscii},
                      RuleCase{"text with an inner zero", 305, Bytes{'a', 0, 'b', 0}, false, 0},
                      RuleCase{"profile bytes", 34675, Bytes(300, 7), true, kTiffUndefined},
                      RuleCase{"ISO as SHORT", 34855, WordBytes(1600), true, kTiffShort},
                      RuleCase{"ISO beyond SHORT", 34855, WordBytes(70000), false, 0},
                      RuleCase{"f-number in tenths", 33437, DoubleBytes(5.6), true, kTiffRational},
                      RuleCase{"exposure of 1/60", 33434, DoubleBytes(1.0 / 60), true, kTiffRational},
                      RuleCase{"focal length without a short ratio", 37386, DoubleBytes(35.123456789), false, 0},
                      RuleCase{"negative f-number", 33437, DoubleBytes(-2.0), false, 0},
                      RuleCase{"exposure bias", 37380, Shorts3(0, -2, 3), true, kTiffSRational},
                      RuleCase{"exposure bias with a first word", 37380, Shorts3(1, -2, 3), false, 0},
                      RuleCase{"white point pairs", 318, Bytes(16, 3), true, kTiffRational},
                      RuleCase{"white point of odd length", 318, Bytes(12, 3), false, 0}));

TEST(TiffTagRulesTest, PrivateIdsHaveNoRule)
{
    EXPECT_EQ(nullptr, TiffFindRule(0x80001));
    EXPECT_EQ(nullptr, TiffFindRule(258)); // the structural field
}

TEST(TiffTagRulesTest, ReadsBigEndianFields)
{
    TiffField iso{34855, kTiffShort, 1, {0x06, 0x40}};
    TiffField fnumber{33437, kTiffRational, 1, {0, 0, 0, 28, 0, 0, 0, 5}};
    Bytes value;
    ASSERT_TRUE(TiffDecodeTag(*TiffFindRule(34855), iso, TiffOrder::Big, &value));
    EXPECT_EQ(WordBytes(1600), value);
    ASSERT_TRUE(TiffDecodeTag(*TiffFindRule(33437), fnumber, TiffOrder::Big, &value));
    EXPECT_EQ(DoubleBytes(5.6), value);
}

TEST(TiffTagRulesTest, FieldsOfAnotherFormArePassedOver)
{
    TiffField textAsShort{305, kTiffShort, 1, {1, 0}};
    TiffField zeroDenominator{33437, kTiffRational, 1, {1, 0, 0, 0, 0, 0, 0, 0}};
    Bytes value;
    EXPECT_FALSE(TiffDecodeTag(*TiffFindRule(305), textAsShort, TiffOrder::Little, &value));
    EXPECT_FALSE(TiffDecodeTag(*TiffFindRule(33437), zeroDenominator, TiffOrder::Little, &value));
}

} // namespace
} // namespace pelliotest
