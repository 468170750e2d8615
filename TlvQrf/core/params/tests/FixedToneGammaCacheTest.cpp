// The fixed toning tables and the library's two 12-bit gamma caches: their
// values, when they are filled, and two chain builds asking at once.
#include "params/TlFixedToneTables.h"
#include "params/TlToneLuts.h"

#include "ToneLutTestSupport.h"

#include "filters/debayer/TlToneTables.h"
#include "watcher/TlFileSavingUtilities.h"

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

using namespace tonelut_test;

namespace {

using Watcher = CTlFileSavingUtilities;
constexpr int kEntries = Watcher::kGammaCacheEntries;

// The square of the 12-bit value spread over 16 bits, and the root brought
// to 16 bits, worked out here from their definitions.
std::uint16_t ExpectedSquare(int i)
{
    const double x = (16.0 * i + i / 256) / 65535.0;
    return static_cast<std::uint16_t>(std::lround(x * x * 65535.0));
}

std::uint16_t ExpectedRoot(int i)
{
    return static_cast<std::uint16_t>(static_cast<int>(std::sqrt(i / 4095.0) * 262143.0) / 4);
}

// The last entry that differs from the definition; -1 when none does.
// Looking from the end finds a fill still under way soonest.
int WrongEntry(const std::uint16_t* cache, std::uint16_t (*expected)(int))
{
    for (int i = kEntries - 1; i >= 0; --i) {
        if (cache[i] != expected(i))
            return i;
    }
    return -1;
}

// Marks the cache unfilled and spoils every entry, as a new cache may be.
void Spoil(std::uint16_t* cache)
{
    for (int i = 0; i < kEntries; ++i)
        cache[i] = Watcher::kGammaCacheUnfilled;
}

} // namespace

TEST(FixedToneLut, ChosenEntries)
{
    struct SCase {
        int channel;
        int index;
        std::uint16_t value;
    };
    const SCase cases[] = {
        {0, 0, 0},   {0, 3, 2},     {0, 31, 30},   {0, 128, 169}, {0, 255, 255}, {1, 2, 0},
        {1, 32, 15}, {1, 159, 167}, {1, 255, 255}, {2, 18, 0},    {2, 19, 1},    {2, 128, 101},
        {2, 255, 255},
    };
    for (const SCase& c : cases)
        EXPECT_EQ(FixedToneTable(c.channel)[c.index], c.value) << "channel " << c.channel << " entry " << c.index;
    EXPECT_EQ(FixedToneTable(3), nullptr);
    for (int c = 0; c < 3; ++c) {
        for (int i = 1; i < kTlvFixedToneEntries; ++i)
            ASSERT_LE(FixedToneTable(c)[i - 1], FixedToneTable(c)[i]) << "channel " << c << " entry " << i;
    }
}

TEST(FixedToneLut, InstallsEightBitTables)
{
    EXPECT_FALSE(SetFixedToneLut(nullptr));
    ManagerHolder manager;
    CKelvraFilterLut lut(manager.manager);
    EXPECT_TRUE(SetFixedToneLut(&lut));
    EXPECT_EQ(lut.GetTableCount(), 3);
    EXPECT_EQ(lut.GetInputBits(), 8);
    EXPECT_EQ(lut.GetOutputBits(), 8);
}

TEST(GammaCaches12, NoneBeforeTheLibraryStarts)
{
    Watcher* previous = ExchangeCurrentFileWatcher(nullptr);
    EXPECT_EQ(GetSquareTable12(), nullptr);
    EXPECT_EQ(GetRootTable12(), nullptr);
    ExchangeCurrentFileWatcher(previous);
}

TEST(GammaCaches12, FilledFromTheirDefinitions)
{
    Watcher watcher;
    const std::uint16_t* square = GetSquareTable12();
    const std::uint16_t* root = GetRootTable12();
    ASSERT_EQ(square, watcher.GammaCache(Watcher::kGammaSquare));
    ASSERT_EQ(root, watcher.GammaCache(Watcher::kGammaRoot));
    EXPECT_EQ(WrongEntry(square, ExpectedSquare), -1);
    EXPECT_EQ(WrongEntry(root, ExpectedRoot), -1);
    EXPECT_EQ(square[0], 0);
    EXPECT_EQ(square[kEntries - 1], 65535);
    EXPECT_EQ(root[0], 0);
    EXPECT_EQ(root[kEntries - 1], 65535);
}

TEST(GammaCaches12, FilledOnlyWhileMarkedUnfilled)
{
    Watcher watcher;
    for (int which : {Watcher::kGammaSquare, Watcher::kGammaRoot}) {
        SCOPED_TRACE(which);
        auto get = which == Watcher::kGammaSquare ? GetSquareTable12 : GetRootTable12;
        std::uint16_t* cache = watcher.GammaCache(which);
        EXPECT_EQ(cache[0], Watcher::kGammaCacheUnfilled);
        get();
        EXPECT_EQ(cache[0], 0) << "filled: the marker cannot recur";
        cache[7] = 4321;
        EXPECT_EQ(get(), cache);
        EXPECT_EQ(cache[7], 4321) << "a second request does not refill";
        cache[0] = Watcher::kGammaCacheUnfilled;
        get();
        EXPECT_NE(cache[7], 4321) << "marked unfilled again: refilled";
    }
}

TEST(GammaCaches12, TwoThreadsAskingAtOnceBothGetAFullTable)
{
    Watcher watcher;
    for (int round = 0; round < 200; ++round) {
        Spoil(watcher.GammaCache(Watcher::kGammaSquare));
        Spoil(watcher.GammaCache(Watcher::kGammaRoot));
        std::atomic<int> ready{0};
        int wrong[2][2] = {{-2, -2}, {-2, -2}};
        auto ask = [&](int thread) {
            ready.fetch_add(1);
            while (ready.load() < 2) {
            }
            wrong[thread][0] = WrongEntry(GetSquareTable12(), ExpectedSquare);
            wrong[thread][1] = WrongEntry(GetRootTable12(), ExpectedRoot);
        };
        std::thread first(ask, 0);
        std::thread second(ask, 1);
        first.join();
        second.join();
        for (int thread = 0; thread < 2; ++thread) {
            ASSERT_EQ(wrong[thread][0], -1) << "square, round " << round << " thread " << thread;
            ASSERT_EQ(wrong[thread][1], -1) << "root, round " << round << " thread " << thread;
        }
    }
}
