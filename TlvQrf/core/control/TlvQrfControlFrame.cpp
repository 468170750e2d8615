// The geometry's frame against the developed picture. A load frames the
// geometry at the source image's size, but the De-Bayer step leaves the
// mosaic's border out of the picture it develops: the sizes the host gives
// and reads are the developed picture's, so they pass through the ratio of
// the two on their way into and out of the geometry, whose own units (and
// so the stored record's) stay the frame's.
#include "control/TlvQrfControl.h"

#include "kelvra/KelvraImage.h"
#include "raw/TlRawFormat.h"

#include <cmath>
#include <utility>

namespace {

// More than the floating-point noise a round trip through the ratio leaves
// below a whole pixel, far less than any real fraction of one.
constexpr double kPixelTolerance = 1e-6;

bool Upright(double width, double height)
{
    return height > width;
}

bool Lying(double width, double height)
{
    return width > height;
}

} // namespace

std::uint32_t CTlvQrfControl::WholePixels(double value)
{
    return value < 1.0 ? 1u : static_cast<std::uint32_t>(std::floor(value + kPixelTolerance));
}

void CTlvQrfControl::ReadDevelopedSize()
{
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    if (HasImage()) {
        const STlRawDevelopment development{modelCode, rawFlag != 0};
        if (!GetOutputSize(images.image, development, false, nullptr, width, height))
            width = height = 0;
    } else {
        // Framed at the size the tags give, which is the developed one.
        width = WholePixels(geometry.GetImageWidth() * 0.5);
        height = WholePixels(geometry.GetImageHeight() * 0.5);
    }
    const bool known = width != 0 && height != 0;
    m_image.developedWidth = known ? width : 0;
    m_image.developedHeight = known ? height : 0;
}

// A turn of the frame shows as sides exchanged against the picture; the
// border never does that.
bool CTlvQrfControl::FrameTurned(const CTlGeometryState& frame) const
{
    const double width = m_image.developedWidth;
    const double height = m_image.developedHeight;
    const double frameWidth = frame.GetImageWidth();
    const double frameHeight = frame.GetImageHeight();
    return (Lying(frameWidth, frameHeight) && Upright(width, height)) ||
           (Upright(frameWidth, frameHeight) && Lying(width, height));
}

CTlvQrfControl::STlFrameRatio CTlvQrfControl::DevelopedPerFramePixel(const CTlGeometryState& frame) const
{
    STlFrameRatio ratio;
    double width = m_image.developedWidth;
    double height = m_image.developedHeight;
    const double frameWidth = frame.GetImageWidth() * 0.5;
    const double frameHeight = frame.GetImageHeight() * 0.5;
    if (width == 0 || height == 0 || frameWidth < 1.0 || frameHeight < 1.0)
        return ratio;
    if (FrameTurned(frame))
        std::swap(width, height);
    ratio.developedWidth = width;
    ratio.developedHeight = height;
    ratio.frameWidth = frameWidth;
    ratio.frameHeight = frameHeight;
    return ratio;
}

void CTlvQrfControl::SetDevelopedOutput(CTlGeometryState& frame, std::uint32_t width, std::uint32_t height) const
{
    double w = width;
    double h = height;
    if (FrameTurned(frame))
        std::swap(w, h);
    const STlFrameRatio ratio = DevelopedPerFramePixel(frame);
    if (h < w)
        frame.SetOutputWidth(ratio.FrameX(w));
    else
        frame.SetOutputHeight(ratio.FrameY(h));
}

void CTlvQrfControl::GetDevelopedOutput(const CTlGeometryState& frame, std::uint32_t& width,
                                        std::uint32_t& height) const
{
    const CTlGeometryStep* step = frame.GetStep();
    const STlFrameRatio ratio = DevelopedPerFramePixel(frame);
    width = WholePixels(ratio.DevelopedX(step != nullptr ? step->GetOutputWidth() : 0.0));
    height = WholePixels(ratio.DevelopedY(step != nullptr ? step->GetOutputHeight() : 0.0));
}

void CTlvQrfControl::GetUnturnedOutput(std::uint32_t& width, std::uint32_t& height) const
{
    GetDevelopedOutput(geometry, width, height);
    if (FrameTurned(geometry))
        std::swap(width, height);
}
