// The image control with the real preview chain: a change refused while
// another update runs is replayed, two controls updating at once from two
// threads lose no change, and a control opened on a synthetic raw file
// shows a developed preview.
#include "RealChainControlSupport.h"

#include "chain/TlPreviewUpdate.h"
#include "filtrix/KelvraFilterBase.h"
#include "filtrix/KelvraFilterTransform.h"
#include "kelvra/KelvraData.h"
#include "pellio/KelvraLoad.h"
#include "qrfsynth/QrfScene.h"
#include "qrfsynth/QrfSynthFile.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

using namespace control_test;
using namespace TlChainSlots;

class ControlReplay : public RealChainControlFixture {
protected:
    void TearDown() override
    {
        for (CTlvQrfControl* other : m_others)
            other->Destroy();
        RealChainControlFixture::TearDown();
    }

    // A second control with its chain, destroyed by the fixture.
    CTlvQrfControl& OtherControlWithChain()
    {
        ITlvQrfData* data = nullptr;
        EXPECT_EQ(0u, CreateQrfControl(&data));
        auto* c = static_cast<CTlvQrfControl*>(data);
        m_others.push_back(c);
        c->geometry = CTlGeometryState(192, 128, nullptr, 300.0);
        EXPECT_EQ(0, CodeOf(c->Initialize(Manager(), Image(kKelvraRGB16), tags.get())));
        IKelvraFilterChain* filters = nullptr;
        EXPECT_EQ(0, CodeOf(c->GetFilterChain(&filters)));
        return *c;
    }
    static double TransformAngle(CTlvQrfControl& c)
    {
        auto* transform = dynamic_cast<CKelvraFilterTransform*>(Chain(c)->GetSlot(kTransform));
        bool flip = false;
        double angle = -1.0;
        bool extra = false;
        transform->GetTransform(&flip, &angle, &extra);
        return transform->IsEnabled() ? angle : 0.0;
    }

    std::vector<CTlvQrfControl*> m_others;
};

} // namespace

// The rotation asked for while another update runs is neither lost nor
// reported lost: the control runs it as soon as the other update ends.
TEST_F(ControlReplay, AChangeRefusedDuringAnotherUpdateRunsWhenThatEnds)
{
    CTlvQrfControl& c = ControlWithChain();
    ASSERT_TRUE(c.IsReady());
    std::uint32_t otherPending = 0;
    std::uint32_t merged = 0;
    ASSERT_TRUE(TlBeginPreviewUpdate(0, otherPending, merged));
    std::atomic<unsigned long> result{~0ul};
    std::thread host([&c, &result] { result = c.SetRotation(90); });
    while (Chain(c)->GetPendingChanges() == 0)
        Sleep(1);
    EXPECT_EQ(~0ul, result.load()) << "still waiting for the other update";
    TlEndPreviewUpdate();
    host.join();
    EXPECT_EQ(0u, result.load());
    EXPECT_EQ(0u, Chain(c)->GetPendingChanges());
    EXPECT_EQ(90.0, TransformAngle(c));
}

TEST_F(ControlReplay, TwoControlsUpdatingAtOnceLoseNoChange)
{
    CTlvQrfControl& first = ControlWithChain();
    CTlvQrfControl& second = OtherControlWithChain();
    const int angles[] = {90, 180, 270, 0, 270, 90};
    const auto turn = [&angles](CTlvQrfControl* c, std::atomic<int>* failures) {
        for (int round = 0; round < 5; ++round) {
            for (int angle : angles) {
                if (c->SetRotation(angle) != 0)
                    ++*failures;
            }
        }
    };
    std::atomic<int> failures{0};
    std::thread one(turn, &first, &failures);
    std::thread two(turn, &second, &failures);
    one.join();
    two.join();
    EXPECT_EQ(0, failures.load());
    for (CTlvQrfControl* c : {&first, &second}) {
        EXPECT_EQ(0u, Chain(*c)->GetPendingChanges());
        EXPECT_EQ(90.0, TransformAngle(*c)) << "the last rotation of each control took effect";
    }
}

namespace {

struct ReleaseStream {
    void operator()(IKelvraFileStream* stream) const { stream->Release(); }
};
struct ReleaseLoad {
    void operator()(IKelvraLoad* load) const { load->Release(); }
};

// The main image and the tags of a synthetic raw file of the test data.
IKelvraError* LoadRawFile(const char* path, IKelvraTagControl* tags, IKelvraImage* image)
{
    IKelvraFileStream* stream = nullptr;
    if (IKelvraError* error = CreateFileStream(&stream))
        return error;
    std::unique_ptr<IKelvraFileStream, ReleaseStream> ownedStream(stream);
    IKelvraError* error = stream->SetPath(path);
    if (error == nullptr)
        error = stream->Open(kKelvraStreamRead);
    IKelvraLoad* load = nullptr;
    if (error == nullptr)
        error = CreateLoad(&load);
    std::unique_ptr<IKelvraLoad, ReleaseLoad> ownedLoad(load);
    if (error == nullptr)
        error = load->Start(stream, tags, 0, 0);
    KelvraFileInfo info{};
    info.size = sizeof info;
    if (error == nullptr)
        error = load->GetFileInfo(&info);
    if (error == nullptr)
        error = load->SetImage(image);
    while (error == nullptr && !load->IsComplete())
        error = load->Step();
    return error;
}

struct SRgb {
    int r, g, b;
};

// The preview's colour at the middle of each neutral step of the scene,
// darkest first, in 8-bit units.
std::vector<SRgb> NeutralSteps(IKelvraFilterChain& preview)
{
    std::vector<SRgb> steps;
    long width = 0;
    long height = 0;
    KelvraPixelFormat format = 0;
    EXPECT_EQ(nullptr, preview.GetSize(&width, &height));
    EXPECT_EQ(nullptr, preview.GetColorSpace(&format));
    const bool wide = format == kKelvraRGB16;
    const CQrfScene scene(192, 128);
    for (const QrfPatch& patch : scene.Patches()) {
        const QrfRgb& colour = patch.colour;
        if (!(colour.r == colour.g && colour.g == colour.b))
            continue;
        const long x = (patch.rect.left + patch.rect.right) / 2 * width / scene.Width();
        const long y = (patch.rect.top + patch.rect.bottom) / 2 * height / scene.Height();
        std::uint16_t pixel[4] = {};
        EXPECT_EQ(nullptr, preview.GetPixel(x, y, pixel));
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(pixel);
        steps.push_back(wide ? SRgb{pixel[0] >> 8, pixel[1] >> 8, pixel[2] >> 8} : SRgb{bytes[0], bytes[1], bytes[2]});
    }
    return steps;
}

} // namespace

class ControlPreview : public ControlReplay {
protected:
    // The preview of a control opened on `image` and `rawTags` of model 258,
    // with the white balance as shot, as a newly opened raw file is shown.
    IKelvraFilterChain* OpenPreview(IKelvraImage* image, IKelvraTagControl* rawTags)
    {
        CTlvQrfControl& c = NewControl();
        c.geometry = CTlGeometryState(192, 128, nullptr, 300.0);
        c.rawFlag = 1; // as the load leaves a raw file's settings
        EXPECT_EQ(0, CodeOf(c.Initialize(Manager(), image, rawTags)));
        IKelvraFilterChain* preview = nullptr;
        EXPECT_EQ(0, CodeOf(c.GetFilterChain(&preview)));
        c.whiteBalance.mode = CTlWhiteBalanceState::kModeAsShot;
        EXPECT_EQ(0u, c.Update(ITlvQrfData::eAll, false, nullptr));
        return preview;
    }
};

// Not black, and the scene's neutral steps come out lighter step by step
// and neutral within 12 of 255 between their channels.
TEST_F(ControlPreview, ASyntheticRawPictureShowsNeutralGreys)
{
    QrfRawOptions raw;
    raw.model = 258;
    QrfRawImages images;
    ASSERT_EQ(nullptr, QrfMakeImages(Manager(), raw, &images));
    PellioTagsPtr rawTags = raw_test::MakeTags();
    ASSERT_EQ(nullptr, QrfFillTags(raw, rawTags.get()));
    IKelvraFilterChain* preview = OpenPreview(images.mosaic.get(), rawTags.get());
    ASSERT_NE(preview, nullptr);
    const std::vector<SRgb> steps = NeutralSteps(*preview);
    ASSERT_GT(steps.size(), 1u);
    int darker = -1;
    for (const SRgb& step : steps) {
        SCOPED_TRACE(::testing::Message() << step.r << " " << step.g << " " << step.b);
        EXPECT_LE(std::max({step.r, step.g, step.b}) - std::min({step.r, step.g, step.b}), 12);
        EXPECT_GT(step.g, darker);
        darker = step.g;
    }
}

// A file of the test data opened through the control develops to a
// preview that is not black and whose neutral steps grow lighter.
TEST_F(ControlPreview, ARawFileOfTheTestDataShowsADevelopedPreview)
{
    IKelvraImage* image = Image(kKelvraRGB16);
    PellioTagsPtr fileTags = raw_test::MakeTags();
    ASSERT_EQ(nullptr, LoadRawFile(TL_CONTROL_TESTDATA "gbrg-258-deflate.qrf", fileTags.get(), image));
    IKelvraFilterChain* preview = OpenPreview(image, fileTags.get());
    ASSERT_NE(preview, nullptr);
    const std::vector<SRgb> steps = NeutralSteps(*preview);
    ASSERT_GT(steps.size(), 1u);
    int darker = -1;
    for (const SRgb& step : steps) {
        EXPECT_GT(step.g, darker) << step.r << " " << step.g << " " << step.b;
        darker = step.g;
    }
}
