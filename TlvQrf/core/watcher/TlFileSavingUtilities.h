// The global filter watcher: receives the phase notifications of the long
// filter of the full-resolution chain (turned into save progress), and owns
// the process-wide caches of the chain builders and the colour-engine
// manager. One exists from library start-up to shut-down; while it exists it
// is the current watcher that the chain builders attach to that filter.
#pragma once

#include "colour/TlColourEngineManager.h"
#include "infra/TlSync.h"
#include "kelvra/KelvraFilter.h"

#include <cstdint>
#include <memory>

class CKelvraFilterCML;

class CTlFileSavingUtilities : public CKelvraFilterWatcher {
public:
    static constexpr int kGammaCacheEntries = 4096;
    static constexpr std::uint16_t kGammaCacheUnfilled = 0xFFFF; // first entry while unfilled
    enum { kGammaSquare = 0, kGammaRoot = 1 };
    using GammaFill = void (*)(std::uint16_t* cache);
    static constexpr int kSharpeningSlots = 7;
    static constexpr int kColourFilterSlots = 4;
    static constexpr int kCacheWords = 15;

    CTlFileSavingUtilities();
    ~CTlFileSavingUtilities() override;

    // Always 0.
    int OnNotify(IKelvraFilter* filter, long code, void* data) override;

    // The chain builders' caches. The preview on the host's thread and the
    // export on the worker both use them: hold CacheLock while using them.
    Tl::CSyncCritical& CacheLock() { return m_cacheLock; }
    // Null when it could not be allocated.
    std::uint16_t* GammaCache(int which) { return which == 0 || which == 1 ? m_gamma[which].get() : nullptr; }
    // The cache filled by `fill` when its first entry still reads unfilled.
    // Two chain builds may ask at once, so the test and the fill happen under
    // a lock of their own. Null when the cache could not be allocated.
    const std::uint16_t* FilledGammaCache(int which, GammaFill fill);
    IKelvraFilter** SharpeningSlots() { return m_sharpening; }
    CKelvraFilterCML** ColourFilterSlots() { return m_colourFilters; }
    CCMLEngMgr::CReference* ColourEngineReferences() { return m_colourEngines; }
    std::uint32_t* CacheWords() { return m_cacheWords; }

private:
    Tl::CSyncCritical m_cacheLock;
    Tl::CSyncCritical m_gammaLock;
    std::unique_ptr<std::uint16_t[]> m_gamma[2];
    IKelvraFilter* m_sharpening[kSharpeningSlots] = {};
    CKelvraFilterCML* m_colourFilters[kColourFilterSlots] = {};
    CCMLEngMgr::CReference m_colourEngines[kColourFilterSlots];
    std::uint32_t m_cacheWords[kCacheWords] = {};
};

// The current watcher (null when none); a save context swaps it and puts
// the previous one back. Exchange answers the watcher held before.
CTlFileSavingUtilities* GetCurrentFileWatcher();
CTlFileSavingUtilities* ExchangeCurrentFileWatcher(CTlFileSavingUtilities* watcher);
