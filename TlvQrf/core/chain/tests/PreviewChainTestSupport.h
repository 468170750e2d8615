// What the preview chain's tests share: a manager, a pattern image to feed
// the chain, the file watcher that holds the library's gamma caches, and a
// chain that is torn down after each test.
#pragma once

#include "chain/TlCadraFilterChain.h"

#include "FilterTestSupport.h"

#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"
#include "watcher/TlFileSavingUtilities.h"

#include <gtest/gtest.h>

class PreviewChainFixture : public ::testing::Test {
protected:
    explicit PreviewChainFixture(KelvraPixelFormat format) : m_format(format) {}

    void SetUp() override
    {
        ASSERT_EQ(nullptr, IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, &m_manager));
        m_image = MakePatternImage(m_manager, 40, 30, m_format);
        ASSERT_NE(m_image, nullptr);
    }
    void TearDown() override
    {
        m_chain.ReleaseChain();
        if (m_image != nullptr)
            m_image->Release();
        if (m_manager != nullptr)
            m_manager->Release();
    }

    int Build(CTlCadraFilterChain& chain, IKelvraDataDestination* destination = nullptr)
    {
        return chain.BuildPreviewChain(m_manager, m_image, destination);
    }

    CTlFileSavingUtilities m_watcher;
    KelvraPixelFormat m_format;
    IKelvraManager* m_manager = nullptr;
    IKelvraImage* m_image = nullptr;
    CTlCadraFilterChain m_chain;
};
