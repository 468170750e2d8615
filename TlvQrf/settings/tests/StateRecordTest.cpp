// The record format's building blocks: field copiers, the owned byte block,
// the length word of partial saves and the generic copy.
#include "StateTestSupport.h"

#include "settings/record/TlBlob.h"
#include "settings/record/TlFieldCopy.h"
#include "settings/record/TlStateIds.h"
#include "settings/small/TlFlagState.h"

#include <gtest/gtest.h>

using namespace tlstate_test;

namespace {

TEST(FieldCopyTest, ValuesOfEveryFieldWidthCopyByteForByte)
{
    const std::uint64_t source = 0x0807060504030201ull;
    for (std::uint16_t width : {1, 2, 4, 8}) {
        unsigned char buffer[9] = {};
        WriteValue(&source, buffer, width);
        EXPECT_EQ(std::memcmp(buffer, &source, width), 0) << width;
        EXPECT_EQ(buffer[width], 0) << width;
        std::uint64_t back = 0;
        EXPECT_TRUE(ReadValue(buffer, &back, width));
        EXPECT_EQ(std::memcmp(&back, &source, width), 0) << width;
    }
}

TEST(FieldCopyTest, OtherWidthsCopyNothing)
{
    const unsigned char source[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    for (std::uint16_t width : {0, 3, 5, 16}) {
        unsigned char out[16] = {};
        EXPECT_FALSE(WriteValue(source, out, width));
        EXPECT_FALSE(ReadValue(source, out, width));
        EXPECT_FALSE(ReadValueSwapped(source, out, width));
        EXPECT_EQ(out[0], 0) << width;
    }
}

TEST(FieldCopyTest, SwappedReadTakesBigEndianFields)
{
    const unsigned char bytes[] = {0x00, 0x00, 0x01, 0x00, 0x12, 0x34, 0x56, 0x78};
    std::uint32_t value = 0;
    EXPECT_TRUE(ReadValueSwapped(bytes, &value, 4));
    EXPECT_EQ(value, 256u);
    std::uint16_t shortValue = 0;
    ReadValueSwapped(bytes + 4, &shortValue, 2);
    EXPECT_EQ(shortValue, 0x1234);
    std::uint64_t longValue = 0;
    ReadValueSwapped(bytes, &longValue, 8);
    EXPECT_EQ(longValue, 0x0000010012345678ull);
}

TEST(FieldCopyTest, CopyBytesAllowsOverlap)
{
    unsigned char bytes[] = {1, 2, 3, 4, 5, 6};
    EXPECT_TRUE(CopyBytes(bytes, bytes + 2, 4));
    EXPECT_EQ(Bytes(bytes, bytes + 6), (Bytes{1, 2, 1, 2, 3, 4}));
    EXPECT_TRUE(CopyBytes(bytes + 2, bytes, 4));
    EXPECT_EQ(Bytes(bytes, bytes + 6), (Bytes{1, 2, 3, 4, 3, 4}));
}

TEST(BlobTest, StartsEmpty)
{
    CTlBlob blob;
    EXPECT_FALSE(blob.HasData());
    EXPECT_EQ(blob.Data(), nullptr);
    EXPECT_EQ(blob.Count(), 0u);
}

TEST(BlobTest, SetWithoutSourceHoldsZeroBytes)
{
    CTlBlob blob;
    ASSERT_TRUE(blob.Set(nullptr, 5));
    EXPECT_TRUE(blob.HasData());
    EXPECT_EQ(Bytes(blob.Data(), blob.Data() + blob.Count()), Bytes(5, 0));
}

TEST(BlobTest, SetWithCountZeroEmptiesTheBlock)
{
    const unsigned char data[] = {7, 8};
    CTlBlob blob;
    blob.Set(data, 2);
    EXPECT_TRUE(blob.Set(data, 0));
    EXPECT_FALSE(blob.HasData());
    EXPECT_EQ(blob.Data(), nullptr);
}

TEST(BlobTest, SetCopiesAndGetHandsOut)
{
    const unsigned char data[] = {7, 8, 9};
    CTlBlob blob;
    ASSERT_TRUE(blob.Set(data, 3));
    const unsigned char* out = nullptr;
    std::size_t count = 0;
    blob.Get(&out, &count);
    EXPECT_EQ(count, 3u);
    EXPECT_NE(out, data);
    EXPECT_EQ(Bytes(out, out + count), (Bytes{7, 8, 9}));
    blob.Get(nullptr, &count);
    blob.Get(&out, nullptr);
}

TEST(BlobTest, UnsatisfiableSizeFailsAndLeavesTheBlockEmpty)
{
    CTlBlob blob;
    blob.Set(nullptr, 4);
    EXPECT_FALSE(blob.Set(nullptr, static_cast<std::size_t>(-1)));
    EXPECT_FALSE(blob.HasData());
    EXPECT_EQ(blob.Count(), 0u);
}

TEST(BlobTest, AssignmentCopiesAndSelfAssignmentKeeps)
{
    const unsigned char data[] = {1, 2, 3};
    CTlBlob a;
    a.Set(data, 3);
    CTlBlob b;
    b = a;
    EXPECT_NE(b.Data(), a.Data());
    EXPECT_EQ(Bytes(b.Data(), b.Data() + 3), (Bytes{1, 2, 3}));
    CTlBlob& same = b;
    b = same;
    EXPECT_EQ(Bytes(b.Data(), b.Data() + 3), (Bytes{1, 2, 3}));
}

// The flag record: id, version, length word, u8 at 22, i32 at 23.
TEST(StateSaveRuleTest, LengthWordCountsOnlyWhatWasWritten)
{
    CTlFlagState record;
    record.flag = true;
    const struct { int size; std::uint32_t length; } cases[] = {{22, 4}, {23, 5}, {26, 5}, {27, 9}, {40, 9}};
    for (const auto& c : cases) {
        Bytes buffer(40, 0xEE);
        EXPECT_EQ(record.Save(buffer.data(), c.size), 27);
        std::uint32_t length = 0;
        std::memcpy(&length, buffer.data() + 18, 4);
        EXPECT_EQ(length, c.length) << c.size;
        EXPECT_EQ(buffer[22], c.size > 22 ? 1 : 0xEE) << c.size;
    }
}

TEST(StateSaveRuleTest, NullBufferWritesNothingAndReportsTheSize)
{
    CTlFlagState record;
    EXPECT_EQ(record.Save(nullptr, 100), 27);
    EXPECT_EQ(record.GetSize(), 27);
}

TEST(StateLoadRuleTest, IdAloneCountsAsVersionZero)
{
    // The flag record accepts only version 1: the id alone is refused.
    CTlFlagState record;
    EXPECT_EQ(record.Load(reinterpret_cast<const unsigned char*>(&kTlIdFlagState), 16), 0);
}

TEST(StateAssignTest, AssignReturnsTheTarget)
{
    CTlFlagState source;
    source.value = 11;
    CTlFlagState target;
    EXPECT_EQ(&target.Assign(source), &target);
    EXPECT_EQ(target.value, 11);
}

TEST(StateIdsTest, IdsAreStoredInTheGuidBinaryLayout)
{
    const Bytes expected = Hex("2D937D2369BB4F9B887C87CE3ACCD6EA");
    EXPECT_EQ(std::memcmp(&kTlIdFlagState, expected.data(), 16), 0);
}

} // namespace
