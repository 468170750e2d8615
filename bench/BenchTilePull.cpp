#include "BenchTilePull.h"

#include "filtrix/VentraChrono.h"

#include <atomic>
#include <cstdio>
#include <thread>
#include <vector>

namespace {

const long kTile = 64;

// Every `threads`-th row of tiles from `first` on, each locked once.
void PullRows(IKelvraDataSource* source, long width, long height, long first, long threads, std::atomic<bool>* ok)
{
    for (long row = first; ok->load() && row * kTile < height; row += threads) {
        for (long column = 0; column * kTile < width; ++column) {
            const void* data = nullptr;
            KelvraRect rect;
            long rowBytes = 0;
            if (!BenchOk(source->LockTile(column, row, &data, &rect, &rowBytes), "lock") ||
                !BenchOk(source->UnlockTile(column, row), "unlock")) {
                ok->store(false);
                return;
            }
        }
    }
}

bool FillTile(IKelvraImage* image, long column, long row, int planes, BenchSample sample)
{
    void* data = nullptr;
    KelvraRect rect;
    long rowBytes = 0;
    if (!BenchOk(image->LockTileForWrite(column, row, &data, &rect, &rowBytes), "write lock"))
        return false;
    for (long y = rect.top; y < rect.bottom; ++y) {
        auto* pixel = reinterpret_cast<std::uint16_t*>(static_cast<std::uint8_t*>(data) + (y - rect.top) * rowBytes);
        for (long x = rect.left; x < rect.right; ++x, pixel += planes)
            for (int plane = 0; plane < planes; ++plane)
                pixel[plane] = sample(x, y, plane);
    }
    return BenchOk(image->UnlockTileForWrite(column, row, false), "write unlock");
}

} // namespace

IKelvraImage* BenchMakeImage(IKelvraManager* manager, long width, long height, KelvraPixelFormat format,
                             BenchSample sample)
{
    IKelvraImage* image = nullptr;
    if (!BenchOk(manager->CreateImage(&image, 0), "image"))
        return nullptr;
    bool ok = BenchOk(image->SetSize(width, height), "size") && BenchOk(image->SetColorSpace(format), "format");
    for (long row = 0; ok && row * kTile < height; ++row)
        for (long column = 0; ok && column * kTile < width; ++column)
            ok = FillTile(image, column, row, int(KelvraPlaneCount(format)), sample);
    if (!ok) {
        image->Release();
        return nullptr;
    }
    return image;
}

void BenchReport(const char* name, IKelvraDataSource& last, long threads)
{
    long width = 0, height = 0;
    if (!BenchOk(last.GetSize(&width, &height), "size"))
        return;
    const double megapixels = double(width) * double(height) / 1e6;
    CVentraChrono chrono;
    if (!BenchPullAll(last, threads))
        return;
    const double seconds = chrono.Elapsed();
    std::printf("%-26s %2ld thread(s): %.1f MP in %.3f s = %.1f MP/s\n", name, threads, megapixels, seconds,
                megapixels / seconds);
}

CBenchPicture::CBenchPicture(long width, long height, KelvraPixelFormat format, BenchSample sample,
                             const char* what)
    : m_cores(BenchCores())
{
    if (!BenchOk(IKelvraManager::_CreateKelvraManager(0x400A01, nullptr, 0, 0, 0, &m_manager), "manager"))
        return;
    m_image = BenchMakeImage(m_manager, width, height, format, sample);
    if (m_image)
        std::printf("%ld x %ld %s, %ld core(s)\n", width, height, what, m_cores);
}

CBenchPicture::~CBenchPicture()
{
    if (m_image)
        m_image->Release();
    if (m_manager)
        m_manager->Release();
}

bool BenchOk(IKelvraError* error, const char* what)
{
    if (error) {
        const IKelvraError* cause = error->FindCause();
        std::printf("%s: error %ld\n", what, cause ? cause->GetCode() : error->GetCode());
        IKelvraError::Release(error);
    }
    return !error;
}

bool BenchPullAll(IKelvraDataSource& source, long threads)
{
    long width = 0, height = 0;
    if (!BenchOk(source.GetSize(&width, &height), "size"))
        return false;
    std::atomic<bool> ok(true);
    std::vector<std::thread> workers;
    for (long t = 0; t < threads; ++t)
        workers.emplace_back(PullRows, &source, width, height, t, threads, &ok);
    for (std::thread& worker : workers)
        worker.join();
    return ok.load();
}

long BenchCores()
{
    const unsigned cores = std::thread::hardware_concurrency();
    return cores ? long(cores) : 1;
}
