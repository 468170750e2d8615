// Encodes a 6000 x 4000 8-bit RGB picture to JPEG at quality 90 through the
// loader library's codec and reports megapixels per second. Run by hand
// under Wine.
#include "pellio/PellioJpeg.h"

#include <chrono>
#include <cstdio>
#include <vector>

namespace {

const long kWidth = 6000;
const long kHeight = 4000;
const int kQuality = 90;

// Ramps with some texture, so the encoder has real detail to code.
PellioRaster MakePicture()
{
    PellioRaster raster;
    raster.width = kWidth;
    raster.height = kHeight;
    raster.pixelFormat = kKelvraRGB8;
    raster.rowBytes = KelvraRowBytes(kKelvraRGB8, kWidth);
    raster.bytes.resize(std::size_t(raster.rowBytes) * kHeight);
    for (long y = 0; y < kHeight; ++y) {
        std::uint8_t* row = raster.bytes.data() + std::size_t(y) * std::size_t(raster.rowBytes);
        for (long x = 0; x < kWidth; ++x) {
            row[3 * x] = std::uint8_t(x * 255 / kWidth);
            row[3 * x + 1] = std::uint8_t((y * 7 + x * 3) & 0xFF);
            row[3 * x + 2] = std::uint8_t(((x ^ y) & 0x3F) + y * 160 / kHeight);
        }
    }
    return raster;
}

} // namespace

int main()
{
    const PellioRaster picture = MakePicture();
    std::vector<std::uint8_t> jpeg;
    const auto start = std::chrono::steady_clock::now();
    IKelvraError* error = PellioEncodeJpeg(picture, PellioJpegMetadata(), kQuality, jpeg);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (error) {
        const IKelvraError* cause = error->FindCause();
        std::printf("encoding failed (code %ld)\n", cause ? cause->GetCode() : -1L);
        IKelvraError::Release(error);
        return 1;
    }
    const double megapixels = double(kWidth) * double(kHeight) / 1e6;
    std::printf("JPEG encode q%d: %.1f MP in %.3f s = %.1f MP/s, %zu bytes\n", kQuality, megapixels, seconds,
                megapixels / seconds, jpeg.size());
    return 0;
}
