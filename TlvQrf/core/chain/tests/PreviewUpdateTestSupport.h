// What the preview update's tests share: a preview chain built on the
// raw-file maker's synthetic picture, with the profiles its colour stages
// convert through, and updates from the picture's settings as they stand.
#pragma once

#include "DevelopTestSupport.h"
#include "PreviewProfilesSupport.h"

#include "chain/TlCadraFilterChain.h"
#include "chain/TlPreviewUpdate.h"
#include "colour/TlGeneratedProfileHolds.h"
#include "filtrix/KelvraFilterBase.h"
#include "kelvra/KelvraManager.h"
#include "params/TlvParamSet.h"
#include "watcher/TlFileSavingUtilities.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>

class PreviewUpdateFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_folder.IsReady());
        InstallPreviewProfiles(m_folder);
        ASSERT_EQ(nullptr, IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, &m_manager));
    }
    void TearDown() override
    {
        chain.reset();
        picture.reset();
        if (m_manager != nullptr)
            m_manager->Release();
        ReleaseGeneratedProfileHolds(); // as the library's close: the profiles folder can go
    }

    // A chain of `mode` built on a new synthetic picture of `model`.
    CTlCadraFilterChain& Built(std::uint32_t mode = 0, std::uint32_t model = 257, long width = 192,
                               long height = 128)
    {
        chain.reset();
        picture.reset(new develop_test::SyntheticPicture(m_manager, model, width, height));
        chain.reset(new CTlCadraFilterChain());
        chain->SetMode(mode);
        EXPECT_EQ(0, chain->BuildPreviewChain(m_manager, picture->Image(), nullptr));
        return *chain;
    }
    CTlvSettingsHolder& Holder() { return picture->holder; }
    // One update from a fresh parameter set of the picture's settings.
    int Update(std::uint32_t changes, double scale = 1.0, TlChainProgressCallback progress = nullptr)
    {
        std::unique_ptr<CTlvParamSet> params = picture->Params();
        if (tweak)
            tweak(*params);
        return chain->UpdatePreviewChain(params.get(), changes, scale, grid, progress);
    }
    bool IsOn(int slot) const
    {
        const CKelvraFilterBase* filter = chain->GetSlot(slot);
        return filter != nullptr && filter->IsEnabled();
    }
    std::set<int> EnabledSlots() const
    {
        std::set<int> slots;
        for (int slot = 0; slot < TlChainSlots::kSlotCount; ++slot) {
            if (IsOn(slot))
                slots.insert(slot);
        }
        return slots;
    }
    template <typename Filter>
    Filter* SlotAs(int slot) const
    {
        return dynamic_cast<Filter*>(chain->GetSlot(slot));
    }
    IKelvraManager* Manager() const { return m_manager; }
    const TempProfilesFolder& Folder() const { return m_folder; }

    std::unique_ptr<develop_test::SyntheticPicture> picture;
    std::unique_ptr<CTlCadraFilterChain> chain;
    // What the updates' parameter sets get beyond the picture's settings.
    std::function<void(CTlvParamSet&)> tweak;
    bool grid = false;

private:
    TempProfilesFolder m_folder;
    CTlFileSavingUtilities m_watcher; // the colour engines and the gamma caches
    IKelvraManager* m_manager = nullptr;
};
