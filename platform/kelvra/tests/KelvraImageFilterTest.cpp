#include "KelvraImageTestSupport.h"
#include "KelvraNullFilter.h"

using namespace kelvra_image_test;

namespace {

constexpr KelvraTag kScale = KelvraFourCC('S', 'c', 'a', 'l');
constexpr KelvraTag kCrop = KelvraFourCC('C', 'r', 'o', 'p');
constexpr KelvraTag kGrid = KelvraFourCC('G', 'r', 'i', 'd');

class KelvraImageFilters : public ::testing::Test {
protected:
    ManagerPtr m_manager = MakeManager();
    ImagePtr m_image = MakeImage(m_manager.get(), kKelvraGrey8, 10, 10);
    CNullFilter m_scale{kScale};
    CNullFilter m_crop{kCrop};
    CNullFilter m_secondScale{kScale};
};

TEST_F(KelvraImageFilters, AttachedFiltersAreFoundByTheirIdFirstAttachedFirst)
{
    ASSERT_TRUE(Succeeded(m_image->AttachFilter(&m_scale)));
    ASSERT_TRUE(Succeeded(m_image->AttachFilter(&m_crop)));
    ASSERT_TRUE(Succeeded(m_image->AttachFilter(&m_secondScale)));
    EXPECT_EQ(&m_scale, m_image->FindFilter(kScale));
    EXPECT_EQ(&m_crop, m_image->FindFilter(kCrop));
    EXPECT_EQ(nullptr, m_image->FindFilter(kGrid));

    ASSERT_TRUE(Succeeded(m_image->DetachFilter(&m_scale)));
    EXPECT_EQ(&m_secondScale, m_image->FindFilter(kScale));
    ASSERT_TRUE(Succeeded(m_image->DetachFilter(&m_secondScale)));
    EXPECT_EQ(nullptr, m_image->FindFilter(kScale));
    EXPECT_EQ(&m_crop, m_image->FindFilter(kCrop));
}

TEST_F(KelvraImageFilters, AFilterIsAttachedOnceAndDetachedOnce)
{
    ASSERT_TRUE(Succeeded(m_image->AttachFilter(&m_crop)));
    EXPECT_EQ(kKelvraBadArgument, CauseCode(m_image->AttachFilter(&m_crop)));
    ASSERT_TRUE(Succeeded(m_image->DetachFilter(&m_crop)));
    EXPECT_EQ(kKelvraBadArgument, CauseCode(m_image->DetachFilter(&m_crop)));
    EXPECT_EQ(kKelvraBadArgument, CauseCode(m_image->DetachFilter(&m_scale)));
}

} // namespace
