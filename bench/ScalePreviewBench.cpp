// Scales a 6000 x 4000 16-bit RGB image to a 1024-wide preview with the
// standard scale filter, tile by tile as a display pulls it and as a process
// run writes it, and reports source megapixels per second. Area averaging
// is the preview method; the other two are printed for comparison. Run by
// hand under Wine.
#include "filtrix/KelvraFilterScale.h"
#include "filtrix/VentraChrono.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"

#include <cstdint>
#include <cstdio>

namespace {

const long kWidth = 6000;
const long kHeight = 4000;
const long kPreviewWidth = 1024;
const long kPreviewHeight = (kHeight * kPreviewWidth + kWidth / 2) / kWidth; // 683
const double kMegapixels = double(kWidth) * double(kHeight) / 1e6;

// True when `error` is null; else prints its cause and frees it.
bool Ok(IKelvraError* error, const char* what)
{
    if (error) {
        const IKelvraError* cause = error->FindCause();
        std::printf("%s: error %ld\n", what, cause ? cause->GetCode() : error->GetCode());
        IKelvraError::Release(error);
    }
    return !error;
}

// Writes a smooth gradient with some texture, tile by tile.
bool FillTile(IKelvraImage* image, long column, long row)
{
    void* data = nullptr;
    KelvraRect rect;
    long rowBytes = 0;
    if (!Ok(image->LockTileForWrite(column, row, &data, &rect, &rowBytes), "write lock"))
        return false;
    for (long y = rect.top; y < rect.bottom; ++y) {
        auto* samples = reinterpret_cast<std::uint16_t*>(static_cast<std::uint8_t*>(data) + (y - rect.top) * rowBytes);
        for (long x = rect.left; x < rect.right; ++x)
            for (long p = 0; p < 3; ++p)
                samples[(x - rect.left) * 3 + p] = std::uint16_t(x * 7 + y * 11 + p * 5000 + ((x ^ y) & 255) * 13);
    }
    return Ok(image->UnlockTileForWrite(column, row, false), "write unlock");
}

IKelvraImage* MakeSource(IKelvraManager* manager)
{
    IKelvraImage* image = nullptr;
    if (!Ok(manager->CreateImage(&image, 0), "image"))
        return nullptr;
    bool ok = Ok(image->SetSize(kWidth, kHeight), "size") && Ok(image->SetColorSpace(kKelvraRGB16), "format");
    const long tile = 64;
    for (long row = 0; ok && row * tile < kHeight; ++row)
        for (long column = 0; ok && column * tile < kWidth; ++column)
            ok = FillTile(image, column, row);
    if (!ok) {
        image->Release();
        return nullptr;
    }
    return image;
}

// A display's pull: the grid of output tiles, each locked once.
bool PullPreview(IKelvraDataSource* preview)
{
    IKelvraTileGrid* grid = nullptr;
    if (!Ok(preview->MapRect(KelvraRect(0, 0, kPreviewWidth, kPreviewHeight), &grid), "map"))
        return false;
    bool ok = true;
    for (long row = 0; ok && row < grid->GetRowCount(); ++row)
        for (long column = 0; ok && column < grid->GetColumnCount(); ++column) {
            const void* data = nullptr;
            KelvraRect tileRect, part;
            long rowBytes = 0;
            ok = Ok(preview->LockTile(grid, column, row, &data, &tileRect, &part, &rowBytes), "lock") &&
                 Ok(preview->UnlockTile(grid, column, row), "unlock");
        }
    grid->Release();
    return ok;
}

// An export's run into a new image (begin, a step per tile row, end).
bool RunPreview(IKelvraManager* manager, IKelvraFilter* filter, IKelvraImage* source)
{
    IKelvraImage* output = nullptr;
    if (!Ok(manager->CreateImage(&output, 0), "output"))
        return false;
    IKelvraDataSource* sources[] = {source};
    const bool ok = Ok(filter->Process(sources, 1, output), "process");
    output->Release();
    return ok;
}

template <typename Work>
void Time(const char* what, Work work)
{
    CVentraChrono chrono;
    if (!work())
        return;
    const double seconds = chrono.Elapsed();
    std::printf("%-24s %.1f MP in %.3f s = %.1f MP/s\n", what, kMegapixels, seconds, kMegapixels / seconds);
}

} // namespace

int main()
{
    IKelvraManager* manager = nullptr;
    if (!Ok(IKelvraManager::_CreateKelvraManager(0x400A01, nullptr, 0, 0, 0, &manager), "manager"))
        return 1;
    IKelvraImage* source = MakeSource(manager);
    if (!source)
        return 1;
    std::printf("%ld x %ld RGB16 -> %ld x %ld\n", kWidth, kHeight, kPreviewWidth, kPreviewHeight);
    const struct {
        long method;
        const char* name;
    } methods[] = {{CKelvraFilterScale::kArea, "area"}, {CKelvraFilterScale::kBilinear, "bilinear"},
                   {CKelvraFilterScale::kNearest, "nearest"}};
    for (const auto& method : methods) {
        CKelvraFilterScale scale(manager, method.method);
        if (!Ok(KelvraDataConnect(source, &scale), "connect") ||
            !Ok(scale.SetSize(kPreviewWidth, kPreviewHeight, false), "preview size"))
            return 1;
        char label[64];
        std::snprintf(label, sizeof label, "%s, tile pulls:", method.name);
        Time(label, [&] { return PullPreview(&scale); });
        std::snprintf(label, sizeof label, "%s, process run:", method.name);
        Time(label, [&] { return RunPreview(manager, &scale, source); });
    }
    source->Release();
    manager->Release();
    return 0;
}
