// The view operations: rotation, scale, sizes and profiles.
#include "ControlTestSupport.h"

namespace {

using namespace control_test;

using ControlView = ControlFixture;

TEST_F(ControlView, FourTurnsComeBack)
{
    CTlvQrfControl& c = ControlWithChain();
    const int clockwise[] = {90, 180, 270, 0};
    for (int expected : clockwise) {
        EXPECT_EQ(0u, c.RotateCW());
        EXPECT_EQ(expected, c.GetRotation());
        EXPECT_FALSE(c.Mirrored());
        EXPECT_EQ(0x820u, script.updateChanges.back());
    }
    const int counter[] = {270, 180, 90, 0};
    for (int expected : counter) {
        EXPECT_EQ(0u, c.RotateCCW());
        EXPECT_EQ(expected, c.GetRotation());
        EXPECT_EQ(0x820u, script.updateChanges.back());
    }
    EXPECT_EQ(8u, script.updateChanges.size() - 1);

    c.flip = 1;
    c.angle = 90;
    for (int turn = 0; turn < 4; ++turn)
        EXPECT_EQ(0u, c.RotateCW());
    EXPECT_TRUE(c.Mirrored());
    EXPECT_EQ(90, c.GetRotation());
    for (int turn = 0; turn < 4; ++turn)
        EXPECT_EQ(0u, c.RotateCCW());
    EXPECT_TRUE(c.Mirrored());
    EXPECT_EQ(90, c.GetRotation());
}

TEST_F(ControlView, SetRotationStoresTheAngle)
{
    CTlvQrfControl& c = ControlWithChain();
    EXPECT_EQ(0u, c.SetRotation(45));
    EXPECT_EQ(45, c.GetRotation());
    EXPECT_EQ(0x820u, script.updateChanges.back());
    EXPECT_EQ(45, script.updateRotations.back());
    EXPECT_EQ(0u, c.SetRotation(-90));
    EXPECT_EQ(270, c.GetRotation()) << "kept as a turn of 0 to 359 degrees";
    script.updates = {4};
    EXPECT_EQ(4104u, c.SetRotation(180));
}

TEST_F(ControlView, ScaleRefusedByTheGeometrySendsNoUpdate)
{
    CTlvQrfControl& c = ControlWithChain();
    const std::size_t updates = script.updateChanges.size();
    EXPECT_EQ(4354u, c.SetScale(-1.0));
    EXPECT_EQ(updates, script.updateChanges.size());
    EXPECT_EQ(0u, c.SetScale(0.5));
    EXPECT_EQ(0.5, c.GetScale());
    EXPECT_EQ(0x800u, script.updateChanges.back());
}

TEST_F(ControlView, UnsupportedOperations)
{
    CTlvQrfControl& c = ControlWithChain();
    EXPECT_EQ(4104u, c.SetSize(10, 10));
    EXPECT_EQ(4104u, c.GetProfile());
    EXPECT_EQ(4104u, c.SetProfile(1));
    KelvraFile monitor("C:\\monitor.icm");
    EXPECT_EQ(0u, c.SetMonitorProfile(monitor));
    EXPECT_EQ("C:\\monitor.icm", script.monitorProfile);
}

TEST_F(ControlView, SizeOfTheDevelopedImage)
{
    CTlvQrfControl& rgb = InitialisedControl(kKelvraRGB16);
    long width = 0;
    long height = 0;
    EXPECT_EQ(0u, rgb.GetSize(&width, &height));
    EXPECT_EQ(192, width);
    EXPECT_EQ(128, height);
    EXPECT_EQ(4104u, rgb.GetSize(nullptr, &height));
    rgb.Destroy();
    control = nullptr;

    CTlvQrfControl& mosaic = InitialisedControl(kKelvraRawMosaic);
    EXPECT_EQ(0u, mosaic.GetSize(&width, &height));
    EXPECT_EQ(180, width) << "the mosaic's border is not developed";
    EXPECT_EQ(116, height);
    mosaic.Destroy();
    control = nullptr;

    CTlvQrfControl& tagsOnly = NewControl();
    EXPECT_EQ(0, CodeOf(tagsOnly.Initialize(nullptr, nullptr, tags.get())));
    EXPECT_EQ(4104u, tagsOnly.GetSize(&width, &height));
}

TEST_F(ControlView, UserSize)
{
    CTlvQrfControl& c = InitialisedControl();
    unsigned long width = 7;
    unsigned long height = 7;
    EXPECT_EQ(4104u, c.GetUserSize(width, height));
    EXPECT_EQ(7u, width);
    EXPECT_EQ(7u, height);

    IKelvraFilterChain* chain = nullptr;
    ASSERT_EQ(0, CodeOf(c.GetFilterChain(&chain)));
    EXPECT_EQ(0u, c.GetUserSize(width, height));
    EXPECT_EQ(192u, width);
    EXPECT_EQ(128u, height);

    c.geometry.SetCropRect(20, 40, 220, 140, 0); // 100 x 50 pixels
    EXPECT_EQ(0u, c.GetUserSize(width, height));
    EXPECT_EQ(static_cast<unsigned long>(c.geometry.GetOutputWidth()), width) << "size mode 1: the output";
    script.sizeMode = 0;
    EXPECT_EQ(0u, c.GetUserSize(width, height));
    EXPECT_EQ(100u, width);
    EXPECT_EQ(50u, height);
}

// As opened, the sizes the host reads are the developed picture's: a
// 12-bit mosaic's less the border the De-Bayer step leaves out, also before
// the preview chain reports its own.
TEST_F(ControlView, SizesAsOpenedAreTheDevelopedPictures)
{
    const struct {
        const char* name;
        KelvraPixelFormat format;
        std::uint32_t width, height;
    } cases[] = {{"RGB", kKelvraRGB16, 192, 128}, {"12-bit mosaic", kKelvraRawMosaic, 180, 116}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CTlvQrfControl& opened = InitialisedControl(c.format);
        TlvQrfLib::strTlnImageInfoParam info{};
        info.size = sizeof info;
        ASSERT_EQ(0, CodeOf(opened.GetImageInfo(&info)));
        EXPECT_EQ(c.width, info.width);
        EXPECT_EQ(c.height, info.height);
        IKelvraFilterChain* chain = nullptr;
        ASSERT_EQ(0, CodeOf(opened.GetFilterChain(&chain)));
        unsigned long width = 0;
        unsigned long height = 0;
        EXPECT_EQ(0u, opened.GetUserSize(width, height));
        EXPECT_EQ(c.width, width);
        EXPECT_EQ(c.height, height);
        opened.Destroy();
        control = nullptr;
    }
}

} // namespace
