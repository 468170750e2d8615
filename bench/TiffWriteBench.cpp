// Times the write of a 16-bit RGB TIFF with deflate, as the develop command
// writes it, through the loader library's saver, and prints for a range of
// deflate levels the coded size and the one-thread time of the same strips
// (what the saver's level was chosen from). The picture is the file named on
// the command line (the develop command's output, say, or a raw file, whose
// mosaic only gets the table), else a synthetic 6000 x 4000 one. The file is written in a temporary folder that goes at
// the end. Run by hand under Wine: TiffWriteBench [picture.tif]
#include "PellioTestSupport.h"
#include "filtrix/VentraChrono.h"

#include <zlib.h>

#include <cstdio>
#include <thread>

using namespace pelliotest;

namespace {

const long kWidth = 6000;
const long kHeight = 4000;
const long kStripRows = 64;

// Smooth ramps with a little grain, in the develop output's 16 bits.
ImagePtr SyntheticPicture(IKelvraManager* manager)
{
    ImagePtr image = MakeImage(manager);
    IKelvraError::Release(image->SetColorSpace(kKelvraRGB16));
    IKelvraError::Release(image->SetSize(kWidth, kHeight));
    std::vector<std::uint16_t> row(std::size_t(kWidth) * 3);
    std::uint32_t seed = 1;
    for (long y = 0; y < kHeight; ++y) {
        for (long x = 0; x < kWidth; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const std::uint32_t grain = seed >> 30;
            row[std::size_t(3 * x)] = std::uint16_t(x * 60000 / kWidth + grain);
            row[std::size_t(3 * x + 1)] = std::uint16_t(y * 50000 / kHeight + 4000 + grain);
            row[std::size_t(3 * x + 2)] = std::uint16_t(((x + y) % 4000) * 12 + grain);
        }
        IKelvraError::Release(image->AppendRows(row.data(), 1, kWidth * 6));
    }
    return image;
}

void PrintLevels(const Bytes& pixels, long rowBytes)
{
    const std::size_t stripBytes = std::size_t(rowBytes) * kStripRows;
    std::printf("deflate level | bytes | of raw | one-thread seconds\n");
    for (int level : {1, 2, 3, 4, 5, 6, 9}) {
        std::vector<std::uint8_t> coded(compressBound(uLong(stripBytes)));
        std::size_t total = 0;
        CVentraChrono chrono;
        for (std::size_t at = 0; at < pixels.size(); at += stripBytes) {
            const std::size_t size = std::min(stripBytes, pixels.size() - at);
            uLongf produced = uLongf(coded.size());
            compress2(coded.data(), &produced, pixels.data() + at, uLong(size), level);
            total += produced;
        }
        std::printf("%d | %zu | %.3f | %.2f\n", level, total, double(total) / double(pixels.size()),
                    chrono.Elapsed());
    }
}

} // namespace

int main(int argc, char** argv)
{
    ManagerPtr manager = MakeManager();
    TempFolder folder;
    LoadedFile loaded;
    ImagePtr picture;
    if (argc > 1) {
        if (IKelvraError* error = LoadWhole(manager.get(), argv[1], &loaded)) {
            std::printf("%s could not be loaded (code %ld)\n", argv[1], CodeOf(error));
            return 1;
        }
        picture = std::move(loaded.main);
    } else {
        picture = SyntheticPicture(manager.get());
    }
    long width = 0, height = 0;
    IKelvraError::Release(picture->GetSize(&width, &height));
    CVentraChrono reading;
    const Bytes pixels = PixelsOf(picture.get());
    const double readSeconds = reading.Elapsed();
    std::printf("16-bit TIFF of %ld x %ld (%.1f MP), %u cores\n", width, height, double(width * height) / 1e6,
                std::thread::hardware_concurrency());
    std::printf("reading its rows (which the save does too): %.3f s\n", readSeconds);
    PrintLevels(pixels, long(pixels.size()) / height);
    KelvraPixelFormat format = kKelvraRGB16;
    IKelvraError::Release(picture->GetColorSpace(&format));
    if (PellioIsMosaic(format))
        return 0; // a plain TIFF does not take it
    const std::string target = folder.File("TiffWriteBench.tif");
    CVentraChrono chrono;
    if (IKelvraError* error = SaveFile(picture.get(), {}, nullptr, kPellioFormatTiff, 1, target)) {
        std::printf("the save failed (code %ld)\n", CodeOf(error));
        return 1;
    }
    std::printf("save as 16-bit deflate TIFF: %.3f s, %zu bytes\n", chrono.Elapsed(), ReadFile(target).size());
    return 0;
}
