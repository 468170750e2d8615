#include "filters/dust/TlDustFilter.h"

#include <new>

namespace {

// The correction of pixels is not written yet. Until it is, the filter
// passes its input through whatever map it holds; turning this on makes the
// pass-through follow the map alone and sends tiles to DoGenerateTile.
constexpr bool kCorrectionWritten = false;

} // namespace

CDustFilter::CDustFilter(IKelvraManager* manager) : CTlFilter(manager)
{
    RecomputeBypass();
}

CDustFilter::~CDustFilter() = default;

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
    m_bypass = !kCorrectionWritten || !HasUsableMap();
}

IKelvraError* CDustFilter::SetDustMap(IDustMap* map, bool notify)
{
    std::vector<unsigned char> record;
    if (IKelvraError* error = ReadRecord(map, record)) {
        IKelvraError* chain = TL_FILTER_WRAP(error);
        m_map = nullptr;
        std::vector<unsigned char> none;
        return AddWorker(chain, __LINE__, TakeRecord(none, notify));
    }
    m_map = map;
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

IKelvraError* CDustFilter::DoGenerateTile(IKelvraTile*, CKelvraProcessInfo*)
{
    // The correction comes with its own change; until then the filter always
    // passes through (see kCorrectionWritten) and is never asked for tiles.
    return TL_FILTER_ERROR(kKelvraNotReady);
}
