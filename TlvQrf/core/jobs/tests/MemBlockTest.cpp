#include "jobs/TlMemBlock.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(MemBlock, HandsOutItsBytesOnlyWhileLocked)
{
    CTlMemBlock block(16);
    EXPECT_EQ(16u, block.GetSize());
    EXPECT_TRUE(block.IsUnlocked());
    EXPECT_EQ(nullptr, block.GetPointer());
    EXPECT_EQ(nullptr, block.Get());

    void* bytes = block.Lock();
    ASSERT_NE(nullptr, bytes);
    EXPECT_TRUE(block.IsLocked());
    EXPECT_EQ(bytes, block.GetPointer());
    EXPECT_EQ(bytes, block.Get());
    std::memset(bytes, 0xAB, 16); // all 16 bytes are the block's

    block.Unlock();
    EXPECT_EQ(nullptr, block.GetPointer());
    EXPECT_EQ(bytes, block.Lock()); // the same bytes again
}

TEST(MemBlock, LockIsAFlagNotACount)
{
    CTlMemBlock block(4);
    block.Lock();
    block.Lock();
    block.Unlock();
    EXPECT_TRUE(block.IsUnlocked());
    EXPECT_EQ(nullptr, block.GetPointer());
}

TEST(MemBlock, FreeDropsTheBytesAndUnlocks)
{
    CTlMemBlock block(8);
    block.Lock();
    block.Free();
    EXPECT_EQ(0u, block.GetSize());
    EXPECT_TRUE(block.IsUnlocked());
    block.Lock();
    EXPECT_EQ(nullptr, block.GetPointer());
}

TEST(MemBlock, FreeOfAnEmptyBlockLeavesItAsItWas)
{
    CTlMemBlock block(0);
    EXPECT_EQ(0u, block.GetSize());
    void* bytes = block.Lock();
    block.Free();
    // Size 0: neither the pointer nor the lock flag change.
    EXPECT_TRUE(block.IsLocked());
    EXPECT_EQ(bytes, block.GetPointer());
}

TEST(MemBlock, ReallocateUnlocksAndTakesTheNewSize)
{
    CTlMemBlock block(8);
    block.Lock();
    EXPECT_EQ(32u, block.Reallocate(32));
    EXPECT_EQ(32u, block.GetSize());
    EXPECT_TRUE(block.IsUnlocked());
    void* bytes = block.Lock();
    ASSERT_NE(nullptr, bytes);
    std::memset(bytes, 0, 32);
}

TEST(MemBlock, ReallocateOfAnEmptyBlockGivesItBytes)
{
    CTlMemBlock block(0);
    EXPECT_EQ(12u, block.Reallocate(12));
    ASSERT_NE(nullptr, block.Lock());
    EXPECT_EQ(0u, block.Reallocate(0));
}

} // namespace
