#include "infra/TlString.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>

namespace {

std::string TextOf(const CTlStringBase& s)
{
    return std::string(s.GetData(), static_cast<std::size_t>(s.GetLength()));
}

// A string whose buffer cannot grow beyond a fixed size, as when memory runs out.
class CappedString : public CTlString {
public:
    explicit CappedString(int limit) : m_limit(limit) {}
    using CTlString::operator=;
    char* Allocate(int size) override { return size > m_limit ? nullptr : CTlString::Allocate(size); }

private:
    int m_limit;
};

TEST(TlString, NewStringIsEmptyWithCapacityFour)
{
    CTlString s;
    EXPECT_EQ(4, s.GetCapacity());
    EXPECT_EQ(0, s.GetLength());
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_STREQ("", s.GetData());
    EXPECT_EQ(-1, s.GetCapacityLimit());
}

struct CapacityCase {
    const char* text;
    int capacity;
};

void PrintTo(const CapacityCase& c, std::ostream* os)
{
    *os << '"' << c.text << "\" -> " << c.capacity;
}

class TlStringCapacity : public testing::TestWithParam<CapacityCase> {};

TEST_P(TlStringCapacity, AssignmentGrowsToTextPlusZeroByteAtLeastFour)
{
    CTlString s;
    s = GetParam().text;
    EXPECT_EQ(GetParam().capacity, s.GetCapacity());
    EXPECT_STREQ(GetParam().text, s.GetData());
}

INSTANTIATE_TEST_SUITE_P(Texts, TlStringCapacity,
                         testing::Values(CapacityCase{"", 4}, CapacityCase{"abc", 4}, CapacityCase{"abcd", 5},
                                         CapacityCase{"hello world", 12}));

TEST(TlString, ShorterTextKeepsTheCapacityAndAllItsBytes)
{
    CTlString s("hello world");
    s = "hi";
    EXPECT_EQ(12, s.GetCapacity());
    EXPECT_EQ("hi", TextOf(s));
    EXPECT_EQ('l', s.GetData()[3]); // the old bytes after the new zero byte stay
}

TEST(TlString, CopyTakesTheWholeBufferAlsoAfterTheZeroByte)
{
    CTlString source("hello world");
    source = "hi";
    CTlString copy(source);
    EXPECT_EQ(12, copy.GetCapacity());
    EXPECT_EQ(0, std::memcmp(source.GetData(), copy.GetData(), 12));

    CTlString assigned("x");
    assigned = source;
    EXPECT_EQ("hi", TextOf(assigned));
    EXPECT_NE(source.GetData(), assigned.GetData());
}

TEST(TlString, NullTextIsEmpty)
{
    CTlString s("keep");
    s = static_cast<const char*>(nullptr);
    EXPECT_TRUE(s.IsEmpty());
}

TEST(TlString, AssigningPartOfItselfCopiesOverlappingBytes)
{
    CTlString s("hello");
    s = s.GetData() + 2;
    EXPECT_EQ("llo", TextOf(s));

    s.Append(s.GetData(), 3); // grows, so the source moves with the buffer
    EXPECT_EQ("llollo", TextOf(s));
}

TEST(TlString, LengthIsZeroWhenTheBufferHoldsNoZeroByte)
{
    CTlString s("abc");
    *s.CharAt(3) = 'd'; // fills the last byte of the 4-byte buffer
    EXPECT_EQ(4, s.GetCapacity());
    EXPECT_EQ(0, s.GetLength());
}

TEST(TlString, CharAtReservesTheByteItPointsTo)
{
    CTlString s("abcd"); // capacity 5, byte 4 is the zero byte
    char* past = s.CharAt(5);
    ASSERT_NE(nullptr, past);
    EXPECT_EQ(6, s.GetCapacity());
    EXPECT_EQ(s.GetData() + 5, past);
    EXPECT_EQ("abcd", TextOf(s)); // new bytes are zero, the text is unchanged
    EXPECT_EQ(nullptr, s.CharAt(-1));
}

struct EqualsCase {
    const char* text;
    const char* other;
    int n;
    bool equal;
};

void PrintTo(const EqualsCase& c, std::ostream* os)
{
    *os << '"' << c.text << "\" vs \"" << c.other << "\" n=" << c.n;
}

class TlStringEqualsNoCase : public testing::TestWithParam<EqualsCase> {};

TEST_P(TlStringEqualsNoCase, ComparesWithoutRegardToCase)
{
    const EqualsCase& c = GetParam();
    CTlString s(c.text);
    EXPECT_EQ(c.equal, s.EqualsNoCase(c.other, c.n));
    EXPECT_EQ(c.equal, s.EqualsNoCase(CTlString(c.other), c.n));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TlStringEqualsNoCase,
    testing::Values(EqualsCase{"TALVO sRGB", "talvo", 5, true}, EqualsCase{"TALVO sRGB", "talvo", -1, false},
                    EqualsCase{"TaLvO", "talvo", -1, true}, EqualsCase{"TALV", "talvo", 5, false},
                    EqualsCase{"TALVX", "talvo", 5, false}, EqualsCase{"TALVO", "talv", 5, false},
                    EqualsCase{"abc", "abd", -1, false}, EqualsCase{"", "", -1, true},
                    EqualsCase{"anything", "", 0, true}, EqualsCase{"a[", "A{", -1, false}));

TEST(TlString, EqualsNoCaseRefusesNullText)
{
    CTlString s;
    EXPECT_FALSE(s.EqualsNoCase(static_cast<const char*>(nullptr)));
}

struct MidCase {
    int start;
    int count;
    const char* expected;
};

void PrintTo(const MidCase& c, std::ostream* os)
{
    *os << "start " << c.start << " count " << c.count;
}

class TlStringMid : public testing::TestWithParam<MidCase> {};

TEST_P(TlStringMid, CopiesWithinTheText)
{
    const CTlString s("hello");
    CTlString out("unchanged");
    s.Mid(out, GetParam().start, GetParam().count);
    EXPECT_STREQ(GetParam().expected, out.GetData());
}

INSTANTIATE_TEST_SUITE_P(Ranges, TlStringMid,
                         testing::Values(MidCase{1, 3, "ell"}, MidCase{0, 5, "hello"}, MidCase{2, -1, "llo"},
                                         MidCase{2, 9, "llo"}, MidCase{3, 4, "lo"}, MidCase{5, 2, ""},
                                         MidCase{0, 0, ""}, MidCase{6, 1, "unchanged"},
                                         MidCase{-1, 2, "unchanged"}));

TEST(TlString, MidPastTheEndCopiesOnlyTheTextThatIsThere)
{
    const CTlString s("hello");
    CTlString out;
    s.Mid(out, 3, 4); // start + count beyond the length, count itself within it
    EXPECT_EQ("lo", TextOf(out));
    EXPECT_EQ(4, out.GetCapacity()); // two bytes and the zero byte were stored, no more
}

TEST(TlString, MidIntoItself)
{
    CTlString s("hello");
    s.Mid(s, 1, 3);
    EXPECT_EQ("ell", TextOf(s));
}

TEST(TlString, LeftInBothForms)
{
    const CTlString s("hello");
    EXPECT_STREQ("he", s.Left(2).GetData());
    EXPECT_STREQ("hello", s.Left(-1).GetData());
    CTlString out;
    s.Left(out, 4);
    EXPECT_STREQ("hell", out.GetData());
}

TEST(TlString, LengthPrefixedRoundTrip)
{
    const unsigned char in[] = {3, 'a', 'b', 'c', 'z'};
    CTlString s;
    EXPECT_STREQ("abc", s.SetLengthPrefixed(in));

    unsigned char out[8] = {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE};
    s.GetLengthPrefixed(out);
    EXPECT_EQ(0, std::memcmp(in, out, 4));
    EXPECT_EQ(0xEE, out[4]); // no zero byte after the text
}

TEST(TlString, LengthPrefixedWritesAtMost255Bytes)
{
    const std::string text(300, 'q');
    CTlString s(text.c_str());
    unsigned char out[300];
    std::memset(out, 0xEE, sizeof out);
    s.GetLengthPrefixed(out);
    EXPECT_EQ(255, out[0]);
    EXPECT_EQ('q', out[255]);
    EXPECT_EQ(0xEE, out[256]);
}

TEST(TlString, LengthPrefixedRefusesALengthBeyondTheAvailableBytes)
{
    const unsigned char truncated[] = {9, 'a', 'b'};
    CTlString s("keep");
    EXPECT_EQ(nullptr, s.SetLengthPrefixed(truncated, sizeof truncated));
    EXPECT_EQ("keep", TextOf(s));

    const unsigned char whole[] = {2, 'a', 'b'};
    EXPECT_STREQ("ab", s.SetLengthPrefixed(whole, sizeof whole));
}

TEST(TlString, BufferThatCannotGrowLeavesTheTextUnchanged)
{
    CappedString s(8);
    s = "short";
    s = "much longer than eight";
    EXPECT_EQ("short", TextOf(s));
    EXPECT_FALSE(s.Assign("also too long"));
    EXPECT_EQ(nullptr, s.CharAt(8));
    EXPECT_EQ(nullptr, s.SetLengthPrefixed(reinterpret_cast<const unsigned char*>("\x0Ahelloworld")));
    EXPECT_FALSE(s.Append("1234", 4));
    EXPECT_EQ("short", TextOf(s));

    const CTlString copy(s);
    copy.Mid(s, 0, 2); // shrinking still works
    EXPECT_EQ("sh", TextOf(s));
}

TEST(TlString, AppendAddsAfterTheText)
{
    CTlString s("ab");
    EXPECT_TRUE(s.Append("cdefg", 3));
    EXPECT_EQ("abcde", TextOf(s));
    EXPECT_TRUE(s.Append(nullptr, 0));
    EXPECT_FALSE(s.Append("x", -1));
}

} // namespace
