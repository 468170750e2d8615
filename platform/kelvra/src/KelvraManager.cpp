#include "KelvraManagerImpl.h"

#include "KelvraFactories.h"
#include "KelvraImageImpl.h"

#include <new>

namespace {

const KelvraTag kManagerTag = KelvraFourCC('K', 'M', 'g', 'r');

} // namespace

CKelvraManager::CKelvraManager(unsigned long flags, const KelvraFile& pageFile, std::size_t memoryBudget,
                               unsigned long cacheLevel)
    : m_flags(flags), m_pageFile(pageFile), m_memoryBudget(memoryBudget ? memoryBudget : kDefaultBudget),
      m_cacheLevel(cacheLevel >> 16)
{
}

IKelvraError* IKelvraManager::_CreateKelvraManager(unsigned long flags, const char* pageFile,
                                                   std::size_t memoryBudget, unsigned long cacheLevel,
                                                   unsigned long /*reserved*/, IKelvraManager** manager)
{
    if (!manager)
        return KELVRA_ERROR(nullptr, kManagerTag, kKelvraMissingObject);
    *manager = nullptr;
    KelvraFile path;
    if (!path.Set(pageFile)) // a cut path would name another file
        return KELVRA_ERROR(nullptr, kManagerTag, kKelvraBadArgument);
    *manager = new (std::nothrow) CKelvraManager(flags, path, memoryBudget, cacheLevel);
    return *manager ? nullptr : KELVRA_ERROR(nullptr, kManagerTag, kKelvraOutOfMemory);
}

IKelvraError* CKelvraManager::CreateImage(IKelvraImage** image, long kind)
{
    if (!image)
        return KELVRA_ERROR(nullptr, kManagerTag, kKelvraMissingObject);
    *image = new (std::nothrow) CKelvraImage(this, kTileSize, kind);
    return *image ? nullptr : KELVRA_ERROR(nullptr, kManagerTag, kKelvraOutOfMemory);
}

IKelvraError* CKelvraManager::CreateFilterChain(IKelvraFilterChain** chain)
{
    if (!chain)
        return KELVRA_ERROR(nullptr, kManagerTag, kKelvraMissingObject);
    *chain = nullptr;
    return KELVRA_WRAP(nullptr, kManagerTag, KelvraCreateFilterChain(this, chain));
}
