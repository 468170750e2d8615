// The image control with the real preview chain: a preview the host asks
// for at a size through the image information comes out at that size. The
// size is the developed picture's, which for a 12-bit mosaic is the mosaic
// less the six-pixel border the De-Bayer step leaves out on each side, so
// the scale must not be taken against the mosaic.
#include "RealChainControlSupport.h"

#include "raw/TlTagBytes.h"
#include "settings/edit/TlvEditSettings.h"

#include <cmath>
#include <vector>

namespace {

using namespace control_test;
using TlvQrfLib::strTlnImageInfoParam;
using TlvQrfLib::strTlnModeParam;

// Every control here is made over a 192 x 128 image.
constexpr long kImageWidth = 192;
constexpr long kImageHeight = 128;

constexpr std::uint32_t kUpright = 1;
constexpr std::uint32_t kQuarterClockwise = 8;

enum class Turn {
    None,
    Before,  // RotateCW first, then the size, as displayed, with its code
    WithAsk, // the quarter turn comes in the same record as the size
};

struct SAskedSize {
    const char* name;
    KelvraPixelFormat format;
    std::uint16_t model;
    std::uint32_t previewMode; // 0: the host never chose one
    Turn turn;
    std::uint32_t width, height;     // asked, as displayed
    double shownWidth, shownHeight;  // the preview, as displayed; a fraction
                                     // where the picture's aspect decides
};

// Developed: RGB 192 x 128; the 12-bit mosaic of model 257 180 x 116.
const SAskedSize kAskedSizes[] = {
    {"mosaic, half", kKelvraRawMosaic, 257, 0, Turn::None, 90, 58, 90, 58},
    {"mosaic, at the developed size", kKelvraRawMosaic, 257, 0, Turn::None, 180, 116, 180, 116},
    {"mosaic, 120 wide", kKelvraRawMosaic, 257, 0, Turn::None, 120, 80, 120, 120.0 * 116 / 180},
    {"mosaic, 45 wide", kKelvraRawMosaic, 257, 0, Turn::None, 45, 29, 45, 29},
    {"mosaic, asked by its height", kKelvraRawMosaic, 257, 0, Turn::None, 50, 58, 90, 58},
    {"mosaic, turned first, half", kKelvraRawMosaic, 257, 0, Turn::Before, 58, 90, 58, 90},
    {"mosaic, turned first, 100 high", kKelvraRawMosaic, 257, 0, Turn::Before, 60, 100, 100.0 * 116 / 180, 100},
    {"mosaic, turned with the ask, half", kKelvraRawMosaic, 257, 0, Turn::WithAsk, 58, 90, 58, 90},
    {"mosaic, model 258, half", kKelvraRawMosaic, 258, 0, Turn::None, 90, 58, 90, 58},
    {"mosaic, high-quality mode, half", kKelvraRawMosaic, 257, 3, Turn::None, 90, 58, 90, 58},
    {"mosaic, high-quality mode, 120 wide", kKelvraRawMosaic, 257, 3, Turn::None, 120, 77, 120, 120.0 * 116 / 180},
    {"mosaic, high-quality mode, turned first", kKelvraRawMosaic, 257, 3, Turn::Before, 58, 90, 58, 90},
    {"mosaic, quick mode, half", kKelvraRawMosaic, 257, 1, Turn::None, 90, 58, 90, 58},
    {"RGB, half", kKelvraRGB16, 257, 0, Turn::None, 96, 64, 96, 64},
    {"RGB, 100 wide", kKelvraRGB16, 257, 0, Turn::None, 100, 67, 100, 100.0 * 128 / 192},
    {"RGB, turned first, half", kKelvraRGB16, 257, 0, Turn::Before, 64, 96, 64, 96},
    // What the control sees of a signal-processing camera: the developed
    // RGB picture, framed at its own size.
    {"signal-processing model 513, half", kKelvraRGB16, 513, 0, Turn::None, 96, 64, 96, 64},
    {"signal-processing model 516, high-quality mode, 150 wide", kKelvraRGB16, 516, 3, Turn::None, 150, 100, 150,
     100},
};

class ControlPreviewSize : public RealChainControlFixture {
protected:
    CTlvQrfControl& ControlFor(const SAskedSize& c)
    {
        raw_test::SetLong(*tags, kKelvraTagModelCode, c.model);
        CTlvQrfControl& control = NewControl();
        control.geometry = CTlGeometryState(kImageWidth, kImageHeight, nullptr, 300.0);
        control.rawFlag = c.format == kKelvraRawMosaic || c.model >= 513 ? 1 : 0;
        EXPECT_EQ(0, CodeOf(control.Initialize(Manager(), Image(c.format, kImageWidth, kImageHeight), tags.get())));
        if (c.previewMode != 0) {
            strTlnModeParam mode{sizeof(strTlnModeParam), c.previewMode, 0, 1, 0};
            EXPECT_EQ(0, CodeOf(control.SetMode(&mode)));
        }
        IKelvraFilterChain* chain = nullptr;
        EXPECT_EQ(0, CodeOf(control.GetFilterChain(&chain)));
        return control;
    }
    static strTlnImageInfoParam Info(CTlvQrfControl& c)
    {
        strTlnImageInfoParam info{};
        info.size = sizeof info;
        EXPECT_EQ(0, CodeOf(c.GetImageInfo(&info)));
        return info;
    }
    // The size of the preview the display reads, turned as it shows.
    static void PreviewSize(CTlvQrfControl& c, long& width, long& height)
    {
        width = height = 0;
        IKelvraFilterChain* chain = c.GetFilterChain();
        IKelvraDataSource* output = chain != nullptr ? chain->GetOutput() : nullptr;
        ASSERT_NE(nullptr, output);
        EXPECT_EQ(0, CodeOf(output->GetSize(&width, &height)));
    }
    // The control goes at the end of each case.
    void Drop()
    {
        if (control != nullptr)
            control->Destroy();
        control = nullptr;
    }
};

// Within a pixel of the expected value: whole where the size was asked or
// the aspect gives a whole number.
void ExpectShown(double expected, long shown, const char* side)
{
    EXPECT_LT(std::fabs(double(shown) - expected), 1.0) << side << ": " << shown << " for " << expected;
}

} // namespace

TEST_F(ControlPreviewSize, APreviewAskedAtASizeComesOutAtThatSize)
{
    for (const SAskedSize& c : kAskedSizes) {
        SCOPED_TRACE(c.name);
        CTlvQrfControl& control = ControlFor(c);
        if (c.turn == Turn::Before) {
            ASSERT_EQ(0u, control.RotateCW());
        }
        strTlnImageInfoParam info = Info(control);
        info.width = c.width;
        info.height = c.height;
        info.orientation = c.turn == Turn::None ? kUpright : kQuarterClockwise;
        ASSERT_EQ(0, CodeOf(control.SetImageInfo(&info, false)));

        long width = 0;
        long height = 0;
        PreviewSize(control, width, height);
        ExpectShown(c.shownWidth, width, "preview width");
        ExpectShown(c.shownHeight, height, "preview height");
        // A turn given with the size leaves the geometry as it lay until
        // the host's next update with the rotation bit.
        if (c.turn != Turn::WithAsk) {
            unsigned long userWidth = 0;
            unsigned long userHeight = 0;
            ASSERT_EQ(0u, control.GetUserSize(userWidth, userHeight));
            ExpectShown(c.shownWidth, long(userWidth), "user width");
            ExpectShown(c.shownHeight, long(userHeight), "user height");
        }
        Drop();
    }
}

// What an export of the settings does with the geometry: it is framed at
// the developed picture, keeping its scale, and its output is what the
// preview showed.
TEST_F(ControlPreviewSize, TheExportsFrameKeepsTheAskedSize)
{
    const std::uint32_t widths[] = {45, 89, 90, 101, 120, 133, 179, 180};
    for (std::uint32_t width : widths) {
        SCOPED_TRACE(width);
        CTlvQrfControl& control =
            ControlFor({"mosaic", kKelvraRawMosaic, 257, 0, Turn::None, width, 1, double(width), 0});
        strTlnImageInfoParam info = Info(control);
        info.width = width;
        info.height = 1;
        ASSERT_EQ(0, CodeOf(control.SetImageInfo(&info, false)));
        CTlGeometryState exported(control.geometry);
        exported.ResizeToImage(kImageWidth - 12, kImageHeight - 12);
        EXPECT_EQ(double(width), exported.GetOutputWidth());
        Drop();
    }
}

// The stored record keeps the frame's units, the mosaic's, and the scale
// that brings the developed picture to the asked size: loaded back as a
// load does, over the mosaic, the preview comes out at that size again.
TEST_F(ControlPreviewSize, AStoredSizeShowsAgainAtThatSize)
{
    CTlvQrfControl& writer = ControlFor({"mosaic", kKelvraRawMosaic, 257, 0, Turn::None, 90, 58, 90, 58});
    strTlnImageInfoParam info = Info(writer);
    info.width = 90;
    info.height = 58;
    ASSERT_EQ(0, CodeOf(writer.SetImageInfo(&info, true)));
    Drop();
    std::vector<unsigned char> block(tags->GetTagSize(kTlStoredSettingsTag, 0));
    ASSERT_FALSE(block.empty());
    ASSERT_EQ(0, CodeOf(tags->GetTag(kTlStoredSettingsTag, kKelvraTagTypeBytes,
                                     static_cast<std::uint32_t>(block.size()), block.data(), 0)));

    CTlvQrfControl& reader = NewControl();
    reader.geometry = CTlGeometryState(kImageWidth, kImageHeight, nullptr, 300.0);
    CTlvEditSettings settings(0, 0);
    reader.ExportTo(settings);
    ASSERT_GT(settings.Load(block.data(), static_cast<int>(block.size()), kImageWidth, kImageHeight), 0);
    reader.ImportFrom(settings);
    EXPECT_EQ(double(kImageWidth), reader.geometry.GetImageWidth() * 0.5) << "framed at the mosaic";
    EXPECT_DOUBLE_EQ(90.0 / 180.0, reader.geometry.GetScale()) << "against the developed picture";
    reader.rawFlag = 1;
    ASSERT_EQ(0, CodeOf(reader.Initialize(Manager(), Image(kKelvraRawMosaic, kImageWidth, kImageHeight),
                                          tags.get())));
    IKelvraFilterChain* chain = nullptr;
    ASSERT_EQ(0, CodeOf(reader.GetFilterChain(&chain)));
    long width = 0;
    long height = 0;
    PreviewSize(reader, width, height);
    EXPECT_EQ(90, width);
    EXPECT_EQ(58, height);
}
