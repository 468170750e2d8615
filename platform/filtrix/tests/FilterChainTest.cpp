#include "ExampleFilters.h"
#include "FilterTestSupport.h"

#include "kelvra/KelvraFilterChain.h"

namespace {

class FilterChainTest : public ::testing::Test {
protected:
    FilterChainTest()
    {
        ExpectOk(m_holder.manager->CreateFilterChain(&m_chain));
        m_image = MakePatternImage(m_holder.manager, 130, 70, kKelvraRGB8);
    }
    ~FilterChainTest() override
    {
        m_chain->Release();
        m_image->Release();
    }

    ManagerHolder m_holder;
    IKelvraFilterChain* m_chain = nullptr;
    IKelvraImage* m_image = nullptr;
};

TEST_F(FilterChainTest, EmptyChainShowsItsSourceAndPassesItsNews)
{
    RecordingDestination sink;
    ExpectOk(KelvraDataConnect(m_image, m_chain));
    ExpectOk(KelvraDataConnect(m_chain, &sink));
    EXPECT_EQ(ReadAllSamples(m_image), ReadAllSamples(m_chain));
    KelvraRect changed(1, 2, 3, 4);
    ExpectOk(KelvraSendDataNotification(m_image, kKelvraNotifyData, &changed));
    ASSERT_EQ(1u, sink.notices.size());
    EXPECT_EQ(changed, sink.notices[0].rect);
    ExpectOk(KelvraDataDisconnect(m_chain, &sink));
}

TEST_F(FilterChainTest, InsertRemoveAndFindOnALiveChain)
{
    GainFilter gain(m_holder.manager);
    InvertFilter invert(m_holder.manager);
    RecordingDestination sink;
    ExpectOk(KelvraDataConnect(m_image, m_chain));
    ExpectOk(KelvraDataConnect(m_chain, &sink));

    ExpectOk(m_chain->InsertFilter(&invert, -1));
    ExpectOk(m_chain->InsertFilter(&gain, 0));
    EXPECT_EQ(2, m_chain->GetFilterCount());
    EXPECT_EQ(0, m_chain->IndexOf(&gain));
    EXPECT_EQ(1, m_chain->FindNext(KelvraFourCC('I', 'n', 'v', 't'), 0));
    EXPECT_EQ(-1, m_chain->FindNext(KelvraFourCC('I', 'n', 'v', 't'), 2));
    EXPECT_EQ(&invert, m_chain->GetFilter(1));

    const std::vector<unsigned> input = ReadAllSamples(m_image);
    const std::vector<unsigned> output = ReadAllSamples(m_chain);
    for (std::size_t i = 0; i < input.size(); ++i)
        ASSERT_EQ(InvertSample(GainSample(input[i], 255, 2, 1), 255), output[i]);

    // News from the source arrive once, through the filters.
    KelvraRect changed(0, 0, 5, 5);
    ExpectOk(KelvraSendDataNotification(m_image, kKelvraNotifyData, &changed));
    EXPECT_EQ(1u, sink.notices.size());

    ExpectOk(m_chain->RemoveFilter(0));
    const std::vector<unsigned> inverted = ReadAllSamples(m_chain);
    for (std::size_t i = 0; i < input.size(); ++i)
        ASSERT_EQ(InvertSample(input[i], 255), inverted[i]);
    ExpectOk(m_chain->RemoveFilter(0));
    EXPECT_EQ(input, ReadAllSamples(m_chain));
    EXPECT_EQ(0, KelvraDestinationCount(&invert));

    ExpectOk(KelvraSendDataNotification(m_image, kKelvraNotifyData, &changed));
    EXPECT_EQ(2u, sink.notices.size()); // the empty chain passes news on once
    ExpectOk(KelvraDataDisconnect(m_chain, &sink));
}

TEST_F(FilterChainTest, RefusedInsertsLeaveTheChainAsItWas)
{
    GainFilter gain(m_holder.manager);
    ExpectOk(m_chain->InsertFilter(&gain, -1));
    for (long index : {-2L, 5L}) {
        GainFilter other(m_holder.manager);
        IKelvraError* error = m_chain->InsertFilter(&other, index);
        EXPECT_NE(nullptr, error);
        IKelvraError::Release(error);
        EXPECT_EQ(-1, m_chain->IndexOf(&other));
    }
    IKelvraError* twice = m_chain->InsertFilter(&gain, -1);
    EXPECT_NE(nullptr, twice);
    IKelvraError::Release(twice);
    EXPECT_EQ(1, m_chain->GetFilterCount());
}

TEST_F(FilterChainTest, ReleaseCutsLinksButKeepsFilters)
{
    GainFilter gain(m_holder.manager);
    ExpectOk(KelvraDataConnect(m_image, m_chain));
    ExpectOk(m_chain->InsertFilter(&gain, -1));
    m_chain->Release();
    ExpectOk(m_holder.manager->CreateFilterChain(&m_chain)); // for the fixture's own release
    EXPECT_EQ(0, gain.GetSourceCount());
    EXPECT_EQ(0, KelvraDestinationCount(m_image));
    EXPECT_EQ(0, KelvraDestinationCount(&gain));
}

TEST_F(FilterChainTest, ChainProcessRunsEveryFilter)
{
    GainFilter gain(m_holder.manager, 1, 2);
    InvertFilter invert(m_holder.manager);
    ExpectOk(m_chain->InsertFilter(&gain, -1));
    ExpectOk(m_chain->InsertFilter(&invert, -1));
    IKelvraImage* result = nullptr;
    ExpectOk(m_holder.manager->CreateImage(&result, 0));
    RunProcess(*m_chain, m_image, result);

    const std::vector<unsigned> input = ReadAllSamples(m_image);
    const std::vector<unsigned> output = ReadAllSamples(result);
    ASSERT_EQ(input.size(), output.size());
    for (std::size_t i = 0; i < input.size(); ++i)
        ASSERT_EQ(InvertSample(GainSample(input[i], 255, 1, 2), 255), output[i]);
    result->Release();
}

} // namespace

namespace {

TEST_F(FilterChainTest, DeletedFilterLeavesTheChainAndItsNeighboursCloseUp)
{
    GainFilter first(m_holder.manager);
    auto* middle = new InvertFilter(m_holder.manager);
    GainFilter last(m_holder.manager, 1, 2);
    ExpectOk(KelvraDataConnect(m_image, m_chain));
    for (IKelvraFilter* filter : std::vector<IKelvraFilter*>{&first, middle, &last})
        ExpectOk(m_chain->InsertFilter(filter, -1));

    delete middle;
    ASSERT_EQ(2, m_chain->GetFilterCount());
    EXPECT_EQ(&last, m_chain->GetFilter(1));
    EXPECT_TRUE(KelvraIsConnected(&first, &last));
    const std::vector<unsigned> input = ReadAllSamples(m_image);
    const std::vector<unsigned> output = ReadAllSamples(m_chain);
    for (std::size_t i = 0; i < input.size(); ++i)
        ASSERT_EQ(GainSample(GainSample(input[i], 255, 2, 1), 255, 1, 2), output[i]);
}

} // namespace

namespace {

TEST_F(FilterChainTest, WholeInputFilterReadsAnIntermediateImageInARun)
{
    GainFilter first(m_holder.manager, 1, 2);
    GainFilter whole(m_holder.manager, 3, 1, 0);
    ExpectOk(m_chain->InsertFilter(&first, -1));
    ExpectOk(m_chain->InsertFilter(&whole, -1));
    IKelvraImage* result = nullptr;
    ExpectOk(m_holder.manager->CreateImage(&result, 0));
    RunProcess(*m_chain, m_image, result);

    // The first stage reads the source itself; the whole-input one an image of the first's output.
    EXPECT_EQ(static_cast<IKelvraDataSource*>(m_image), first.lastRunSource.load());
    IKelvraDataSource* intermediate = whole.lastRunSource.load();
    EXPECT_NE(static_cast<IKelvraDataSource*>(m_image), intermediate);
    EXPECT_TRUE(whole.lastRunReadImage.load());
    const std::vector<unsigned> input = ReadAllSamples(m_image);
    const std::vector<unsigned> output = ReadAllSamples(result);
    for (std::size_t i = 0; i < input.size(); ++i)
        ASSERT_EQ(GainSample(GainSample(input[i], 255, 1, 2), 255, 3, 1), output[i]);
    result->Release();
}

} // namespace
