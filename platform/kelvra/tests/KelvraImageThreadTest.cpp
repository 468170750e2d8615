// Shared images are read from worker threads while another thread writes
// other tiles; every reader must see exactly the pixels it expects.
#include "KelvraImageTestSupport.h"

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

using namespace kelvra_image_test;

namespace {

constexpr long kWidth = 130;
constexpr long kHeight = 200;
constexpr long kWrittenRows = 64; // the first tile row; the rest is written concurrently
constexpr int kReaders = 4;
constexpr int kRounds = 30;

// Reads the first tile row again and again; false at the first wrong pixel.
bool ReadFirstTileRow(IKelvraImage* image)
{
    const KelvraRect rows(0, 0, kWidth, kWrittenRows);
    const long rowBytes = KelvraRowBytes(kKelvraRGB16, kWidth);
    std::vector<std::uint8_t> buffer(std::size_t(rowBytes) * kWrittenRows);
    for (int round = 0; round < kRounds; ++round) {
        std::memset(buffer.data(), 0, buffer.size());
        IKelvraError* error = KelvraReadRect(image, rows, buffer.data(), rowBytes);
        if (error) {
            IKelvraError::Release(error);
            return false;
        }
        if (!MatchesPattern(buffer, rowBytes, kKelvraRGB16, rows))
            return false;
    }
    return true;
}

// Makes every tile below the first tile row, one lock at a time.
bool WriteLowerTiles(IKelvraImage* image)
{
    for (long row = 1; row * 64 < kHeight; ++row) {
        for (long column = 0; column * 64 < kWidth; ++column) {
            void* data = nullptr;
            if (IKelvraError* error = image->LockTileForWrite(column, row, &data, nullptr, nullptr)) {
                IKelvraError::Release(error);
                return false;
            }
            std::memset(data, int(row * 16 + column), 64 * 64 * 6);
            IKelvraError::Release(image->UnlockTileForWrite(column, row, false));
        }
    }
    return true;
}

// An image whose first tile row holds the test pattern; null when that failed.
ImagePtr ImageWithFirstTileRow(IKelvraManager* manager)
{
    ImagePtr image = MakeImage(manager, kKelvraRGB16, kWidth, kHeight);
    const long rowBytes = KelvraRowBytes(kKelvraRGB16, kWidth);
    const std::vector<std::uint8_t> rows = PatternRows(kKelvraRGB16, KelvraRect(0, 0, kWidth, kWrittenRows));
    if (!Succeeded(image->AppendRows(rows.data(), kWrittenRows, rowBytes)))
        return nullptr;
    return image;
}

TEST(KelvraImageThreads, ReadersSeeTheirTilesWhileOtherTilesAreMade)
{
    ManagerPtr manager = MakeManager();
    ImagePtr image = ImageWithFirstTileRow(manager.get());
    ASSERT_TRUE(image);

    std::atomic<int> good(0);
    std::vector<std::thread> threads;
    for (int i = 0; i < kReaders; ++i)
        threads.emplace_back([&] { good += ReadFirstTileRow(image.get()) ? 1 : 0; });
    threads.emplace_back([&] { good += WriteLowerTiles(image.get()) ? 1 : 0; });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(kReaders + 1, good.load());

    std::uint8_t pixel[6] = {};
    ASSERT_TRUE(Succeeded(image->GetPixel(129, 199, pixel)));
    EXPECT_EQ(3 * 16 + 2, pixel[0]);
}

// The threads of a run lock the same source tiles at once; every lock and
// unlock counts, and pixels dropped meanwhile stay readable by their holders.
TEST(KelvraImageThreads, ReadLocksOfOneTileFromManyThreadsEachCount)
{
    ManagerPtr manager = MakeManager();
    ImagePtr image = ImageWithFirstTileRow(manager.get());
    ASSERT_TRUE(image);
    const void* held = nullptr;
    ASSERT_TRUE(Succeeded(image->LockTile(0, 0, &held, nullptr, nullptr)));
    const std::vector<std::uint8_t> before(static_cast<const std::uint8_t*>(held),
                                           static_cast<const std::uint8_t*>(held) + 64 * 64 * 6);

    std::atomic<int> good(0);
    std::vector<std::thread> threads;
    for (int i = 0; i < 8; ++i) {
        threads.emplace_back([&] {
            bool ok = true;
            for (int round = 0; round < 2000 && ok; ++round) {
                const void* data = nullptr;
                ok = Succeeded(image->LockTile(0, 0, &data, nullptr, nullptr)) &&
                     Succeeded(image->UnlockTile(0, 0));
            }
            good += ok ? 1 : 0;
        });
    }
    threads.emplace_back([&] { good += Succeeded(image->SetSize(kWidth + 1, kHeight)) ? 1 : 0; });
    for (std::thread& thread : threads)
        thread.join();
    EXPECT_EQ(9, good.load());

    EXPECT_EQ(0, std::memcmp(before.data(), held, before.size()));
    EXPECT_TRUE(Succeeded(image->UnlockTile(0, 0)));
    EXPECT_EQ(kKelvraBadArgument, CauseCode(image->UnlockTile(0, 0)));
}

} // namespace
