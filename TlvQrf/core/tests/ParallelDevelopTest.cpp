// The library's development chains as process runs on many threads: the
// full-resolution chain and the reduced rendition (a save's preview), 8- and
// 16-bit, over synthetic raw pictures whose sizes end inside a tile, make
// on every core exactly what they make on one thread.
#include "DevelopEnvironment.h"
#include "DevelopTestSupport.h"
#include "ProcessRunCheck.h"
#include "fullres/TlFullResState.h"
#include "fullres/TlProcessingChain.h"
#include "kelvra/KelvraFilterChain.h"

#include <gtest/gtest.h>

using namespace develop_test;

namespace {

class ParallelDevelopTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_environment.IsReady()); }
    void TearDown() override
    {
        ReleaseFullResState();
        KelvraSetWorkerThreads(0);
    }

    CDevelopEnvironment m_environment;
};

TEST_F(ParallelDevelopTest, ChainsMakeOnEveryCoreWhatTheyMakeOnOneThread)
{
    const struct {
        long width, height;
    } sizes[] = {{333, 221}, {517, 389}};
    for (const auto& size : sizes) {
        SyntheticPicture picture(m_environment.Manager(), 258, size.width, size.height);
        for (std::uint32_t layout : {0u, 1u}) {
            for (bool reduced : {false, true}) {
                SCOPED_TRACE(testing::Message() << size.width << " x " << size.height << (layout ? ", 16" : ", 8")
                                                << "-bit" << (reduced ? ", reduced rendition" : ", full size"));
                ReleaseFullResState();
                FullResState().channelLayout = layout;
                std::unique_ptr<CTlvParamSet> params = picture.Params();
                params->ReadImageTags();
                ASSERT_EQ(kTlChainComplete,
                          BuildProcessingChain(m_environment.Manager(), *params, reduced, 1.0, reduced ? 160 : 0));
                ASSERT_NE(FullResState().chain, nullptr);
                ExpectManyThreadsMakeWhatOneMakes(m_environment.Manager(), *FullResState().chain, picture.Image());
            }
        }
    }
}

} // namespace
