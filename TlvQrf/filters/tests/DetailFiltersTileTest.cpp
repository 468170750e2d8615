// What the three detail filters share in making tiles: on several threads
// at once exactly as on one (each tile's walk keeps its rolling rows to
// itself, and the colour noise reduction's weights are prepared once while
// other tiles wait), and a source that refuses its pixels fails the tile.
#include "DetailFilterTestSupport.h"

#include "filters/colornoise/TlColorNoiseReductionFilter.h"
#include "filters/fineedge/TlFineEdgeFilter.h"
#include "filters/moire/TlMoireFilter.h"

#include <atomic>
#include <memory>
#include <thread>

namespace {

struct ThreadCase {
    const char* name;
    KelvraPixelFormat format;
    std::unique_ptr<CTlFilter> (*make)(IKelvraManager* manager);
};

const ThreadCase kCases[] = {
    {"colour noise reduction", 0x10060204,
     [](IKelvraManager* manager) -> std::unique_ptr<CTlFilter> {
         auto filter = std::make_unique<CColorNoiseReductionFilter>(manager);
         ExpectOk(filter->SetStrength(0.95, false));
         return filter;
     }},
    {"fine edge", kKelvraRGB16,
     [](IKelvraManager* manager) -> std::unique_ptr<CTlFilter> { return std::make_unique<CFineEdgeFilter>(manager); }},
    {"moire", kKelvraRGB16,
     [](IKelvraManager* manager) -> std::unique_ptr<CTlFilter> {
         auto filter = std::make_unique<CMoireFilter>(manager);
         ExpectOk(filter->SetStrength(75, false));
         return filter;
     }},
};

TEST(DetailFiltersTileTest, TilesMadeOnSeveralThreadsAtOnceMatchOneThread)
{
    ManagerHolder holder;
    const detail_test::Picture picture = detail_test::RandomPicture("random", 90, 70, 0, 65535, 41);
    const long tile = 16;
    for (const ThreadCase& c : kCases) {
        SCOPED_TRACE(c.name);
        IKelvraImage* image = detail_test::MakeImage(holder.manager, picture, c.format);
        const KelvraRect whole(0, 0, picture.width, picture.height);
        const std::vector<unsigned> reference =
            detail_test::OutputByTiles(*c.make(holder.manager), image, tile, tile, whole);

        // Every thread makes all tiles of the image with one shared filter,
        // each starting at another tile.
        const std::unique_ptr<CTlFilter> shared = c.make(holder.manager);
        const int threadCount = 6;
        std::vector<std::vector<std::unique_ptr<frame_test::FakeTile>>> tiles(threadCount);
        std::vector<long> failures(threadCount, 0);
        std::vector<KelvraRect> rects;
        for (long top = 0; top < whole.bottom; top += tile)
            for (long left = 0; left < whole.right; left += tile)
                rects.emplace_back(left, top, std::min(left + tile, whole.right), std::min(top + tile, whole.bottom));
        for (auto& own : tiles)
            for (const KelvraRect& rect : rects)
                own.push_back(std::make_unique<frame_test::FakeTile>(rect, rect, c.format));
        std::atomic<bool> go{false};
        std::vector<std::thread> threads;
        IKelvraDataSource* sources[] = {image};
        for (int t = 0; t < threadCount; ++t) {
            threads.emplace_back([&, t] {
                while (!go.load()) {
                }
                for (std::size_t i = 0; i < rects.size(); ++i) {
                    const std::size_t at = (i + std::size_t(t) * 7) % rects.size();
                    IKelvraError* error = shared->GenerateTile(tiles[t][at].get(), sources, 1);
                    if (error && failures[t] == 0)
                        failures[t] = error->GetCode();
                    IKelvraError::Release(error);
                }
            });
        }
        go.store(true);
        for (std::thread& thread : threads)
            thread.join();
        for (int t = 0; t < threadCount; ++t) {
            EXPECT_EQ(0, failures[t]) << "thread " << t;
            long wrong = 0;
            for (std::size_t i = 0; i < rects.size(); ++i) {
                const KelvraRect& rect = rects[i];
                for (long y = rect.top; y < rect.bottom; ++y)
                    for (long x = rect.left; x < rect.right; ++x)
                        for (int k = 0; k < 3; ++k) {
                            std::uint16_t sample;
                            std::memcpy(&sample, tiles[t][i]->PixelAt(x, y) + 2 * k, 2);
                            wrong += sample != reference[std::size_t((y * picture.width + x) * 3 + k)];
                        }
            }
            EXPECT_EQ(0, wrong) << "thread " << t;
        }
        image->Release();
    }
}

TEST(DetailFiltersTileTest, RefusedSourcePixelsFailTheTileUnderTheFiltersTag)
{
    ManagerHolder holder;
    const detail_test::Picture picture = detail_test::RandomPicture("random", 90, 70, 0, 65535, 42);
    for (const ThreadCase& c : kCases) {
        SCOPED_TRACE(c.name);
        IKelvraImage* image = detail_test::MakeImage(holder.manager, picture, c.format);
        frame_test::RecordingSource source(image);
        source.failAtLock = 1;
        const std::unique_ptr<CTlFilter> filter = c.make(holder.manager);
        const KelvraRect rect(20, 10, 60, 50);
        frame_test::FakeTile tile(rect, rect, c.format);
        IKelvraDataSource* sources[] = {&source};
        IKelvraError* error = filter->GenerateTile(&tile, sources, 1);
        ASSERT_NE(nullptr, error);
        EXPECT_EQ(filter->GetFilterTag(), error->GetTag());
        IKelvraError::Release(error);
        EXPECT_FALSE(tile.IsComplete());
        EXPECT_FALSE(tile.IsLocked());
        EXPECT_EQ(0, source.HeldCount());
        image->Release();
    }
}

} // namespace
