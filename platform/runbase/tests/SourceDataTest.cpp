#include "runbase/TlvSourceData.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

TEST(SourceData, MarkChangesOnlyTheMarkBit)
{
    CTlvSourceData source;
    source.m_flags = TLV_SOURCE_READ_ONLY | 0x100;

    EXPECT_TRUE(source.SetMarked(true));
    EXPECT_TRUE(source.IsMarked());
    EXPECT_EQ(DWORD(TLV_SOURCE_READ_ONLY | TLV_SOURCE_MARKED | 0x100), source.m_flags);

    EXPECT_FALSE(source.SetMarked(true)); // already marked
    EXPECT_TRUE(source.SetMarked(false));
    EXPECT_FALSE(source.IsMarked());
    EXPECT_FALSE(source.SetMarked(false));
    EXPECT_EQ(DWORD(TLV_SOURCE_READ_ONLY | 0x100), source.m_flags);
    EXPECT_TRUE(source.IsReadOnly());
}

struct TimeCase {
    DWORD sourceClass;
    bool pictureTime;
};

class SourceDataItemTime : public ::testing::TestWithParam<TimeCase> {};

TEST_P(SourceDataItemTime, IsThePicturesOwnForStillPicturesOnly)
{
    CTlvSourceData source;
    source.m_sourceClass = GetParam().sourceClass;
    source.m_fileTime.m_time.wYear = 2003;
    source.m_pictureTime.m_time.wYear = 2004;
    const CTlvTime& expected = GetParam().pictureTime ? source.m_pictureTime : source.m_fileTime;
    EXPECT_EQ(&expected, &source.GetItemTime());
}

INSTANTIATE_TEST_SUITE_P(Classes, SourceDataItemTime,
                         ::testing::Values(TimeCase{TLV_SOURCE_STILL, true}, TimeCase{TLV_SOURCE_MOVIE, false},
                                           TimeCase{TLV_SOURCE_NO_PATH, false}, TimeCase{0, false}));

} // namespace
