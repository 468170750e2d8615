// A synthetic raw file opened through the image control as a host opens
// it feeds the real preview chain.
#include "PreviewEndToEndSupport.h"

using namespace preview_test;

TEST_F(PreviewEndToEnd, RawFileOpenedThroughTheControlFeedsItsPreviewChain)
{
    SOpenedRaw opened = Open();
    CTlvQrfControl* control = opened.control.get();
    ASSERT_NE(nullptr, control);
    auto* chain = dynamic_cast<CTlCadraFilterChain*>(control->GetEditChain());
    ASSERT_NE(nullptr, chain);
    EXPECT_TRUE(chain->IsBuilt());
    EXPECT_TRUE(control->IsReady());
    EXPECT_NE(0, control->rawFlag);
    long width = 0, height = 0;
    ExpectOk(control->images.image->GetSize(&width, &height), "size");
    EXPECT_EQ(kWidth, width);
    EXPECT_EQ(kHeight, height);
}
