#include "infra/ByteBuffer.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const unsigned char kTen[10] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};

// A buffer of `size` bytes with its position moved to `position`.
void PrepareAt(CByteBuffer& buffer, int size, int position)
{
    ASSERT_TRUE(buffer.Allocate(size));
    unsigned char skip[16];
    ASSERT_EQ(position, buffer.Read(skip, position));
}

TEST(ByteBuffer, WriteStopsAtTheEndOfTheBlock)
{
    CByteBuffer buffer;
    PrepareAt(buffer, 8, 4);
    EXPECT_EQ(4, buffer.Write(kTen, 10));
    EXPECT_EQ(0, buffer.Write(kTen, 10));
    EXPECT_EQ(8, buffer.GetPosition());
    EXPECT_EQ(0, std::memcmp(buffer.GetData() + 4, kTen, 4));
}

TEST(ByteBuffer, ReadStopsAtTheEndOfTheBlock)
{
    CByteBuffer buffer;
    ASSERT_TRUE(buffer.Allocate(6));
    ASSERT_EQ(6, buffer.Write(kTen, 6));
    buffer.Rewind();
    unsigned char out[10] = {};
    EXPECT_EQ(6, buffer.Read(out, 10));
    EXPECT_EQ(0, std::memcmp(out, kTen, 6));
    EXPECT_EQ(0, out[6]);
    EXPECT_EQ(0, buffer.Read(out, 10));
}

TEST(ByteBuffer, EmptyBufferCopiesNothing)
{
    CByteBuffer buffer;
    EXPECT_TRUE(buffer.IsEmpty());
    unsigned char out[4] = {};
    EXPECT_EQ(0, buffer.Write(kTen, 4));
    EXPECT_EQ(0, buffer.Read(out, 4));

    ASSERT_TRUE(buffer.Allocate(0));
    EXPECT_TRUE(buffer.IsEmpty());
    EXPECT_EQ(nullptr, buffer.GetData());
}

TEST(ByteBuffer, NegativeOrNullTransfersCopyNothing)
{
    CByteBuffer buffer;
    ASSERT_TRUE(buffer.Allocate(8));
    EXPECT_EQ(0, buffer.Write(kTen, -1));
    EXPECT_EQ(0, buffer.Write(nullptr, 4));
    EXPECT_EQ(0, buffer.Read(nullptr, 4));
    EXPECT_EQ(0, buffer.GetPosition());
    EXPECT_FALSE(buffer.Allocate(-1));
    EXPECT_TRUE(buffer.IsEmpty());
}

TEST(ByteBuffer, AllocateReplacesTheBlockAndRewinds)
{
    CByteBuffer buffer;
    PrepareAt(buffer, 8, 5);
    ASSERT_TRUE(buffer.Allocate(3));
    EXPECT_EQ(3, buffer.GetSize());
    EXPECT_EQ(0, buffer.GetPosition());
    EXPECT_EQ(3, buffer.Write(kTen, 10));

    buffer.Free();
    EXPECT_TRUE(buffer.IsEmpty());
    EXPECT_EQ(0, buffer.GetPosition());
}

TEST(ByteBuffer, CopyHasItsOwnBytesAndStartsAtZero)
{
    CByteBuffer source;
    ASSERT_TRUE(source.Allocate(4));
    ASSERT_EQ(4, source.Write(kTen, 4));

    CByteBuffer copy(source);
    EXPECT_EQ(4, copy.GetSize());
    EXPECT_EQ(0, copy.GetPosition());
    EXPECT_NE(source.GetData(), copy.GetData());
    EXPECT_EQ(0, std::memcmp(copy.GetData(), kTen, 4));

    CByteBuffer assigned;
    assigned = source;
    source.Free();
    EXPECT_EQ(0, std::memcmp(assigned.GetData(), kTen, 4));
}

} // namespace
