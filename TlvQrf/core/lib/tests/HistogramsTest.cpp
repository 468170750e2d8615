// The histograms a histogram filter counted, copied into a curve group's
// elements (what SetHistograms does for the edit module).
#include "FilterTestSupport.h"
#include "lib/TlHistograms.h"

#include "filtrix/KelvraFilterHistogram.h"
#include "settings/curves/TlLut.h"
#include "settings/curves/TlLutGroup.h"
#include "settings/curves/TlPointCurve.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

class HistogramsTest : public PatternImageTest {
protected:
    // A complete histogram of a pattern image of `format`.
    CKelvraFilterHistogram& Counted(KelvraPixelFormat format)
    {
        m_image = Image(40, 30, format);
        ExpectOk(KelvraDataConnect(m_image, &m_histogram));
        ExpectOk(m_histogram.ForceCompletion());
        return m_histogram;
    }
    void TearDown() override
    {
        if (m_image)
            IKelvraError::Release(KelvraDataDisconnect(m_image, &m_histogram));
        PatternImageTest::TearDown();
    }

    std::vector<std::uint32_t> Counts(long channel)
    {
        std::vector<std::uint32_t> counts(256);
        ExpectOk(m_histogram.GetHistogram(channel, counts.data(), 8));
        return counts;
    }
    static std::vector<std::uint32_t> HistogramOf(const CTlLutGroup& group, int index)
    {
        const CTlLut* lut = dynamic_cast<const CTlLut*>(group.GetAt(index));
        return lut ? lut->GetHistogram() : std::vector<std::uint32_t>{0xBAD};
    }

    IKelvraImage* m_image = nullptr;
    CKelvraFilterHistogram m_histogram{Manager()};
};

TEST_F(HistogramsTest, OneChannelGoesIntoTheFirstElement)
{
    CTlLutGroup group; // one element, a look-up table
    EXPECT_EQ(0u, CopyHistograms(&group, &Counted(0x08020001)));
    EXPECT_EQ(Counts(0), HistogramOf(group, 0));
}

TEST_F(HistogramsTest, ColourChannelsGoIntoElementsOneToThreeAndPointCurvesKeepTheirs)
{
    CTlLutGroup group;
    ASSERT_NE(nullptr, group.AddLut(1, {1, 0, 0}, {0, 0, 0}, {1, 0, 0}));
    ASSERT_NE(nullptr, group.AddPointCurve(2));
    ASSERT_NE(nullptr, group.AddLut(3, {0, 0, 1}, {0, 0, 0}, {0, 0, 1}));

    EXPECT_EQ(0u, CopyHistograms(&group, &Counted(0x08060201)));
    EXPECT_TRUE(HistogramOf(group, 0).empty()); // channel 0 (all planes) is not used
    EXPECT_EQ(Counts(1), HistogramOf(group, 1));
    EXPECT_TRUE(group.GetAt(2)->IsPointCurve());
    EXPECT_EQ(Counts(3), HistogramOf(group, 3));
}

TEST_F(HistogramsTest, MissingElementsAreSkipped)
{
    CTlLutGroup group; // only element 0 for a three-channel histogram
    EXPECT_EQ(0u, CopyHistograms(&group, &Counted(0x08060201)));
    EXPECT_TRUE(HistogramOf(group, 0).empty());
    EXPECT_EQ(0u, CopyHistograms(nullptr, &m_histogram));
    EXPECT_EQ(0u, CopyHistograms(&group, nullptr));
}

} // namespace
