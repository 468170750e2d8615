// The manager of a program without a host: it fixes the tile grid, the
// memory budget and the cache level every image and filter chain it makes
// shares.
#pragma once

#include "kelvra/KelvraManager.h"
#include "kelvra/KelvraTypes.h"

class CKelvraManager final : public IKelvraManager {
public:
    static constexpr long kTileSize = 64;
    static constexpr std::size_t kDefaultBudget = std::size_t(256) * 1024 * 1024;

    CKelvraManager(unsigned long flags, const KelvraFile& pageFile, std::size_t memoryBudget,
                   unsigned long cacheLevel);
    CKelvraManager(const CKelvraManager&) = delete;
    CKelvraManager& operator=(const CKelvraManager&) = delete;

    IKelvraError* CreateImage(IKelvraImage** image, long kind = 0) override;
    IKelvraError* CreateFilterChain(IKelvraFilterChain** chain) override;

    long GetTileSize() const override { return kTileSize; }
    std::size_t GetMemoryBudget() const override { return m_memoryBudget; }
    unsigned long GetCacheLevel() const override { return m_cacheLevel; }
    unsigned long GetFlags() const { return m_flags; }
    const char* GetPageFile() const { return m_pageFile.path; }

    void Release() override { delete this; }

private:
    ~CKelvraManager() override = default;

    unsigned long m_flags;
    KelvraFile m_pageFile;
    std::size_t m_memoryBudget;
    unsigned long m_cacheLevel;
};
