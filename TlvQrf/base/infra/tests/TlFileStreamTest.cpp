#include "infra/TlFileStream.h"
#include "infra/TlString.h"

#include "InfraTestFiles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace {

using infra_test::ScopedTempFile;

const int kRead = CTlStreamBase::kOpenRead;
const int kWrite = CTlStreamBase::kOpenWrite;
const int kTruncate = CTlStreamBase::kOpenTruncate;
const int kBinary = CTlStreamBase::kOpenBinary;

class TlFileStreamTest : public testing::Test {
protected:
    bool OpenWith(const std::string& contents, int flags)
    {
        TempFolder::Overwrite(file.Path(), contents);
        return stream.Open(file.Path(), flags);
    }

    ScopedTempFile file;
    CTlFileStream stream;
};

struct ModeCase {
    int flags;
    int mode;
};

void PrintTo(const ModeCase& c, std::ostream* os)
{
    *os << "flags " << c.flags;
}

class TlFileStreamMode : public TlFileStreamTest, public testing::WithParamInterface<ModeCase> {};

TEST_P(TlFileStreamMode, FlagsAddToTheReadBit)
{
    ASSERT_TRUE(OpenWith("x", GetParam().flags));
    EXPECT_EQ(GetParam().mode, stream.GetMode());
    stream.Close();
    EXPECT_EQ(CTlFileStream::kModeRead, stream.GetMode());
}

INSTANTIATE_TEST_SUITE_P(Flags, TlFileStreamMode,
                         testing::Values(ModeCase{kRead, 0x01}, ModeCase{0, 0x01}, ModeCase{kRead | kBinary, 0x21},
                                         ModeCase{kWrite, 0x0B}, ModeCase{kWrite | kTruncate, 0x13},
                                         ModeCase{kWrite | kTruncate | kBinary, 0x33},
                                         ModeCase{kTruncate, 0x01}));

struct WriteCase {
    int flags;
    const char* expected;
};

void PrintTo(const WriteCase& c, std::ostream* os)
{
    *os << "flags " << c.flags;
}

class TlFileStreamWrite : public TlFileStreamTest, public testing::WithParamInterface<WriteCase> {};

TEST_P(TlFileStreamWrite, TruncatesOrAppends)
{
    ASSERT_TRUE(OpenWith("abc", GetParam().flags | kBinary));
    EXPECT_TRUE(stream.Write("xy", 2));
    stream.Close();
    EXPECT_EQ(GetParam().expected, TempFolder::Read(file.Path()));
}

INSTANTIATE_TEST_SUITE_P(Flags, TlFileStreamWrite,
                         testing::Values(WriteCase{kWrite, "abcxy"}, WriteCase{kWrite | kTruncate, "xy"}));

TEST_F(TlFileStreamTest, OpenFailuresLeaveTheStreamClosed)
{
    EXPECT_FALSE(stream.Open(nullptr, kRead));
    ASSERT_TRUE(RemoveFile(file.Path()));
    EXPECT_FALSE(stream.Open(file.Path(), kRead | kBinary)); // reading a missing file
    EXPECT_FALSE(stream.IsOpen());
    EXPECT_EQ(CTlFileStream::kModeRead, stream.GetMode());
    EXPECT_FALSE(stream.Write("x", 1));
}

TEST_F(TlFileStreamTest, SecondOpenKeepsTheFirstFile)
{
    ASSERT_TRUE(OpenWith("abc", kRead | kBinary));
    EXPECT_FALSE(stream.Open(file.Path(), kWrite | kTruncate));
    EXPECT_EQ(0x21, stream.GetMode());
    char bytes[3];
    EXPECT_TRUE(stream.Read(bytes, 3, nullptr));
}

TEST_F(TlFileStreamTest, StreamOpenedForWritingReadsBack)
{
    ASSERT_TRUE(OpenWith("", kWrite | kTruncate | kBinary));
    ASSERT_TRUE(stream.Write("hello", 5));
    EXPECT_EQ(5, stream.Tell());
    EXPECT_EQ(0, stream.Seek(0, CTlStreamBase::kSeekBegin));
    char bytes[5] = {};
    int count = 0;
    EXPECT_TRUE(stream.Read(bytes, 5, &count));
    EXPECT_EQ(5, count);
    EXPECT_EQ("hello", std::string(bytes, 5));
}

TEST_F(TlFileStreamTest, ReadAtTheEndIsFalseEvenWithBytesRead)
{
    ASSERT_TRUE(OpenWith("12345", kRead | kBinary));
    char bytes[10];
    int count = -1;
    EXPECT_FALSE(stream.Read(bytes, 10, &count));
    EXPECT_EQ(5, count);
    EXPECT_FALSE(stream.Read(bytes, 1, &count));
    EXPECT_EQ(0, count);
}

TEST_F(TlFileStreamTest, SeekRepositionsAfterTheEnd)
{
    ASSERT_TRUE(OpenWith("12345", kRead | kBinary));
    char bytes[10];
    ASSERT_FALSE(stream.Read(bytes, 10, nullptr));
    EXPECT_EQ(1, stream.Seek(1, CTlStreamBase::kSeekBegin));
    EXPECT_TRUE(stream.Read(bytes, 4, nullptr));
    EXPECT_EQ('2', bytes[0]);
}

struct SeekCase {
    long long offset;
    int origin;
    long long expected;
};

void PrintTo(const SeekCase& c, std::ostream* os)
{
    *os << "offset " << c.offset << " origin 0x" << std::hex << c.origin << std::dec;
}

class TlFileStreamSeek : public TlFileStreamTest, public testing::WithParamInterface<SeekCase> {};

TEST_P(TlFileStreamSeek, OriginFlagsAreTestedInOrder)
{
    ASSERT_TRUE(OpenWith("0123456789", kRead | kBinary));
    ASSERT_EQ(5, stream.Seek(5, CTlStreamBase::kSeekBegin));
    EXPECT_EQ(GetParam().expected, stream.Seek(GetParam().offset, GetParam().origin));
    EXPECT_EQ(GetParam().expected, stream.Tell());
}

INSTANTIATE_TEST_SUITE_P(Origins, TlFileStreamSeek,
                         testing::Values(SeekCase{3, 0x40, 3}, SeekCase{2, 0x20, 7}, SeekCase{-2, 0x80, 8},
                                         SeekCase{4, 0x00, 4},    // no origin flag: the beginning
                                         SeekCase{3, 0x60, 3},    // beginning before current
                                         SeekCase{3, 0xE0, 3},    // beginning before all
                                         SeekCase{-1, 0xA0, 4})); // current before end

TEST_F(TlFileStreamTest, SeekBeforeTheBeginningFails)
{
    ASSERT_TRUE(OpenWith("0123", kRead | kBinary));
    EXPECT_EQ(-1, stream.Seek(-1, CTlStreamBase::kSeekBegin));
}

TEST_F(TlFileStreamTest, LinesOfAnyLengthComeBackWhole)
{
    // 127 characters fill exactly one reading chunk.
    const std::string lines[] = {"first", std::string(300, 'L'), std::string(127, 'C'), "", "last"};
    ASSERT_TRUE(OpenWith("", kWrite | kTruncate));
    for (const std::string& line : lines)
        ASSERT_TRUE(stream.WriteLine(line.c_str()));
    ASSERT_EQ(0, stream.Seek(0, CTlStreamBase::kSeekBegin));

    for (const std::string& expected : lines) {
        CTlString line;
        ASSERT_TRUE(stream.ReadLine(line));
        EXPECT_EQ(expected, line.GetData());
    }
    CTlString beyond;
    EXPECT_FALSE(stream.ReadLine(beyond));
    EXPECT_FALSE(stream.ReadLine(beyond));
}

TEST_F(TlFileStreamTest, ReadLineAppendsAndTakesALastLineWithoutLineEnd)
{
    ASSERT_TRUE(OpenWith("tail", kRead));
    CTlString line("head ");
    EXPECT_TRUE(stream.ReadLine(line));
    EXPECT_STREQ("head tail", line.GetData());
    EXPECT_FALSE(stream.ReadLine(line));
}

TEST_F(TlFileStreamTest, WriteLineEndsTheLineAndFlushes)
{
    ASSERT_TRUE(OpenWith("", kWrite | kTruncate));
    ASSERT_TRUE(stream.WriteLine("one"));
    EXPECT_EQ("one\r\n", TempFolder::Read(file.Path())); // on disk while still open
}

TEST_F(TlFileStreamTest, BinaryStreamRefusesLineOperations)
{
    ASSERT_TRUE(OpenWith("line\n", kWrite | kBinary));
    EXPECT_FALSE(stream.WriteLine("more"));
    CTlString line;
    EXPECT_FALSE(stream.ReadLine(line));
    char buffer[16];
    EXPECT_FALSE(stream.GetLine(buffer, sizeof buffer));
    stream.Close();
    EXPECT_EQ("line\n", TempFolder::Read(file.Path()));
}

TEST_F(TlFileStreamTest, GetLineCutsALongLineAndGoesOnAtTheNext)
{
    ASSERT_TRUE(OpenWith("abcdefgh\r\nnext\r\n", kRead));
    char buffer[5];
    ASSERT_TRUE(stream.GetLine(buffer, sizeof buffer));
    EXPECT_STREQ("abcd", buffer);
    ASSERT_TRUE(stream.GetLine(buffer, sizeof buffer));
    EXPECT_STREQ("next", buffer);
    EXPECT_FALSE(stream.GetLine(buffer, sizeof buffer));
    EXPECT_FALSE(stream.GetLine(nullptr, 4));
}

TEST_F(TlFileStreamTest, FlushPutsWrittenBytesOnDisk)
{
    ASSERT_TRUE(OpenWith("", kWrite | kTruncate | kBinary));
    ASSERT_TRUE(stream.Write("abc", 3));
    stream.Flush();
    EXPECT_EQ("abc", TempFolder::Read(file.Path()));
}

} // namespace
