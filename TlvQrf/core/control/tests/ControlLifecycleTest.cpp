// The control's life against the fake chain: each case is a sequence of
// host calls with the result each must give.
#include "ControlTestSupport.h"

#include "control/TlControlCodes.h"
#include "lib/TlLibraryState.h"
#include "settings/holders/TlvCoreHooks.h"

#include <functional>

namespace {

using namespace control_test;

enum class Op {
    InitImage,     // Initialize(manager, 16-bit RGB image, tags)
    InitGrey,      // ... with an 8-bit grey image
    InitGrey16,
    InitFourColour,
    InitTagsOnly,  // Initialize(null, null, tags)
    InitNoManager, // Initialize(null, image, tags)
    InitNoTags,    // Initialize(manager, image, null)
    GetChain,      // GetFilterChain(&out)
    GetChainNoOut, // GetFilterChain(null)
    InitFilterChain,
    Connect,
    DisConnect,
    Update,        // Update(0x80, false, null)
    SetRotation,   // SetRotation(90)
    SetRawOption,  // the colour-management option: a setter with an update
    Cleanup,       // Cleanup(false)
    CleanupKeep,   // Cleanup(true)
    HasChain,      // 1 when GetEditChain answers a chain object
    IsReady,
    BuildSucceeds, // the next chain object builds
    NextUpdate17,  // the next preview update finds another one running
};

struct Step {
    Op op;
    long expected;
};

struct LifecycleCase {
    const char* name;
    std::function<void(ChainScript&)> script;
    std::vector<Step> steps;
};

void NoScript(ChainScript&) {}

const LifecycleCase kCases[] = {
    {"FullRoad", NoScript,
     {{Op::InitImage, 0}, {Op::GetChain, 0}, {Op::IsReady, 1}, {Op::Connect, 0}, {Op::SetRotation, 0},
      {Op::Update, 0}, {Op::DisConnect, 0}, {Op::Cleanup, 0}, {Op::HasChain, 0}, {Op::IsReady, 0}}},
    {"TagsOnlyAnswersButBuildsNoChain", NoScript, {{Op::InitTagsOnly, 0}, {Op::GetChain, 11000}}},
    {"ImageWithoutManager", NoScript, {{Op::InitNoManager, 1014}, {Op::GetChain, 11000}}},
    {"ImageWithoutTags", NoScript, {{Op::InitNoTags, 1014}}},
    {"NoChainBeforeInitialize", NoScript, {{Op::GetChain, 11000}, {Op::HasChain, 0}}},
    {"SecondInitializeNeedsCleanup", NoScript,
     {{Op::InitImage, 0}, {Op::InitImage, 11000}, {Op::CleanupKeep, 0}, {Op::InitImage, 11000},
      {Op::Cleanup, 0}, {Op::InitImage, 0}}},
    {"GreyImageRefusedButInitialised", NoScript, {{Op::InitGrey, 1013}, {Op::InitImage, 11000}}},
    {"SixteenBitGreyRefused", NoScript, {{Op::InitGrey16, 1013}}},
    {"FourColourImageRefused", NoScript, {{Op::InitFourColour, 1013}}},
    {"NullOutPointer", NoScript, {{Op::InitImage, 0}, {Op::GetChainNoOut, 1014}, {Op::HasChain, 0}}},
    {"SinksBeforeTheChain", NoScript,
     {{Op::InitImage, 0}, {Op::Connect, 0}, {Op::DisConnect, 4104}, {Op::Update, 4104}}},
    {"FactoryMakesNothing", [](ChainScript& s) { s.makeNone = true; },
     {{Op::InitImage, 0}, {Op::GetChain, 1005}, {Op::HasChain, 0}}},
    {"FactoryOutOfMemory", [](ChainScript& s) { s.throwOnMake = true; },
     {{Op::InitImage, 0}, {Op::GetChain, 1007}, {Op::HasChain, 0}}},
    {"FailedBuildLeavesNoChainAndRetries", [](ChainScript& s) { s.build = 3; },
     {{Op::InitImage, 0}, {Op::GetChain, 1005}, {Op::HasChain, 0}, {Op::BuildSucceeds, 0}, {Op::GetChain, 0},
      {Op::HasChain, 1}}},
    {"FailedFirstUpdateLeavesNoChain", [](ChainScript& s) { s.updates = {9}; },
     {{Op::InitImage, 0}, {Op::GetChain, 11003}, {Op::HasChain, 0}}},
    {"SecondGetChainKeepsTheChain", NoScript,
     {{Op::InitImage, 0}, {Op::GetChain, 0}, {Op::GetChain, 0}, {Op::HasChain, 1}}},
    {"InitializeFilterChainDoesBoth", NoScript, {{Op::InitFilterChain, 0}, {Op::HasChain, 1}, {Op::IsReady, 1}}},
    {"InitializeFilterChainOnABuiltControl", NoScript,
     {{Op::InitImage, 0}, {Op::GetChain, 0}, {Op::InitFilterChain, 0}, {Op::HasChain, 1}}},
    {"InitializeFilterChainWithoutAChain", [](ChainScript& s) { s.makeNone = true; },
     {{Op::InitFilterChain, 4099}, {Op::HasChain, 0}}},
    {"BusyChainIsNoFailureForUpdate", NoScript,
     {{Op::InitImage, 0}, {Op::GetChain, 0}, {Op::NextUpdate17, 0}, {Op::Update, 0}}},
    {"BusyChainFailsASetter", NoScript,
     {{Op::InitImage, 0}, {Op::GetChain, 0}, {Op::NextUpdate17, 0}, {Op::SetRawOption, 1007}}},
    {"CleanupKeepDropsOnlyTheChain", NoScript,
     {{Op::InitImage, 0}, {Op::GetChain, 0}, {Op::CleanupKeep, 0}, {Op::HasChain, 0}, {Op::GetChain, 0},
      {Op::HasChain, 1}}},
    {"ConnectStatusMapped", [](ChainScript& s) { s.connect = 3; },
     {{Op::InitImage, 0}, {Op::GetChain, 0}, {Op::Connect, 4099}}},
    {"DisConnectStatusMapped", [](ChainScript& s) { s.disconnect = 5; },
     {{Op::InitImage, 0}, {Op::GetChain, 0}, {Op::DisConnect, 4104}}},
};

class ControlLifecycle : public ControlFixture, public ::testing::WithParamInterface<LifecycleCase> {
protected:
    long Run(Op op)
    {
        CTlvQrfControl& c = *control;
        IKelvraFilterChain* chain = nullptr;
        switch (op) {
        case Op::InitImage: return CodeOf(c.Initialize(Manager(), Image(kKelvraRGB16), tags.get()));
        case Op::InitGrey: return CodeOf(c.Initialize(Manager(), Image(kKelvraGrey8), tags.get()));
        case Op::InitGrey16: return CodeOf(c.Initialize(Manager(), Image(kKelvraGrey16), tags.get()));
        case Op::InitFourColour: return CodeOf(c.Initialize(Manager(), Image(kKelvraCMYK8), tags.get()));
        case Op::InitTagsOnly: return CodeOf(c.Initialize(nullptr, nullptr, tags.get()));
        case Op::InitNoManager: return CodeOf(c.Initialize(nullptr, Image(kKelvraRGB16), tags.get()));
        case Op::InitNoTags: return CodeOf(c.Initialize(Manager(), Image(kKelvraRGB16), nullptr));
        case Op::GetChain: return CodeOf(c.GetFilterChain(&chain));
        case Op::GetChainNoOut: return CodeOf(c.GetFilterChain(nullptr));
        case Op::InitFilterChain: return static_cast<long>(c.InitializeFilterChain(Image(kKelvraRGB16), tags.get(), 0));
        case Op::Connect: return static_cast<long>(c.Connect(nullptr));
        case Op::DisConnect: return static_cast<long>(c.DisConnect(nullptr));
        case Op::Update: return static_cast<long>(c.Update(ITlvQrfData::eWhiteBalance, false, nullptr));
        case Op::SetRotation: return static_cast<long>(c.SetRotation(90));
        case Op::SetRawOption: {
            TlvQrfLib::strTlnColourOption value{sizeof value, 0, {}};
            TlvQrfLib::strTlnRawOption option{sizeof option, 4, &value};
            return CodeOf(c.SetRawOption(&option));
        }
        case Op::Cleanup: return CodeOf(c.Cleanup(false));
        case Op::CleanupKeep: return CodeOf(c.Cleanup(true));
        case Op::HasChain: return c.GetEditChain() != nullptr ? 1 : 0;
        case Op::IsReady: return c.IsReady() ? 1 : 0;
        case Op::BuildSucceeds: script.build = 0; return 0;
        case Op::NextUpdate17: script.updates.push_back(17); return 0;
        }
        return -1;
    }
};

TEST_P(ControlLifecycle, EachCallGivesItsResult)
{
    TlvQrfLib::SetGlobalManager(Manager());
    GetParam().script(script);
    NewControl();
    for (std::size_t i = 0; i < GetParam().steps.size(); ++i) {
        const Step& step = GetParam().steps[i];
        EXPECT_EQ(step.expected, Run(step.op)) << "step " << i;
    }
    control->Destroy();
    control = nullptr;
    EXPECT_EQ(script.made, script.destroyed) << "every chain object goes";
}

INSTANTIATE_TEST_SUITE_P(Cases, ControlLifecycle, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<LifecycleCase>& info) { return info.param.name; });

using ControlStatusMaps = ControlFixture;

// Chain status to result code, as Update, Connect and DisConnect give it:
// the LCh filters' table failures (13 to 16) are failures too.
TEST_F(ControlStatusMaps, StatusToCode)
{
    const struct {
        int status;
        unsigned long code;
    } rows[] = {{0, 0},     {1, 4104},  {2, 4104},  {3, 4099}, {4, 4104},  {5, 4104}, {6, 4104},  {7, 4104},
                {8, 4104},  {9, 4104},  {10, 4104}, {11, 4104}, {12, 4104}, {13, 4104}, {16, 4104}, {17, 0},
                {18, 0},    {-1, 4104}};
    CTlvQrfControl& c = ControlWithChain();
    for (const auto& row : rows) {
        script.updates = {row.status};
        script.connect = script.disconnect = row.status;
        EXPECT_EQ(row.code, c.Update(ITlvQrfData::eDetail, false, nullptr)) << "update status " << row.status;
        EXPECT_EQ(row.code, c.Connect(nullptr)) << "connect status " << row.status;
        EXPECT_EQ(row.code, c.DisConnect(nullptr)) << "disconnect status " << row.status;
    }
}

// Chain status to error code, as the build and the setters give it.
TEST_F(ControlStatusMaps, StatusToError)
{
    const struct {
        int status;
        long error;
    } rows[] = {{0, 0},      {1, 1007},  {2, 1014},   {3, 1005},   {4, 11000}, {5, 11000}, {6, 1004},
                {7, 11004},  {8, 11005}, {9, 11003},  {10, 11006}, {11, 1007}, {17, 1007}, {-2, 1007}};
    for (const auto& row : rows) {
        ChainScript built;
        built.build = row.status;
        built.chain = script.chain;
        CurrentScript() = &built;
        CTlvQrfControl& c = InitialisedControl();
        IKelvraFilterChain* chain = nullptr;
        EXPECT_EQ(row.error, CodeOf(c.GetFilterChain(&chain))) << "build status " << row.status;
        EXPECT_EQ(row.status == 0, c.GetEditChain() != nullptr);
        if (c.GetEditChain() != nullptr) {
            built.updates = {row.status};
            TlvQrfLib::strTlnColourOption value{sizeof value, 0, {}};
            TlvQrfLib::strTlnRawOption option{sizeof option, 4, &value};
            EXPECT_EQ(0, CodeOf(c.SetRawOption(&option)));
        }
        control->Destroy();
        control = nullptr;
        CurrentScript() = &script;
    }
    // And from a setter's update on a built chain.
    CTlvQrfControl& c = ControlWithChain();
    for (const auto& row : rows) {
        script.updates = {row.status};
        TlvQrfLib::strTlnColourOption value{sizeof value, 1, {}};
        TlvQrfLib::strTlnRawOption option{sizeof option, 4, &value};
        EXPECT_EQ(row.error, CodeOf(c.SetRawOption(&option))) << "update status " << row.status;
    }
}

// A chain that cannot be built or updated hands the control its failure;
// the host gets it after the control's own error, which stays first.
TEST_F(ControlStatusMaps, AFailedChainsCauseFollowsTheControlsError)
{
    const struct {
        const char* name;
        int build;
        int update;
        long error;
    } rows[] = {{"build", 7, 0, 11004}, {"first update", 0, 9, 11003}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ChainScript built;
        built.build = row.build;
        built.updates = {row.update};
        built.chain = script.chain;
        built.failure = IKelvraError::Add(nullptr, KelvraFourCC('F', 'l', 't', 'r'), 12, kKelvraCategoryKelvra, 3000);
        CurrentScript() = &built;
        CTlvQrfControl& c = InitialisedControl();
        IKelvraFilterChain* chain = nullptr;
        IKelvraError* error = c.GetFilterChain(&chain);
        ASSERT_NE(nullptr, error);
        EXPECT_EQ(row.error, error->GetCode());
        const IKelvraError* cause = error->GetNext() != nullptr ? error->GetNext()->GetInner() : nullptr;
        ASSERT_NE(nullptr, cause) << "the chain's failure follows";
        EXPECT_EQ(KelvraFourCC('F', 'l', 't', 'r'), cause->GetTag());
        EXPECT_EQ(3000, cause->GetCode());
        EXPECT_EQ(nullptr, built.failure) << "taken from the chain object";
        IKelvraError::Release(error);
        control->Destroy();
        control = nullptr;
        CurrentScript() = &script;
    }
}

using ControlCreation = ControlFixture;

class ThrowingEngines : public ITlvEngineMaker {
public:
    ITlvSettingsEngine* MakeEngine() override { throw std::bad_alloc(); }
};

TEST_F(ControlCreation, OutOfMemoryLeavesTheOutPointer)
{
    ThrowingEngines engines;
    TlvCoreHooks hooks = GetTlvCoreHooks();
    const TlvCoreHooks before = hooks;
    hooks.engines = &engines;
    SetTlvCoreHooks(hooks);
    ITlvQrfData* out = reinterpret_cast<ITlvQrfData*>(0x1234);
    EXPECT_EQ(4099u, CreateQrfControl(&out));
    EXPECT_EQ(reinterpret_cast<ITlvQrfData*>(0x1234), out);
    SetTlvCoreHooks(before);
}

TEST_F(ControlCreation, ANewControlHasItsDefaults)
{
    TlvQrfLib::SetGlobalManager(Manager());
    CTlvQrfControl& c = NewControl();
    EXPECT_EQ(static_cast<CTlvImageAttributes*>(&c), c.GetImageAttributes());
    EXPECT_EQ(nullptr, c.GetEditChain());
    EXPECT_EQ(nullptr, static_cast<const ITlvQrfData&>(c).GetFilterChain());
    EXPECT_FALSE(c.IsBusy());
    EXPECT_FALSE(c.IsReady());
    EXPECT_EQ(0u, c.Initialize());
    EXPECT_EQ(2u, c.PreviewMode());
    EXPECT_EQ(1, c.ColourManagement());
}

TEST_F(ControlCreation, TheChainGetsTheControlsStateBeforeItsBuild)
{
    CTlvQrfControl& c = ControlWithChain();
    const std::vector<std::string> pushed = {"SetCacheUsage 0", "SetChannelOrder 0", "SetScaleMethod 0",
                                             "SetOutputColour", "SetColourManagement 1", "SetUserSize",
                                             "SetSizeMode 1", "Build", "Update"};
    EXPECT_EQ(pushed, script.calls);
    EXPECT_EQ(std::vector<std::uint32_t>{0x7FFFFFFFu}, script.updateChanges);
    EXPECT_EQ(c.GetTags(), tags.get());
    EXPECT_EQ(script.chain, static_cast<const ITlvQrfData&>(c).GetFilterChain());
}

TEST_F(ControlCreation, UpdatePassesTheHostsProgressAndViewScale)
{
    CTlvQrfControl& c = ControlWithChain();
    int progress = 0;
    EXPECT_EQ(0u, c.Update(ITlvQrfData::eDetail, false, &progress));
    EXPECT_EQ(&progress, script.updateContexts.back());
    EXPECT_EQ(1.0, script.updateScales.back());
    EXPECT_FALSE(c.IsBusy());

    // The host sets the magnification on the image attributes it is given.
    c.GetImageAttributes()->viewScale = 0.25;
    EXPECT_EQ(0u, c.Update(ITlvQrfData::eDetail, false, nullptr));
    EXPECT_EQ(0.25, script.updateScales.back());
}

TEST_F(ControlCreation, ResetUpdateTreatsTheEditRecordsAsMissing)
{
    CTlvQrfControl& c = ControlWithChain();
    EXPECT_EQ(0u, c.Update(ITlvQrfData::eAdjustment, false, nullptr));
    EXPECT_TRUE(script.updateAdjustPresent.back());
    EXPECT_EQ(0u, c.Update(ITlvQrfData::eAdjustment, true, nullptr));
    EXPECT_FALSE(script.updateAdjustPresent.back());
}

TEST_F(ControlCreation, RotationUpdateAlsoRefreshesTheGeometry)
{
    CTlvQrfControl& c = ControlWithChain();
    EXPECT_EQ(0u, c.Update(ITlvQrfData::eRotation, false, nullptr));
    EXPECT_EQ(0x820u, script.updateChanges.back());
}

} // namespace
