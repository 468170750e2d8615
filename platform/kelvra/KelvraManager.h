// The manager: makes images and filter chains and fixes the tile grid and
// the memory budget every object it made shares.
#pragma once

#include "kelvra/KelvraError.h"

#include <cstddef>

class IKelvraImage;
class IKelvraFilterChain;

class IKelvraManager {
public:
    // A manager of its own (for programs that have no host): creation flags,
    // page-file path (may be null), memory budget in bytes, cache level in
    // bits 16 and up, a reserved 0.
    static IKelvraError* _CreateKelvraManager(unsigned long flags, const char* pageFile, std::size_t memoryBudget,
                                              unsigned long cacheLevel, unsigned long reserved,
                                              IKelvraManager** manager);

    // An empty image (no size, no format yet). `kind` is kept for the image
    // (0 a plain tiled image).
    virtual IKelvraError* CreateImage(IKelvraImage** image, long kind = 0) = 0;
    virtual IKelvraError* CreateFilterChain(IKelvraFilterChain** chain) = 0;

    // Side of the square tiles of every image and filter of this manager.
    virtual long GetTileSize() const = 0;
    // Bytes the filters' tile caches may use together.
    virtual std::size_t GetMemoryBudget() const = 0;
    virtual unsigned long GetCacheLevel() const = 0;

    virtual void Release() = 0;

protected:
    virtual ~IKelvraManager() = default;
};
