// A host makes image controls through the library's export and releases
// them with Destroy.
#include "control/TlvQrfData.h"

#include <gtest/gtest.h>

TEST(ControlHost, CreateObjectGivesAControlThatDestroysItself)
{
    ITlvQrfData* control = nullptr;
    ASSERT_EQ(0u, ITlvQrfData::CreateObject(&control));
    ASSERT_NE(nullptr, control);
    EXPECT_NE(nullptr, control->GetImageAttributes());
    EXPECT_EQ(nullptr, control->GetEditChain());
    EXPECT_FALSE(control->IsReady());
    EXPECT_EQ(4104u, control->DisConnect(nullptr));
    EXPECT_EQ(nullptr, control->Cleanup(false));
    control->Destroy();
}
