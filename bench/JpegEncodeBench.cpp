// Encodes a 6000 x 4000 8-bit RGB picture to JPEG at quality 90 through the
// loader library's codec, a few times over, and reports megapixels per
// second of each run and of the fastest. Run by hand under Wine.
#include "pellio/PellioJpeg.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

const long kWidth = 6000;
const long kHeight = 4000;
const int kQuality = 90;
const int kRuns = 5;

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
    const double megapixels = double(kWidth) * double(kHeight) / 1e6;
    std::printf("JPEG encode q%d of %.1f MP, %u cores\n", kQuality, megapixels, std::thread::hardware_concurrency());
    double fastest = 1e9;
    for (int run = 0; run < kRuns; ++run) {
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
        std::printf("run %d: %.3f s = %.1f MP/s, %zu bytes\n", run + 1, seconds, megapixels / seconds, jpeg.size());
        fastest = std::min(fastest, seconds);
    }
    std::printf("fastest: %.1f MP/s\n", megapixels / fastest);
    return 0;
}
