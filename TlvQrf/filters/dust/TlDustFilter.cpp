#include "filters/dust/TlDustFilter.h"

#include <new>

CDustFilter::CDustFilter(IKelvraManager* manager) : CTlFilter(manager)
{
    RecomputeBypass();
}

CDustFilter::~CDustFilter()
{
    HoldMap(nullptr);
}

KelvraTag CDustFilter::GetFilterTag() const
{
    return TlFilterId("dust");
}

const char* CDustFilter::GetFilterName() const
{
    return "Image Motefree";
}

bool CDustFilter::HasUsableMap() const
{
    // An empty record means the map was not finished when it was set.
    return m_map != nullptr && !m_record.empty() && m_map->GetCorrectionMask() != nullptr;
}

void CDustFilter::RecomputeBypass()
{
    m_bypass = !HasUsableMap();
}

void CDustFilter::HoldMap(IDustMap* map)
{
    if (map == m_map)
        return;
    if (m_map)
        m_map->RemoveHolder(this);
    m_map = map;
    if (m_map)
        m_map->AddHolder(this);
}

void CDustFilter::DustMapDestroyed(IDustMap* map)
{
    if (map != m_map)
        return;
    m_map = nullptr;
    m_record.clear();
    m_stale = true;
    RecomputeBypass();
}

IKelvraError* CDustFilter::SetDustMap(IDustMap* map, bool notify)
{
    std::vector<unsigned char> record;
    if (IKelvraError* error = ReadRecord(map, record)) {
        IKelvraError* chain = TL_FILTER_WRAP(error);
        HoldMap(nullptr);
        std::vector<unsigned char> none;
        return AddWorker(chain, __LINE__, TakeRecord(none, notify));
    }
    HoldMap(map);
    return TakeRecord(record, notify);
}

IKelvraError* CDustFilter::SetToneMode(bool direct, bool notify)
{
    return ApplySetting(m_direct, direct, notify, [this] { RecomputeBypass(); });
}

// The record of a finished map; empty for none or an unfinished one.
IKelvraError* CDustFilter::ReadRecord(IDustMap* map, std::vector<unsigned char>& record) const
{
    const std::size_t size = map ? map->GetStoredSize() : 0;
    if (size == 0)
        return nullptr;
    try {
        record.resize(size);
    } catch (const std::bad_alloc&) {
        return TL_FILTER_ERROR(kKelvraOutOfMemory);
    }
    return map->Store(record.size(), record.data());
}

// The setter pattern for the record, which is moved in rather than copied
// so that storing it cannot fail.
IKelvraError* CDustFilter::TakeRecord(std::vector<unsigned char>& record, bool notify)
{
    if (record == m_record)
        return nullptr;
    m_record.swap(record);
    m_stale = true;
    RecomputeBypass();
    return NotifyChanged(notify);
}

