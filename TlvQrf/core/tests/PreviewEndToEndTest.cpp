// A synthetic raw file opened through the image control as a host opens
// it, with the real preview chain, on the library's own filters.
#include "DevelopEnvironment.h"

#include "FilterTestSupport.h"
#include "chain/TlCadraFilterChain.h"
#include "kelvra/KelvraFilterChain.h"

#include <gtest/gtest.h>

namespace {

constexpr long kWidth = 480;
constexpr long kHeight = 320;

class PreviewEndToEnd : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_environment.IsReady());
        m_raw = m_environment.WriteRaw("scene.qrf", SceneOptions(kWidth, kHeight));
        ASSERT_FALSE(m_raw.empty());
    }

    // The control over the raw file with its preview chain built.
    SOpenedRaw Open()
    {
        SOpenedRaw opened = m_environment.Open(m_raw);
        EXPECT_NE(nullptr, opened.control);
        if (opened.control == nullptr)
            return opened;
        IKelvraFilterChain* chain = nullptr;
        IKelvraError* error = opened.control->GetFilterChain(&chain);
        EXPECT_EQ(nullptr, error);
        IKelvraError::Release(error);
        EXPECT_NE(nullptr, chain);
        return opened;
    }

    CDevelopEnvironment m_environment;
    std::string m_raw;
};

} // namespace

TEST_F(PreviewEndToEnd, RawFileOpenedThroughTheControlFeedsItsPreviewChain)
{
    SOpenedRaw opened = Open();
    CTlvQrfControl* control = opened.control.get();
    ASSERT_NE(nullptr, control);
    auto* chain = dynamic_cast<CTlCadraFilterChain*>(control->GetEditChain());
    ASSERT_NE(nullptr, chain);
    EXPECT_TRUE(chain->IsBuilt());
    EXPECT_TRUE(control->IsReady());
    long width = 0, height = 0;
    ExpectOk(control->images.image->GetSize(&width, &height), "size");
    EXPECT_EQ(kWidth, width);
    EXPECT_EQ(kHeight, height);
}
