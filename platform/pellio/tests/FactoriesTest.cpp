// The library's creators, as free functions and as static members.
#include "PellioTestSupport.h"

namespace pelliotest {
namespace {

TEST(FactoriesTest, RefuseAMissingOut)
{
    EXPECT_EQ(kKelvraMissingObject, CodeOf(CreateFileStream(nullptr)));
    EXPECT_EQ(kKelvraMissingObject, CodeOf(CreateLoad(nullptr)));
    EXPECT_EQ(kKelvraMissingObject, CodeOf(CreateSave(nullptr)));
    EXPECT_EQ(kKelvraMissingObject, CodeOf(CreateTagControl(nullptr)));
    EXPECT_EQ(kKelvraMissingObject, CodeOf(IKelvraLoad::CreateLoad(nullptr)));
}

TEST(FactoriesTest, StaticMembersMakeTheSameObjects)
{
    IKelvraFileStream* stream = nullptr;
    IKelvraLoad* load = nullptr;
    IKelvraSave* save = nullptr;
    ASSERT_TRUE(Succeeded(IKelvraFileStream::CreateFileStream(&stream)));
    ASSERT_TRUE(Succeeded(IKelvraLoad::CreateLoad(&load)));
    ASSERT_TRUE(Succeeded(IKelvraSave::CreateSave(&save)));
    StreamPtr ownedStream(stream);
    LoadPtr ownedLoad(load);
    SavePtr ownedSave(save);
    EXPECT_EQ(0, stream->GetMode());
    EXPECT_FALSE(load->IsComplete());
    EXPECT_FALSE(save->IsFinished());
}

TEST(FactoriesTest, TagControlCopiesItsSource)
{
    TagsPtr source = MakeTags();
    SetTag(source.get(), 0x80001, kKelvraTagTypeLong, ValueBytes(std::uint32_t(513)));
    SetTag(source.get(), 33723, kKelvraTagTypeDataHeader, Bytes{1, 2, 3});
    IKelvraTagControl* copy = nullptr;
    ASSERT_TRUE(Succeeded(CreateTagControl(&copy, source.get())));
    TagsPtr owned(copy);
    EXPECT_TRUE(AllTags(source.get()) == AllTags(copy));
    SetTag(source.get(), 305, kKelvraTagTypeText, TextBytes("later"));
    EXPECT_FALSE(copy->HasTag(305, 0)); // a copy, not a view
}

} // namespace
} // namespace pelliotest
