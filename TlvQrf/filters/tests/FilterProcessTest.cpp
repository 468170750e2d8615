// The filter-list runner on real pixels: an empty list copies its source,
// a list of two example filters gives their combined pixels, and a list that
// cannot be connected leaves nothing connected.
#include "filters/runner/TlFilterProcess.h"

#include "ExampleFilters.h"
#include "FilterTestSupport.h"
#include "filters/frame/TlFilterId.h"

#include <gtest/gtest.h>

namespace {

// A gain filter that refuses every source.
class RefusingFilter : public GainFilter {
public:
    using GainFilter::GainFilter;
    IKelvraError* KelvraAddDataSourceCheck(IKelvraDataSource*) override
    {
        return KELVRA_ERROR(nullptr, KelvraFourCC('R', 'e', 'f', 'u'), kKelvraOperationFailed);
    }
};

// A gain filter whose tiles always fail.
class FailingFilter : public GainFilter {
public:
    using GainFilter::GainFilter;
    IKelvraError* DoGenerateTile(IKelvraTile*, CKelvraProcessInfo*) override
    {
        return KELVRA_ERROR(nullptr, KelvraFourCC('F', 'a', 'i', 'l'), kKelvraWriteError);
    }
};

class FilterProcessTest : public PatternImageTest {
protected:
    IKelvraImage* Destination()
    {
        IKelvraImage* image = MakeBlankImage(Manager(), 1, 1, kKelvraGrey8);
        m_destinations.push_back(image);
        return image;
    }
    void TearDown() override
    {
        for (IKelvraImage* image : m_destinations)
            image->Release();
        PatternImageTest::TearDown();
    }

private:
    std::vector<IKelvraImage*> m_destinations;
};

TEST_F(FilterProcessTest, EmptyListCopiesTheSourceAndItsDescription)
{
    IKelvraImage* source = Image(150, 90, kKelvraRGB16);
    ExpectOk(source->SetResolution(240.0));
    ExpectOk(source->SetTransform(true, 90.0, 0));
    IKelvraImage* destination = Destination();

    CFilterProcess process(nullptr);
    ExpectOk(process.Run(source, destination));
    EXPECT_FALSE(process.IsRunning());
    EXPECT_EQ(KelvraDestinationCount(source), 0);

    long width = 0, height = 0;
    KelvraPixelFormat format = 0;
    double dpi = 0, rotation = 0;
    bool flip = false;
    ExpectOk(destination->GetSize(&width, &height));
    ExpectOk(destination->GetColorSpace(&format));
    ExpectOk(destination->GetResolution(&dpi));
    ExpectOk(destination->GetFlip(&flip));
    ExpectOk(destination->GetRotation(&rotation));
    EXPECT_EQ(width, 150);
    EXPECT_EQ(height, 90);
    EXPECT_EQ(format, kKelvraRGB16);
    EXPECT_EQ(dpi, 240.0);
    EXPECT_TRUE(flip);
    EXPECT_EQ(rotation, 90.0);
    EXPECT_EQ(ReadAllSamples(destination), ReadAllSamples(source));
    process.Clear();
}

TEST_F(FilterProcessTest, ListOfTwoFiltersGivesTheirCombinedPixelsAndIsDisconnectedAfterwards)
{
    IKelvraImage* source = Image(130, 70, kKelvraRGB8);
    GainFilter gain(Manager(), 3, 2);
    InvertFilter invert(Manager());
    IKelvraImage* destination = Destination();

    CFilterProcess process(&gain);
    process.AddFilter(&invert);
    ExpectOk(process.Run(source, destination));
    EXPECT_FALSE(KelvraIsConnected(source, &gain));
    EXPECT_FALSE(KelvraIsConnected(&gain, &invert));
    process.Clear();

    const std::vector<unsigned> in = ReadAllSamples(source);
    const std::vector<unsigned> out = ReadAllSamples(destination);
    ASSERT_EQ(in.size(), out.size());
    for (std::size_t i = 0; i < in.size(); ++i)
        ASSERT_EQ(out[i], InvertSample(GainSample(in[i], 255, 3, 2), 255)) << "sample " << i;
}

TEST_F(FilterProcessTest, StepWithoutACopyReportsEverythingDone)
{
    CFilterProcess process(nullptr);
    long done = 0, total = 0;
    ExpectOk(process.Step(&done, &total));
    EXPECT_EQ(done, 1);
    EXPECT_EQ(total, 1);
    ExpectOk(process.End());
}

TEST_F(FilterProcessTest, ThirdFilterThatRefusesItsSourceLeavesTheFirstTwoDisconnected)
{
    IKelvraImage* source = Image(40, 40, kKelvraRGB8);
    GainFilter gain(Manager());
    InvertFilter invert(Manager());
    RefusingFilter refusing(Manager());
    IKelvraImage* destination = Destination();

    CFilterProcess process(&gain);
    process.AddFilter(&invert);
    process.AddFilter(&refusing);
    IKelvraError* error = process.Begin(source, destination);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->GetTag(), TlFilterId("FPrc"));
    EXPECT_TRUE(error->HasCode(kKelvraOperationFailed));
    IKelvraError::Release(error);
    EXPECT_FALSE(process.IsRunning());
    EXPECT_EQ(KelvraDestinationCount(source), 0);
    EXPECT_EQ(KelvraDestinationCount(&gain), 0);
    EXPECT_EQ(KelvraDestinationCount(&invert), 0);
    process.Clear();
}

TEST_F(FilterProcessTest, FilterThatFailsToMakeATileEndsTheRunDisconnected)
{
    IKelvraImage* source = Image(64, 64, kKelvraRGB8);
    GainFilter gain(Manager());
    FailingFilter failing(Manager());
    IKelvraImage* destination = Destination();

    CFilterProcess process(&gain);
    process.AddFilter(&failing);
    IKelvraError* error = process.Run(source, destination);
    ASSERT_NE(error, nullptr);
    EXPECT_EQ(error->GetTag(), TlFilterId("FPrc"));
    EXPECT_TRUE(error->HasCode(kKelvraWriteError));
    IKelvraError::Release(error);
    EXPECT_FALSE(process.IsRunning());
    EXPECT_EQ(KelvraDestinationCount(source), 0);
    EXPECT_EQ(KelvraDestinationCount(&gain), 0);
    process.Clear();
}

} // namespace
