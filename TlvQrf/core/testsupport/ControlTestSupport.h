// A preview chain object with programmable statuses that records what the
// image control asks of it, and the fixture that drives a control against
// it with tags, an image and a profiles folder of its own.
#pragma once

#include "qrfsynth/QrfCapture.h"
#include "RawTestTags.h"
#include "control/TlPreviewChain.h"
#include "control/TlvQrfControl.h"
#include "kelvra/KelvraFilterChain.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"
#include "params/TlvParamSet.h"
#include "params/TlvParamSetMaker.h"
#include "support/CommonFilesSandbox.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <new>
#include <string>
#include <vector>

namespace control_test {

// What the next chain object does, and what every chain object did.
struct ChainScript {
    bool makeNone = false;          // the factory answers null
    bool throwOnMake = false;       // the factory runs out of memory
    int build = 0;
    std::deque<int> updates;        // statuses of the next updates; then 0
    int connect = 0;
    int disconnect = 0;
    int channelOrder = 0;
    int scaleMethod = 0;
    std::uint32_t sizeMode = 1;
    IKelvraFilterChain* chain = nullptr; // what GetChain answers
    IKelvraError* failure = nullptr;     // what TakeFailure hands over, once

    std::vector<std::string> calls;
    std::vector<std::uint32_t> updateChanges;
    std::vector<double> updateScales;
    std::vector<void*> updateContexts;
    std::vector<std::int32_t> updateRotations; // of the parameter set
    std::vector<bool> updateAdjustPresent;
    STlOutputColour colour;
    bool colourManagement = true;
    std::uint32_t userWidth = 0;
    std::uint32_t userHeight = 0;
    std::string monitorProfile;
    int made = 0;
    int destroyed = 0;

    bool Called(const std::string& call) const
    {
        for (const std::string& c : calls) {
            if (c == call)
                return true;
        }
        return false;
    }
    // Position of the first call, calls.size() when none.
    std::size_t IndexOf(const std::string& call) const
    {
        for (std::size_t i = 0; i < calls.size(); ++i) {
            if (calls[i] == call)
                return i;
        }
        return calls.size();
    }
};

class FakeChain : public ITlPreviewChain {
public:
    explicit FakeChain(ChainScript& script) : m_script(script) { ++m_script.made; }
    ~FakeChain() override { ++m_script.destroyed; }

    void SetMode(std::uint32_t mode) override { Log("SetMode " + std::to_string(mode)); }
    IKelvraFilterChain* GetChain() const override { return m_script.chain; }
    bool IsBuilt() const override { return m_built; }
    bool SetSizeMode(std::uint32_t mode) override
    {
        Log("SetSizeMode " + std::to_string(mode));
        const bool changed = mode != m_script.sizeMode;
        m_script.sizeMode = mode;
        return changed;
    }
    std::uint32_t GetSizeMode() const override { return m_script.sizeMode; }
    int SetChannelOrder(bool order) override
    {
        Log(std::string("SetChannelOrder ") + (order ? "1" : "0"));
        return m_script.channelOrder;
    }
    int SetScaleMethod(std::uint32_t method) override
    {
        Log("SetScaleMethod " + std::to_string(method));
        return m_script.scaleMethod;
    }
    int SetCacheUsage(std::uint32_t policy) override
    {
        Log("SetCacheUsage " + std::to_string(policy));
        return 0;
    }
    void SetOutputColour(const STlOutputColour& colour) override
    {
        Log("SetOutputColour");
        m_script.colour = colour;
    }
    void SetColourManagement(bool enabled) override
    {
        Log(std::string("SetColourManagement ") + (enabled ? "1" : "0"));
        m_script.colourManagement = enabled;
    }
    void SetUserSize(std::uint32_t width, std::uint32_t height) override
    {
        Log("SetUserSize");
        m_script.userWidth = width;
        m_script.userHeight = height;
    }
    void SetMonitorProfile(const KelvraFile& profile) override { m_script.monitorProfile = profile.path; }
    int Build(IKelvraManager*, IKelvraDataSource*, IKelvraDataDestination*) override
    {
        Log("Build");
        m_built = m_script.build == 0;
        return m_script.build;
    }
    int Update(CTlvParamSet& params, std::uint32_t changes, double viewScale, int, void* progress) override
    {
        Log("Update");
        m_script.updateChanges.push_back(changes);
        m_script.updateScales.push_back(viewScale);
        m_script.updateContexts.push_back(progress);
        m_script.updateRotations.push_back(params.rotation);
        m_script.updateAdjustPresent.push_back(params.adjust != nullptr);
        if (m_script.updates.empty())
            return 0;
        const int status = m_script.updates.front();
        m_script.updates.pop_front();
        return status;
    }
    int Connect(IKelvraDataDestination*) override
    {
        Log("Connect");
        return m_script.connect;
    }
    int Disconnect(IKelvraDataDestination*) override
    {
        Log("Disconnect");
        return m_script.disconnect;
    }
    IKelvraError* TakeFailure() override
    {
        IKelvraError* failure = m_script.failure;
        m_script.failure = nullptr;
        return failure;
    }

private:
    void Log(const std::string& call) { m_script.calls.push_back(call); }

    ChainScript& m_script;
    bool m_built = false;
};

inline ChainScript*& CurrentScript()
{
    static ChainScript* script = nullptr;
    return script;
}

inline ITlPreviewChain* MakeFakeChain(IKelvraManager*)
{
    ChainScript* script = CurrentScript();
    if (script == nullptr || script->makeNone)
        return nullptr;
    if (script->throwOnMake)
        throw std::bad_alloc();
    return new FakeChain(*script);
}

struct ReleaseManager {
    void operator()(IKelvraManager* manager) const { manager->Release(); }
};
struct ReleaseImage {
    void operator()(IKelvraImage* image) const { image->Release(); }
};

// The error's code, or 0 for success; the error is released.
inline long CodeOf(IKelvraError* error)
{
    const long code = error != nullptr ? error->GetCode() : 0;
    IKelvraError::Release(error);
    return code;
}

class ControlFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_profiles.IsReady());
        InstallParamSetMaker();
        CurrentScript() = &script;
        m_oldFactory = SetPreviewChainFactory(&MakeFakeChain);
        IKelvraManager* manager = nullptr;
        ASSERT_EQ(nullptr, IKelvraManager::_CreateKelvraManager(0, nullptr, 0, 0, 0, &manager));
        m_manager.reset(manager);
        tags = raw_test::MakeTags();
        ASSERT_EQ(nullptr, QrfFillTags(options, tags.get()));
        ASSERT_EQ(nullptr, manager->CreateFilterChain(&script.chain));
    }
    void TearDown() override
    {
        if (control != nullptr)
            control->Destroy();
        control = nullptr;
        if (script.chain != nullptr)
            script.chain->Release();
        m_images.clear();
        SetPreviewChainFactory(m_oldFactory);
        CurrentScript() = nullptr;
    }

    IKelvraManager* Manager() const { return m_manager.get(); }
    // A new image of the given format and size, kept until the test ends.
    IKelvraImage* Image(KelvraPixelFormat format, long width = 192, long height = 128)
    {
        IKelvraImage* image = nullptr;
        EXPECT_EQ(nullptr, m_manager->CreateImage(&image));
        EXPECT_EQ(nullptr, image->SetSize(width, height));
        EXPECT_EQ(nullptr, image->SetColorSpace(format));
        m_images.emplace_back(image);
        return image;
    }
    // A control made by the factory; the fixture destroys it.
    CTlvQrfControl& NewControl()
    {
        ITlvQrfData* data = nullptr;
        EXPECT_EQ(0u, CreateQrfControl(&data));
        control = static_cast<CTlvQrfControl*>(data);
        return *control;
    }
    // A control initialised with an image and the tags.
    // Its geometry is the image's, as a load leaves it.
    CTlvQrfControl& InitialisedControl(KelvraPixelFormat format = kKelvraRGB16)
    {
        CTlvQrfControl& c = NewControl();
        c.geometry = CTlGeometryState(192, 128, nullptr, 300.0);
        EXPECT_EQ(0, CodeOf(c.Initialize(Manager(), Image(format), tags.get())));
        return c;
    }
    // The same with its chain built.
    CTlvQrfControl& ControlWithChain(KelvraPixelFormat format = kKelvraRGB16)
    {
        CTlvQrfControl& c = InitialisedControl(format);
        IKelvraFilterChain* chain = nullptr;
        EXPECT_EQ(0, CodeOf(c.GetFilterChain(&chain)));
        return c;
    }

    // The control's own profiles folder.
    const TempProfilesFolder& Profiles() const { return m_profiles; }

    QrfRawOptions options;
    PellioTagsPtr tags;
    ChainScript script;
    CTlvQrfControl* control = nullptr;

private:
    TempProfilesFolder m_profiles;
    TlPreviewChainFactory m_oldFactory = nullptr;
    std::unique_ptr<IKelvraManager, ReleaseManager> m_manager;
    std::vector<std::unique_ptr<IKelvraImage, ReleaseImage>> m_images;
};

} // namespace control_test
