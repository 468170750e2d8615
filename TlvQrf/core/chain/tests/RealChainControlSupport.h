// The image control driven with the real preview chain: its profiles folder
// holds what the chain's colour stages convert through, put in force as the
// library's start-up would.
#pragma once

#include "ControlTestSupport.h"
#include "PreviewProfilesSupport.h"

#include "chain/TlCadraFilterChain.h"
#include "colour/TlGeneratedProfileHolds.h"
#include "lib/TlLibraryState.h"
#include "watcher/TlFileSavingUtilities.h"

class RealChainControlFixture : public control_test::ControlFixture {
protected:
    void SetUp() override
    {
        ControlFixture::SetUp();
        InstallPreviewProfiles(Profiles());
        // As the library's start-up leaves them: the control keeps them.
        SetColourPathsReady(true);
        m_previous = SetPreviewChainFactory(&CreateCadraFilterChain);
    }
    void TearDown() override
    {
        ControlFixture::TearDown();
        SetPreviewChainFactory(m_previous);
        SetColourPathsReady(false);
        ReleaseGeneratedProfileHolds(); // as the library's close: the profiles folder can go
    }

    static CTlCadraFilterChain* Chain(CTlvQrfControl& c)
    {
        return dynamic_cast<CTlCadraFilterChain*>(c.GetEditChain());
    }

    // The colour engines and the library's gamma caches live in the file
    // watcher.
    CTlFileSavingUtilities m_watcher;
    TlPreviewChainFactory m_previous = nullptr;
};
