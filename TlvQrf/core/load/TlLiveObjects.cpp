#include "load/TlLiveObjects.h"

#include "infra/TlSync.h"
#include "kelvra/KelvraImage.h"
#include "kelvra/KelvraTagControl.h"
#include "settings/holders/TlvCoreHooks.h"

#include <map>

namespace {

// One use-count map; the caller holds the registries' lock.
class CUseCounts {
public:
    void Add(const void* object) { ++m_counts[object]; }

    // The uses left; `wasLast` tells whether this drop removed the entry.
    long Drop(const void* object, bool& wasLast)
    {
        wasLast = false;
        const auto found = m_counts.find(object);
        if (found == m_counts.end())
            return 0;
        if (found->second > 1)
            return --found->second;
        m_counts.erase(found);
        wasLast = true;
        return 0;
    }

    long Size() const { return static_cast<long>(m_counts.size()); }

    long UsesOf(const void* object) const
    {
        const auto found = m_counts.find(object);
        return found == m_counts.end() ? 0 : found->second;
    }

private:
    std::map<const void*, long> m_counts;
};

struct SRegistries {
    Tl::CSyncCritical lock{"TlLiveObjects"};
    CUseCounts images;
    CUseCounts objects;
};

// Made on first use, so that a load from another static object's
// constructor still finds it; never destroyed, since holders may release
// during process shut-down.
SRegistries& Registries()
{
    static SRegistries* registries = new SRegistries;
    return *registries;
}

// Holds the registries' lock for one map operation.
class CRegistryGuard {
public:
    CRegistryGuard() : m_lock(Registries().lock) {}

private:
    Tl::CSyncLock m_lock;
};

class CHolderRegistry : public ITlvObjectRegistry {
public:
    long ReleaseImage(IKelvraImage* image, const char* temporaryFile, bool owned) override
    {
        return ReleaseRegisteredImage(image, temporaryFile, owned);
    }
    long ReleaseObject(IKelvraTagControl* object, bool owned) override
    {
        return ReleaseRegisteredObject(object, owned);
    }
};

} // namespace

void RegisterImage(IKelvraImage* image)
{
    if (image == nullptr)
        return;
    CRegistryGuard guard;
    Registries().images.Add(image);
}

long ReleaseRegisteredImage(IKelvraImage* image, const char* temporaryFile, bool release)
{
    bool wasLast = false;
    long left = 0;
    {
        CRegistryGuard guard;
        left = Registries().images.Drop(image, wasLast);
    }
    // The entry is gone: the image is freed outside the lock.
    if (wasLast && release) {
        image->Release();
        if (temporaryFile != nullptr && temporaryFile[0] != '\0')
            DeleteFileA(temporaryFile);
    }
    return left;
}

void RegisterObject(IKelvraTagControl* object)
{
    if (object == nullptr)
        return;
    CRegistryGuard guard;
    Registries().objects.Add(object);
}

long ReleaseRegisteredObject(IKelvraTagControl* object, bool destroy)
{
    bool wasLast = false;
    long left = 0;
    {
        CRegistryGuard guard;
        left = Registries().objects.Drop(object, wasLast);
    }
    if (wasLast && destroy)
        object->Destroy();
    return left;
}

long RegisteredImageCount()
{
    CRegistryGuard guard;
    return Registries().images.Size();
}

long RegisteredObjectCount()
{
    CRegistryGuard guard;
    return Registries().objects.Size();
}

long ImageUseCount(const IKelvraImage* image)
{
    CRegistryGuard guard;
    return Registries().images.UsesOf(image);
}

long ObjectUseCount(const IKelvraTagControl* object)
{
    CRegistryGuard guard;
    return Registries().objects.UsesOf(object);
}

void InstallObjectRegistry()
{
    static CHolderRegistry registry;
    TlvCoreHooks hooks = GetTlvCoreHooks();
    hooks.registry = &registry;
    SetTlvCoreHooks(hooks);
}
