// The region record: its size, the round trip, and records that are short,
// damaged or refused by the writer.
#include "eyemend/Eyemend.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

struct Bytes {
    std::vector<unsigned char> data;
    std::size_t readAt = 0;
    std::size_t room = 1u << 20;

    static bool Write(void* context, const void* bytes, std::uint32_t count)
    {
        auto* self = static_cast<Bytes*>(context);
        if (self->data.size() + count > self->room)
            return false;
        const auto* from = static_cast<const unsigned char*>(bytes);
        self->data.insert(self->data.end(), from, from + count);
        return true;
    }
    static bool Read(void* context, void* bytes, std::uint32_t count)
    {
        auto* self = static_cast<Bytes*>(context);
        if (self->readAt + count > self->data.size())
            return false;
        std::memcpy(bytes, &self->data[self->readAt], count);
        self->readAt += count;
        return true;
    }
};

const ReRegion kRegion{157, 108, 171, 122, nullptr, nullptr};

Bytes Saved(const ReRegion& region)
{
    Bytes bytes;
    std::uint32_t size = 0;
    EXPECT_EQ(ReOk, ReSaveRegion(&region, nullptr, nullptr, &size));
    EXPECT_EQ(ReOk, ReSaveRegion(&region, Bytes::Write, &bytes, &size));
    EXPECT_EQ(size, bytes.data.size());
    return bytes;
}

TEST(EyemendRecordTest, RegionRoundTripsThroughItsRecord)
{
    std::uint32_t size = 0;
    ASSERT_EQ(ReOk, ReSaveRegion(&kRegion, nullptr, nullptr, &size));
    EXPECT_EQ(28u, size);
    Bytes bytes = Saved(kRegion);
    ReRegion* loaded = nullptr;
    ASSERT_EQ(ReOk, ReLoadRegion(Bytes::Read, &bytes, std::uint32_t(bytes.data.size()), &loaded));
    ASSERT_NE(nullptr, loaded);
    EXPECT_EQ(kRegion.left, loaded->left);
    EXPECT_EQ(kRegion.top, loaded->top);
    EXPECT_EQ(kRegion.right, loaded->right);
    EXPECT_EQ(kRegion.bottom, loaded->bottom);
    EXPECT_EQ(nullptr, loaded->next);
    ReList list{loaded, loaded};
    ReListEmpty(&list);
}

TEST(EyemendRecordTest, ShortDamagedOrForeignRecordsAreRefusedWithoutOverreading)
{
    const Bytes good = Saved(kRegion);
    for (std::uint32_t size : {0u, 4u, 27u}) {
        SCOPED_TRACE(size);
        Bytes bytes = good;
        bytes.data.resize(size); // the reader has only `size` bytes
        ReRegion* loaded = reinterpret_cast<ReRegion*>(&bytes);
        EXPECT_EQ(ReBadRecord, ReLoadRegion(Bytes::Read, &bytes, size, &loaded));
        EXPECT_EQ(nullptr, loaded);
        EXPECT_EQ(0u, bytes.readAt);
    }
    for (std::size_t at = 0; at < good.data.size(); ++at) {
        SCOPED_TRACE(at);
        Bytes bytes = good;
        bytes.data[at] ^= 0x10;
        ReRegion* loaded = nullptr;
        EXPECT_EQ(ReBadRecord, ReLoadRegion(Bytes::Read, &bytes, std::uint32_t(bytes.data.size()), &loaded));
        EXPECT_EQ(nullptr, loaded);
    }
    // A record whose check word is right but whose box is not.
    const ReRegion inverted{20, 5, 10, 9, nullptr, nullptr};
    Bytes bytes = Saved(inverted);
    ReRegion* loaded = nullptr;
    EXPECT_EQ(ReBadRecord, ReLoadRegion(Bytes::Read, &bytes, std::uint32_t(bytes.data.size()), &loaded));
    EXPECT_EQ(ReMissingArgument, ReLoadRegion(nullptr, &bytes, 28, &loaded));
}

TEST(EyemendRecordTest, WriterFailureAndTooLittleRoomAreReported)
{
    Bytes bytes;
    bytes.room = 27;
    std::uint32_t size = 28;
    EXPECT_EQ(ReWriteFailed, ReSaveRegion(&kRegion, Bytes::Write, &bytes, &size));
    bytes.room = 100;
    size = 27;
    EXPECT_EQ(ReWriteFailed, ReSaveRegion(&kRegion, Bytes::Write, &bytes, &size));
    EXPECT_TRUE(bytes.data.empty());
    EXPECT_EQ(ReMissingArgument, ReSaveRegion(nullptr, nullptr, nullptr, &size));
}

} // namespace
