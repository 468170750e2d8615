#include "serialize/TlAsciiReader.h"
#include "serialize/TlAsciiWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <sstream>
#include <streambuf>

namespace {

using Bytes = std::vector<unsigned char>;
using namespace std::string_literals;

// A text reader over a fresh stream holding `text`.
class AsciiReaderTest : public ::testing::Test {
protected:
    ITlReader& Over(const std::string& text)
    {
        m_in.clear();
        m_in.str(text);
        m_reader.reset(new CTlAsciiReader(m_in));
        return *m_reader;
    }

    std::string Rest() { return std::string(std::istreambuf_iterator<char>(m_in), {}); }

    std::istringstream m_in;
    std::unique_ptr<CTlAsciiReader> m_reader;
};

TEST(AsciiSerializer, EveryKindRoundTripsInTheTaskFileFormat)
{
    const char raw[] = {'r', 'a', 'w', '\0', '\x01'};
    const Bytes vector = {0, 'v', 0xFF};
    std::ostringstream out;
    CTlAsciiWriter writer(out);
    EXPECT_TRUE(writer.WriteULong("ModuleID", 4000000000ul));
    EXPECT_TRUE(writer.WriteInt("AlbumID_UL", -123));
    EXPECT_TRUE(writer.WriteString("UserName", "Jane Doe"));
    EXPECT_TRUE(writer.WriteDouble("ItemRotation", 1234567.0));
    EXPECT_TRUE(writer.WriteDouble("Small", 0.5));
    EXPECT_TRUE(writer.WriteBool("RememberPW", true));
    EXPECT_TRUE(writer.WriteBool("ShouldInclude", false));
    EXPECT_TRUE(writer.WriteBytes("Raw", raw, sizeof raw));
    EXPECT_TRUE(writer.WriteByteVector("Vector", vector));
    EXPECT_TRUE(writer.WriteCString("Caption", "A caption"));
    EXPECT_EQ("ModuleID=4000000000\nAlbumID_UL=-123\nUserName=Jane Doe\nItemRotation=1.23457e+06\n"
              "Small=0.5\nRememberPW=1\nShouldInclude=0\nRaw=raw\0\x01\nVector=\0v\xFF\n"
              "Caption=A caption\n"s,
              out.str());

    std::istringstream in(out.str());
    CTlAsciiReader reader(in);
    unsigned long moduleId = 0;
    int album = 0;
    std::string user;
    double rotation = 0, small = 0;
    bool remember = false, include = true;
    Bytes rawBack, vectorBack;
    char caption[32];
    EXPECT_TRUE(reader.ReadULong("ModuleID", &moduleId, 0));
    EXPECT_TRUE(reader.ReadInt("AlbumID_UL", &album, 0));
    EXPECT_TRUE(reader.ReadString("UserName", &user));
    EXPECT_TRUE(reader.ReadDouble("ItemRotation", &rotation, 0));
    EXPECT_TRUE(reader.ReadDouble("Small", &small, 0));
    EXPECT_TRUE(reader.ReadBool("RememberPW", &remember, false));
    EXPECT_TRUE(reader.ReadBool("ShouldInclude", &include, true));
    EXPECT_TRUE(reader.ReadByteVector("Raw", &rawBack));
    EXPECT_TRUE(reader.ReadByteVector("Vector", &vectorBack));
    EXPECT_TRUE(reader.ReadCharBuffer("Caption", caption, sizeof caption));
    EXPECT_EQ(4000000000ul, moduleId);
    EXPECT_EQ(-123, album);
    EXPECT_EQ("Jane Doe", user);
    EXPECT_DOUBLE_EQ(1234570.0, rotation); // six significant digits
    EXPECT_DOUBLE_EQ(0.5, small);
    EXPECT_TRUE(remember);
    EXPECT_FALSE(include);
    EXPECT_EQ(Bytes(raw, raw + sizeof raw), rawBack);
    EXPECT_EQ(vector, vectorBack);
    EXPECT_STREQ("A caption", caption);
}

TEST(AsciiWriter, NullCStringWritesAnEmptyValue)
{
    std::ostringstream out;
    CTlAsciiWriter writer(out);
    EXPECT_TRUE(writer.WriteCString("Caption", nullptr));
    EXPECT_EQ("Caption=\n", out.str());
}

// A stream buffer that refuses every character.
class RefusingBuffer : public std::streambuf {
protected:
    int_type overflow(int_type) override { return traits_type::eof(); }
};

TEST(AsciiWriter, OnlyByteWritesReportAFailingStreamAndNothingIsThrown)
{
    RefusingBuffer refusing;
    std::ostream broken(&refusing);
    broken.exceptions(std::ios::badbit | std::ios::failbit);
    CTlAsciiWriter writer(broken);
    EXPECT_FALSE(writer.WriteBytes("Raw", "x", 1));
    EXPECT_FALSE(writer.WriteByteVector("Vector", Bytes{1}));
    EXPECT_TRUE(writer.WriteInt("Count", 1));
    EXPECT_TRUE(writer.WriteString("Name", "x"));
    EXPECT_FALSE(writer.WriteBytes("Raw", nullptr, 3));
}

TEST_F(AsciiReaderTest, KeyOutOfOrderAnswersFalseAfterConsumingTheKey)
{
    ITlReader& reader = Over("Description=A quiet lake\nCaption=Lake\n");
    std::string caption = "untouched";
    EXPECT_FALSE(reader.ReadString("Caption", &caption));
    EXPECT_EQ("untouched", caption);
    EXPECT_EQ("A quiet lake\nCaption=Lake\n", Rest());
}

TEST_F(AsciiReaderTest, KeyOutOfOrderStoresTheDefaultOfNumbersAndBool)
{
    const std::string other = "Height=480\n";
    unsigned long width = 0;
    int album = 0;
    double rotation = 0;
    bool remember = false;
    EXPECT_FALSE(Over(other).ReadULong("Width", &width, 640));
    EXPECT_FALSE(Over(other).ReadInt("AlbumID_UL", &album, -1));
    EXPECT_FALSE(Over(other).ReadDouble("ItemRotation", &rotation, 90.0));
    EXPECT_FALSE(Over(other).ReadBool("RememberPW", &remember, true));
    EXPECT_EQ(640ul, width);
    EXPECT_EQ(-1, album);
    EXPECT_EQ(90.0, rotation);
    EXPECT_TRUE(remember);
}

TEST_F(AsciiReaderTest, KeyIsComparedWhole)
{
    int value = 0;
    EXPECT_FALSE(Over("Count2=1\n").ReadInt("Count", &value, 0));
    EXPECT_FALSE(Over("Coun=1\n").ReadInt("Count", &value, 0));
    EXPECT_FALSE(Over("count=1\n").ReadInt("Count", &value, 0));
}

TEST_F(AsciiReaderTest, FailedStreamAnswersFalseAndConsumesNothing)
{
    ITlReader& reader = Over("Count=5\n");
    m_in.setstate(std::ios::failbit);
    int count = 0;
    EXPECT_FALSE(reader.ReadInt("Count", &count, 9));
    EXPECT_EQ(9, count);
    m_in.clear();
    EXPECT_EQ("Count=5\n", Rest());
}

class AsciiStringLength : public AsciiReaderTest, public ::testing::WithParamInterface<size_t> {};

// Text is read in 127-character pieces: lengths around the piece size must
// come back whole, with the line end consumed so that the next key follows.
TEST_P(AsciiStringLength, StringComesBackWholeAndTheNextKeyFollows)
{
    const std::string value(GetParam(), 'x');
    std::ostringstream out;
    CTlAsciiWriter writer(out);
    writer.WriteString("Description", value);
    writer.WriteInt("Next", 7);

    ITlReader& reader = Over(out.str());
    std::string back = "stale";
    int next = 0;
    EXPECT_TRUE(reader.ReadString("Description", &back));
    EXPECT_EQ(value, back);
    EXPECT_TRUE(reader.ReadInt("Next", &next, 0));
    EXPECT_EQ(7, next);
}

INSTANTIATE_TEST_SUITE_P(Lengths, AsciiStringLength,
                         ::testing::Values(0, 1, 126, 127, 128, 254, 255, 256, 300, 5000));

TEST_F(AsciiReaderTest, LastValueWithoutLineEndIsReadThenTheStreamIsAtItsEnd)
{
    ITlReader& reader = Over("Caption=Lake");
    std::string caption;
    EXPECT_TRUE(reader.ReadString("Caption", &caption));
    EXPECT_EQ("Lake", caption);
    EXPECT_FALSE(reader.ReadString("Description", &caption));
    EXPECT_EQ("Lake", caption);
}

TEST_F(AsciiReaderTest, ShortFieldsAreBoundedTo255Characters)
{
    Bytes bytes;
    EXPECT_TRUE(Over("Raw=" + std::string(255, 'b') + "\n").ReadByteVector("Raw", &bytes));
    EXPECT_EQ(255u, bytes.size());
    EXPECT_FALSE(Over("Raw=" + std::string(256, 'b') + "\n").ReadByteVector("Raw", &bytes));
    EXPECT_EQ(255u, bytes.size());

    int number = 0;
    EXPECT_FALSE(Over("Count=" + std::string(300, '1') + "\n").ReadInt("Count", &number, 3));
    EXPECT_EQ(3, number);
    EXPECT_FALSE(Over(std::string(300, 'K') + "=1\n").ReadInt(std::string(300, 'K'), &number, 4));
    EXPECT_EQ(4, number);
}

TEST_F(AsciiReaderTest, CharBufferIsCutToTheCallersSize)
{
    char buffer[8];
    std::memset(buffer, '#', sizeof buffer);
    ITlReader& reader = Over("Caption=A long caption\nNext=1\n");
    EXPECT_TRUE(reader.ReadCharBuffer("Caption", buffer, 4));
    EXPECT_EQ("A l\0####"s, std::string(buffer, sizeof buffer));
    int next = 0;
    EXPECT_TRUE(reader.ReadInt("Next", &next, 0)); // the rest of the line was consumed
    EXPECT_EQ(1, next);

    EXPECT_FALSE(Over("Caption=x\n").ReadCharBuffer("Caption", buffer, 0));
    EXPECT_FALSE(Over("Caption=x\n").ReadCharBuffer("Caption", nullptr, 8));
}

TEST_F(AsciiReaderTest, ThrowingStreamAnswersFalse)
{
    ITlReader& reader = Over("Caption=x\n");
    m_in.exceptions(std::ios::failbit | std::ios::eofbit);
    std::string text;
    int number = 0;
    EXPECT_TRUE(reader.ReadString("Caption", &text));
    EXPECT_FALSE(reader.ReadString("Description", &text)); // the stream throws at its end
    EXPECT_FALSE(reader.ReadInt("Count", &number, 2));
    EXPECT_EQ(2, number);
}

} // namespace
