// The dust record's map: made from a stored map, or copied from another
// record's map through its stored form.
#include "settings/dust/TlDustState.h"

#include "settings/dust/TlDustEngineRegistry.h"

#include <new>
#include <utility>

namespace {
std::unique_ptr<IDustMap> CreateMap(IKelvraManager* manager)
{
    IDustEngineFactory* factory = GetDustEngineFactory();
    return factory ? factory->CreateMap(manager) : nullptr;
}

// A new map for `manager` filled from `source`'s stored form; null when any
// step fails.
std::unique_ptr<IDustMap> CloneMap(const IDustMap& source, IKelvraManager* manager)
{
    const std::size_t size = source.GetStoredSize();
    if (size == 0)
        return nullptr;
    std::unique_ptr<unsigned char[]> block(new (std::nothrow) unsigned char[size]);
    if (!block)
        return nullptr;
    if (IKelvraError* error = source.Store(size, block.get())) {
        IKelvraError::Release(error);
        return nullptr;
    }
    std::unique_ptr<IDustMap> map = CreateMap(manager);
    if (!map)
        return nullptr;
    if (IKelvraError* error = map->Load(size, block.get())) {
        IKelvraError::Release(error);
        return nullptr;
    }
    return map;
}
} // namespace

void CTlDustState::TakeMap(std::unique_ptr<IDustMap> map, IKelvraManager* manager)
{
    m_map = std::move(map);
    m_mapManager = m_map ? manager : nullptr;
}

void CTlDustState::CopyMapFrom(const CTlDustState& other)
{
    if (other.m_map)
        TakeMap(CloneMap(*other.m_map, other.m_mapManager), other.m_mapManager);
}

int CTlDustState::CreateEngine(IKelvraManager* manager, const unsigned char* mapData, std::size_t size)
{
    if (manager == nullptr || mapData == nullptr || size == 0)
        return kEngineMissingArgument;
    TakeMap(nullptr, nullptr);
    std::unique_ptr<IDustMap> map = CreateMap(manager);
    if (!map)
        return kEngineOutOfMemory;
    if (IKelvraError* error = map->Load(size, mapData)) {
        IKelvraError::Release(error);
        return kEngineUnreadable;
    }
    TakeMap(std::move(map), manager);
    return kEngineCreated;
}
