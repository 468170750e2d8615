// A host makes image controls through the library's export and releases
// them with Destroy.
#include "control/TlvQrfData.h"
#include "kelvra/KelvraError.h"

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

// An error chain the library makes is one of the host's framework: the host
// counts it and frees it through the framework's release call.
TEST(ControlHost, AnErrorOfTheLibraryIsReleasedThroughTheHostsFramework)
{
    ITlvQrfData* control = nullptr;
    ASSERT_EQ(0u, ITlvQrfData::CreateObject(&control));
    const long live = IKelvraError::LiveCount();
    TlvQrfLib::strTlnModeParam mode{};
    mode.size = sizeof mode;
    mode.previewMode = 9; // no such mode
    IKelvraError* error = control->SetMode(&mode);
    ASSERT_NE(nullptr, error);
    EXPECT_EQ(live + 1, IKelvraError::LiveCount());
    IKelvraError::Release(error);
    EXPECT_EQ(live, IKelvraError::LiveCount());
    control->Destroy();
}
