// Pulls a 6000 x 4000 16-bit RGB image through a three-filter chain, tile by
// tile as a display does, and through a process run as an export does, and
// reports megapixels per second. Run by hand under Wine.
#include "ExampleFilters.h"

#include "filtrix/VentraChrono.h"
#include "kelvra/KelvraFilterChain.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraManager.h"

#include <cstdio>
#include <vector>

namespace {

const long kWidth = 6000;
const long kHeight = 4000;

bool Failed(IKelvraError* error, const char* what)
{
    if (!error)
        return false;
    std::printf("%s failed (code %ld)\n", what, error->FindCause() ? error->FindCause()->GetCode() : -1L);
    IKelvraError::Release(error);
    return true;
}

IKelvraImage* MakeImage(IKelvraManager* manager)
{
    IKelvraImage* image = nullptr;
    if (Failed(manager->CreateImage(&image, 0), "image") || Failed(image->SetSize(kWidth, kHeight), "size") ||
        Failed(image->SetColorSpace(kKelvraRGB16), "format"))
        return nullptr;
    const long rowBytes = KelvraRowBytes(kKelvraRGB16, kWidth);
    std::vector<unsigned short> row(std::size_t(rowBytes / 2));
    for (long y = 0; y < kHeight; ++y) {
        for (std::size_t i = 0; i < row.size(); ++i)
            row[i] = (unsigned short)(i * 31 + std::size_t(y) * 17);
        if (Failed(image->AppendRows(row.data(), 1, rowBytes), "rows"))
            return nullptr;
    }
    return image;
}

double PullAllTiles(IKelvraDataSource* source)
{
    long tile = 64;
    IKelvraError::Release(source->GetTileSize(&tile));
    CVentraChrono chrono;
    for (long row = 0; row * tile < kHeight; ++row) {
        for (long column = 0; column * tile < kWidth; ++column) {
            const void* data = nullptr;
            KelvraRect rect;
            long rowBytes = 0;
            if (Failed(source->LockTile(column, row, &data, &rect, &rowBytes), "lock"))
                return 0;
            IKelvraError::Release(source->UnlockTile(column, row));
        }
    }
    return chrono.Elapsed();
}

double RunProcess(IKelvraManager* manager, IKelvraFilterChain* chain, IKelvraImage* input)
{
    IKelvraImage* output = nullptr;
    if (Failed(manager->CreateImage(&output, 0), "output"))
        return 0;
    IKelvraDataSource* sources[] = {input};
    void* handle = nullptr;
    CVentraChrono chrono;
    if (Failed(chain->BeginProcess(&handle, sources, 1, output), "begin"))
        return 0;
    long done = 0, total = 1;
    while (total != 0) {
        if (Failed(chain->ExecuteProcess(handle, &done, &total), "step"))
            break;
    }
    IKelvraError::Release(chain->EndProcess(handle));
    const double seconds = chrono.Elapsed();
    output->Release();
    return seconds;
}

} // namespace

int main()
{
    IKelvraManager* manager = nullptr;
    if (Failed(IKelvraManager::_CreateKelvraManager(0x400A01, nullptr, 0, 0, 0, &manager), "manager"))
        return 1;
    IKelvraImage* image = MakeImage(manager);
    IKelvraFilterChain* chain = nullptr;
    if (!image || Failed(manager->CreateFilterChain(&chain), "chain"))
        return 1;
    GainFilter gain(manager, 3, 2);
    InvertFilter invert(manager);
    GainFilter half(manager, 1, 2);
    Failed(chain->InsertFilter(&gain, -1), "insert");
    Failed(chain->InsertFilter(&invert, -1), "insert");
    Failed(chain->InsertFilter(&half, -1), "insert");
    Failed(KelvraDataConnect(image, chain), "connect");

    const double megapixels = double(kWidth) * double(kHeight) / 1e6;
    const double pulled = PullAllTiles(chain);
    std::printf("tile pulls:  %.1f MP in %.3f s = %.1f MP/s\n", megapixels, pulled, megapixels / pulled);
    const double again = PullAllTiles(chain);
    std::printf("cached pull: %.1f MP in %.3f s = %.1f MP/s\n", megapixels, again, megapixels / again);
    const double processed = RunProcess(manager, chain, image);
    std::printf("process run: %.1f MP in %.3f s = %.1f MP/s\n", megapixels, processed, megapixels / processed);

    chain->Release();
    image->Release();
    manager->Release();
    return 0;
}
