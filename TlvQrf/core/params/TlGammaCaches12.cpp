// The library's two 12-bit gamma caches, held by the file watcher and
// filled from the process-wide 16-bit square and 12-bit root tables.
#include "params/TlToneLuts.h"

#include "filters/debayer/TlToneTables.h"
#include "watcher/TlFileSavingUtilities.h"

namespace {

using Watcher = CTlFileSavingUtilities;

// The 12-bit index widened to 16 bits by repeating its top four bits.
void FillSquare12(std::uint16_t* cache)
{
    const std::uint16_t* square = GetSquareTable();
    for (int i = 0; i < Watcher::kGammaCacheEntries; ++i)
        cache[i] = square[16 * i + i / 256];
}

// The root table's 18-bit range brought to 16 bits.
void FillRoot12(std::uint16_t* cache)
{
    const std::int32_t* root = GetSqrtTable();
    for (int i = 0; i < Watcher::kGammaCacheEntries; ++i) {
        const std::int32_t value = root[i] / 4;
        cache[i] = static_cast<std::uint16_t>(value < 0 ? 0 : value > 0xFFFF ? 0xFFFF : value);
    }
}

const std::uint16_t* FilledCache(int which, Watcher::GammaFill fill)
{
    Watcher* watcher = GetCurrentFileWatcher();
    return watcher != nullptr ? watcher->FilledGammaCache(which, fill) : nullptr;
}

} // namespace

const std::uint16_t* GetSquareTable12()
{
    return FilledCache(Watcher::kGammaSquare, FillSquare12);
}

const std::uint16_t* GetRootTable12()
{
    return FilledCache(Watcher::kGammaRoot, FillRoot12);
}
